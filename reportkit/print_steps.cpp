#include "reportkit/print_steps.h"

#include "platform/files.h"
#include "platform/host.h"
#include "reportkit/report_pages.h"
#include "text/strings.h"

namespace dorv::report {

void warn_print(const std::wstring& text) {
  ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::None, L"Предупреждение");
}

void refuse_print_without_results() { warn_print(L"Для печати необходимо выполнить расчет!"); }

void set_up_report_printer(ui::Printer& printer, int scale_mode, const std::wstring& calculation_number) {
  printer.set_scale_mode(scale_mode);
  printer.set_orientation(ui::kPortrait);
  printer.set_document_name(trim(calculation_number));
  printer.current_x = 0;
  printer.current_y = kPageTop;
  printer.text_font.size = 11;
  printer.text_font.bold = true;
}

std::optional<ChosenReport> choose_report(const std::wstring& language,
                                          const std::function<EnglishReportResult()>& write_english) {
  ChosenReport chosen;
  if (language != L"2") {
    chosen.file_name = L"rezres.txt";
    return chosen;
  }
  if (!sys::file_exists(L"spr.out")) {
    warn_print(L"Для получения англоязычной версии необходимо сначала выполнить расчет!");
    return std::nullopt;
  }
  const EnglishReportResult english = write_english();
  if (english.end != EnglishReportEnd::Written) return std::nullopt;
  chosen.file_name = L"rezangl.txt";
  chosen.english = true;
  chosen.metric = english.units == ReportUnits::WestEuropean;
  return chosen;
}

}  // namespace dorv::report
