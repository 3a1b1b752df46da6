#include "gridprint/print_command.h"

#include "gridform/form2.h"
#include "gridprint/english_grid_report.h"
#include "gridprint/grid_report_text.h"
#include "gridprint/grid_scheme_page.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/form6.h"
#include "register/modul1.h"
#include "reportkit/print_steps.h"
#include "reportkit/report_pages.h"
#include "text/linefile.h"

namespace dorv::gridprint {
namespace Modul1 = reg::Modul1;

namespace {

// The report and the grid result in the folder are those of the form's last
// run, which completed, and the form still shows that run's input: else a
// printout would mix the fields of one calculation with the results of
// another.
bool results_of_shown_input(const grid::Form2& form) {
  const auto& s = form.State;
  return s.ResultsValidFlag == 1 && !s.ResultsInput.empty() && s.ResultsInput == grid::input_texts(grid::texts_of(form));
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
    report::warn_print(L"Файл отчета rezres.txt отсутствует или неполон. Отчет не напечатан; выполните расчет заново.");
    return false;
  }
  page_break();
  return print_grid_scheme_page(printer,
                             grid_scheme_page_input(form.Scheme, form.field_texts(), *values, style.english));
}

}  // namespace

void print_grid_report(grid::Form2& form) {
  // The scheme is drawn anew for the printed page; the form goes on showing
  // what it showed, so that a scheme the user had put away does not stay
  // over the fields.
  const bool scheme_shown = form.Picture1.visible();
  form.DrawGridScheme();
  form.Picture1.set_visible(scheme_shown);
  if (!results_of_shown_input(form) || !sys::file_exists(L"rezres.txt") || !sys::file_exists(L"spr.out") ||
      !reg::nonempty_file(L"rezres.txt")) {
    report::refuse_print_without_results();
    return;
  }
  const std::wstring language = reg::ask_print_language();
  // spr.out is read in the layout of the solver that wrote it.
  grid::GridFormState state = form.State;
  state.SolverChoice = state.ResultsSolverChoice;
  if (language.empty()) return;

  ui::Printer& printer = ui::host().printers().printer();
  report::set_up_report_printer(printer, 0, form.Text2.text());  // twips, as no user scale is set
  const auto chosen = report::choose_report(language, [&] {
    return MakeEnglishGridReport(grid::texts_of(form), state, sys::current_folder(), Modul1::Register.ProgramVersion,
                                 Modul1::Register.EnglishObjectName);
  });
  if (!chosen) return;
  GridTextStyle style;
  style.program_version = Modul1::Register.ProgramVersion;
  style.english = chosen->english;
  style.metric_units = chosen->metric;
  const auto report_file = try_read_lines(sys::resolve(chosen->file_name));
  if (!report_file) {
    report::warn_print(L"Файл отчета не удалось прочитать. Отчет не напечатан.");
    return;
  }
  report::print_or_drop(printer, [&] { return print_document(printer, form, *report_file, style); });
}

}  // namespace dorv::gridprint
