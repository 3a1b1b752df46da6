#include <string>

#include "arbmodel/scheme_symbols.h"
#include "arbprint/scheme_stages.h"

namespace dorv::arbprint {
namespace {

using arb::OutletKind;
using arb::OutletSymbolSize;

// A caption: the closed symbol's words, a gap, the open symbol's words.
struct Caption {
  const wchar_t* closed;
  int gap;
  const wchar_t* open;
};

struct LegendRow {
  OutletKind kind;
  Caption russian, english;
  int indent;                 // leading blanks of the caption
  double closed_x, open_x;    // the symbols' centres across the page
};

// The symbols keep these sizes (twips) at any scale of the drawing.
OutletSymbolSize symbol_size(OutletKind kind, bool open, SchemePlacement placement) {
  switch (kind) {
    case OutletKind::kMainSprinkler:
      return {open ? 60.0 : 50.0};
    case OutletKind::kRackSprinkler:
      return open ? OutletSymbolSize{60, 10, 45} : OutletSymbolSize{50, 7, 36};
    case OutletKind::kDelugeHead:
      if (open) return {70, 50};
      return {50, placement == SchemePlacement::kUnderText ? 50.0 : 40.0};
    case OutletKind::kFireCock:
      return open ? OutletSymbolSize{80, 0, 0, 6, -70, -60} : OutletSymbolSize{60, 0, 0, 5, -60, -50};
  }
  return {};
}

void print_row(ui::Printer& p, const ArbitrarySchemeInput& in, const LegendRow& row, SchemePlacement placement) {
  const Caption& c = in.english ? row.english : row.russian;
  p.print(std::wstring(row.indent, L' ') + c.closed + std::wstring(c.gap, L' ') + c.open);
  const double saved_x = p.current_x, saved_y = p.current_y;
  p.draw_width = 13;
  const double font_size = p.text_font.size;
  // The symbols stand on the caption's line.
  const double y = saved_y - 120;
  arb::draw_outlet_symbol(p, row.kind, false, row.closed_x, y, symbol_size(row.kind, false, placement));
  arb::draw_outlet_symbol(p, row.kind, true, row.open_x, y, symbol_size(row.kind, true, placement));
  p.current_x = saved_x;
  p.current_y = saved_y;
  p.text_font.size = font_size;
  p.draw_width = 12;
}

}  // namespace

double PrintSchemeLegend(ui::Printer& p, const ArbitrarySchemeInput& in, SchemePlacement placement) {
  const bool page = placement != SchemePlacement::kUnderText;
  const bool landscape = placement == SchemePlacement::kLandscapePage;
  // Sprinkler rows and the rows of deluge heads and fire cocks stand at
  // their own indents and symbol columns.
  const int sprinkler_indent = landscape ? 27 : page ? 11 : 19;
  const double sprinkler_closed = landscape ? 3700 : page ? 1500 : 2600;
  const double sprinkler_open = landscape ? 8700 : page ? 6500 : 6300;
  const int other_indent = landscape ? 38 : 19;
  const double other_closed = landscape ? 5360 : 2600;
  const double other_open = landscape ? 9060 : 6300;

  const LegendRow main_row =
      page ? LegendRow{OutletKind::kMainSprinkler,
                       {L"- закрытый основной спринклер", 6, L"- открытый основной спринклер"},
                       {L"- closed main sprinkler", 12, L"- open main sprinkler"},
                       sprinkler_indent, sprinkler_closed, sprinkler_open}
           : LegendRow{OutletKind::kMainSprinkler,
                       {L"- закрытый спринклер", 6, L"- открытый спринклер"},
                       {L"- closed sprinkler", 8, L"- open sprinkler"},
                       sprinkler_indent, sprinkler_closed, sprinkler_open};
  const LegendRow rack_row{OutletKind::kRackSprinkler,
                           {L"- закрытый стеллажный спринклер", 4, L"- открытый стеллажный спринклер"},
                           {L"- closed sprinkler in the rack", 5, L"- open sprinkler in the rack"},
                           sprinkler_indent, sprinkler_closed, sprinkler_open};
  const LegendRow deluge_row{OutletKind::kDelugeHead,
                             {L"- закрытый дренчер", 8, L"- открытый дренчер"},
                             {L"- closed drencher", 9, L"- open drencher"},
                             other_indent, other_closed, other_open};
  const LegendRow cock_row{OutletKind::kFireCock,
                           {L"- закрытый ПК", 13, L"- открытый ПК"},
                           {L"- closed fire cock", 8, L"- open fire cock"},
                           other_indent, other_closed, other_open};

  // Under the text the rows follow the form's filled fields and never show
  // rack sprinklers; a landscape page takes the deluge row from the form too.
  const bool main_shown = page ? in.main_sprinklers : in.main_intensity_given;
  const bool deluge_shown = placement == SchemePlacement::kPortraitPage ? in.deluge_heads : in.deluge_flow_given;
  if (main_shown) print_row(p, in, main_row, placement);
  if (page && in.rack_sprinklers) print_row(p, in, rack_row, placement);
  if (deluge_shown) print_row(p, in, deluge_row, placement);
  if (in.fire_cocks) print_row(p, in, cock_row, placement);
  p.print(L"");
  return p.current_y;
}

}  // namespace dorv::arbprint
