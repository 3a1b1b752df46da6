#include "arbprint/arb_scheme_page.h"

#include "arbprint/scheme_stages.h"
#include "platform/host.h"

namespace dorv::arbprint {
namespace {

void tell(const std::wstring& text) {
  ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::Exclamation, L"Предупреждение");
}

}  // namespace

bool print_arbitrary_scheme(ui::Printer& printer, const ArbitrarySchemeInput& input) {
  const arb::SchemeFile scheme = arb::read_scheme_file(input.scheme_file);
  const std::wstring name = input.scheme_file.filename().wstring();
  switch (scheme.fault) {
    case arb::SchemeFault::kNone:
      break;
    case arb::SchemeFault::kMissing:
      return false;
    case arb::SchemeFault::kUnreadable:
      tell(L"Схема расчета не напечатана: файл " + name + L" не удалось прочитать.");
      return false;
    default:
      // Nothing of the scheme is printed when any record could not be read:
      // half a scheme would pass for the whole one.
      tell(L"Схема расчета не напечатана: файл " + name + L" пуст или поврежден.");
      return false;
  }

  printer.text_font.size = 12;
  SchemeLayout layout = choose_scheme_layout(measure_scheme_room(printer), scheme.w, scheme.h,
                                             legend_rows_under_text(input), legend_rows_on_page(input));
  if (!(layout.scale > 0)) {
    tell(L"Схема расчета не напечатана: она не помещается на странице.");
    return false;
  }
  // The symbols' circles are outlines; the printer keeps the fill of an
  // earlier printout between documents.
  printer.fill_solid = false;
  start_scheme_page(printer, input, layout);
  const double below_legend = PrintSchemeLegend(printer, input, layout.placement);
  if (layout.placement == SchemePlacement::kUnderText) layout.ytop = below_legend;
  draw_scheme_records(printer, scheme, layout, input.picture_width, input.picture_height);
  return true;
}

}  // namespace dorv::arbprint
