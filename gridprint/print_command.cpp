#include "gridprint/print_command.h"

#include "gridform/form2.h"
#include "gridprint/english_grid_report.h"
#include "gridprint/grid_report_text.h"
#include "gridprint/grid_scheme_page.h"
#include "reportkit/report_pages.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/form6.h"
#include "register/modul1.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::gridprint {
namespace Modul1 = reg::Modul1;

namespace {

void warn(const std::wstring& text) { ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::None, L"Предупреждение"); }

// The report and the grid result in the folder are those of the form's last
// run, which completed, and the form still shows that run's input: else a
// printout would mix the fields of one calculation with the results of
// another.
bool results_of_shown_input(const grid::Form2& form) {
  const auto& s = form.State;
  return s.ResultsValidFlag == 1 && !s.ResultsInput.empty() && s.ResultsInput == grid::input_texts(grid::texts_of(form));
}

void set_up(ui::Printer& printer, const std::wstring& calculation_number) {
  printer.set_scale_mode(0);
  printer.set_orientation(ui::kPortrait);
  printer.set_document_name(trim(calculation_number));
  printer.current_y = report::kPageTop;
  printer.current_x = 0;
  printer.text_font.size = 11;
  printer.text_font.bold = true;
}

// Prints the text and the scheme page; false when the document was dropped.
bool print_document(ui::Printer& printer, grid::Form2& form, const std::vector<std::wstring>& report_file,
                    const GridTextStyle& style) {
  report::PageBreak page_break(printer, form.Text2.text(), style.english);
  print_grid_report_text(printer, ingest_grid_report(report_file), style, page_break);
  // The scheme page takes its pipe sizes and feed sections from the Russian
  // report, whichever language was printed.
  const auto rezres = try_read_lines(sys::resolve(L"rezres.txt"));
  const auto values = rezres ? read_report_scheme_values(*rezres) : std::nullopt;
  if (!values) {
    printer.kill_doc();
    warn(L"Файл отчета rezres.txt отсутствует или неполон. Отчет не напечатан; выполните расчет заново.");
    return false;
  }
  page_break();
  return PrintGridSchemePage(printer,
                             grid_scheme_page_input(form.Scheme, form.field_texts(), *values, style.english));
}

}  // namespace

void PrintGridReport(grid::Form2& form) {
  form.DrawGridScheme();
  if (!results_of_shown_input(form) || !sys::file_exists(L"rezres.txt") || !sys::file_exists(L"spr.out") ||
      !reg::nonempty_file(L"rezres.txt")) {
    warn(L"Для печати необходимо выполнить расчет!");
    return;
  }
  {
    reg::Form6 setup;
    setup.show(ui::ShowMode::Modal);
  }
  // spr.out is read in the layout of the solver that wrote it.
  grid::GridFormState state = form.State;
  state.SolverChoice = state.ResultsSolverChoice;
  if (Modul1::PrintLanguage.empty()) return;

  ui::Printer& printer = ui::host().printers().printer();
  set_up(printer, form.Text2.text());
  GridTextStyle style;
  style.program_version = Modul1::ProgramVersion;
  std::optional<std::vector<std::wstring>> report_file;
  if (Modul1::PrintLanguage != L"2") {
    report_file = try_read_lines(sys::resolve(L"rezres.txt"));
  } else {
    if (!sys::file_exists(L"spr.out")) {
      warn(L"Для получения англоязычной версии необходимо сначала выполнить расчет!");
      return;
    }
    style.english = true;
    const EnglishReportResult english = MakeEnglishGridReport(
        grid::texts_of(form), state, sys::current_folder(), Modul1::ProgramVersion, Modul1::EnglishObjectName);
    if (english.end != EnglishReportEnd::Written) return;
    style.metric_units = english.units == ReportUnits::WestEuropean;
    report_file = try_read_lines(sys::resolve(L"rezangl.txt"));
  }
  if (!report_file) {
    warn(L"Файл отчета не удалось прочитать. Отчет не напечатан.");
    return;
  }
  try {
    print_document(printer, form, *report_file, style);
  } catch (...) {
    // Nothing of a document cut short counts as printed.
    printer.kill_doc();
    throw;
  }
}

}  // namespace dorv::gridprint
