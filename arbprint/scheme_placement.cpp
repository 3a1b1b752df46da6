#include <algorithm>

#include "arbprint/scheme_stages.h"
#include "reportkit/report_pages.h"

namespace dorv::arbprint {
namespace {

// The width of the drawing on a portrait and on a landscape page, mm; the
// bottom margins, twips.
constexpr double kPortraitMm = 190, kLandscapeMm = 260;
constexpr double kPortraitFoot = 20 * kTwipsPerMm, kLandscapeFoot = 500;
// 5 scheme units take at least this many millimetres of paper for the
// drawing to stay under the text.
constexpr double kSmallestFiveUnits = 2;

double fitting_scale(double width_mm, double avail, double w, double h) {
  return std::min(width_mm / w, avail / (kTwipsPerMm * h));
}

}  // namespace

int legend_rows_under_text(const ArbitrarySchemeInput& in) {
  return in.main_intensity_given + in.deluge_flow_given + in.fire_cocks;
}

int legend_rows_on_page(const ArbitrarySchemeInput& in) {
  return in.main_sprinklers + in.rack_sprinklers + in.deluge_heads + in.fire_cocks;
}

SchemePageRoom measure_scheme_room(ui::Printer& printer) {
  SchemePageRoom room;
  room.text_end_y = printer.current_y;
  const int was = printer.orientation();
  printer.set_orientation(ui::kPortrait);
  room.portrait_width = printer.scale_width();
  room.portrait_height = printer.scale_height();
  printer.set_orientation(ui::kLandscape);
  room.landscape_width = printer.scale_width();
  room.landscape_height = printer.scale_height();
  printer.set_orientation(was);
  return room;
}

SchemeLayout choose_scheme_layout(const SchemePageRoom& room, double w, double h, int rows_under_text,
                                  int rows_on_page) {
  SchemeLayout out;
  out.width = room.portrait_width;
  out.height = room.portrait_height;
  // Under the text: three empty lines, the title, an empty line, the legend
  // and its closing empty line.
  out.ytop = room.text_end_y + kReservedRow * (6 + rows_under_text);
  out.scale = fitting_scale(kPortraitMm, room.portrait_height - out.ytop - kPortraitFoot, w, h);
  if (5 * out.scale >= kSmallestFiveUnits) return out;

  // A page of its own: the header, an empty line, the title, an empty line,
  // the legend and its closing empty line.
  out.placement = SchemePlacement::kPortraitPage;
  out.ytop = report::kPageTop + kReservedRow * (5 + rows_on_page);
  out.scale = fitting_scale(kPortraitMm, room.portrait_height - out.ytop - kPortraitFoot, w, h);
  if (5 * out.scale >= kSmallestFiveUnits) return out;
  const double landscape = fitting_scale(kLandscapeMm, room.landscape_height - out.ytop - kLandscapeFoot, w, h);
  if (landscape > out.scale) {
    out.placement = SchemePlacement::kLandscapePage;
    out.scale = landscape;
    out.width = room.landscape_width;
    out.height = room.landscape_height;
  }
  return out;
}

void start_scheme_page(ui::Printer& printer, const ArbitrarySchemeInput& in, const SchemeLayout& layout) {
  printer.text_font.size = 12;
  const std::wstring title = in.english ? L"THE SCHEME FOR HIDRAULIC CALCULATION" : L"РАСЧЕТНАЯ СХЕМА";
  // The title's indent on a portrait page (and under the text) and on a
  // landscape page.
  const int indent = in.english ? 21 : 32;
  const int landscape_indent = in.english ? 40 : 52;
  if (layout.placement == SchemePlacement::kUnderText) {
    printer.text_font.bold = true;
    for (int i = 0; i < 3; ++i) printer.print(L"");
    printer.print(std::wstring(indent, L' ') + title);
    printer.print(L"");
    return;
  }
  const bool landscape = layout.placement == SchemePlacement::kLandscapePage;
  printer.new_page();
  printer.set_orientation(landscape ? ui::kLandscape : ui::kPortrait);
  printer.current_x = 0;
  printer.current_y = report::kPageTop;
  printer.text_font.bold = true;
  // The landscape header stands 30 characters further right.
  const std::wstring header = report::page_header_text(in.english, in.calculation_number, in.page_number);
  printer.print(landscape ? std::wstring(30, L' ') + header : header);
  printer.print(L"");
  printer.print(std::wstring(landscape ? landscape_indent : indent, L' ') + title);
  printer.print(L"");
}

}  // namespace dorv::arbprint
