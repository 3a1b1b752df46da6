// The steps "Печать" takes alike on the grid form and on the network form:
// the warnings, the printer's set-up, the choice of
// the report file by the language chosen, and a document that is dropped
// whole when anything goes wrong while it is printed. Each printout keeps
// its own steps: its refusals, its English report, the reading of its
// report file, its pages and its scheme.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/printer.h"
#include "reportkit/english_start.h"

namespace dorv::report {

// A refusal or failure of the print command, told in a "Предупреждение" box.
void warn_print(const std::wstring& text);
// The refusal of a printout whose report is not that of the form's last
// completed run.
void refuse_print_without_results();

// The printer before the first page: the scale mode the printout draws in
// (1 twips anew, 0 the scale left as it is), portrait, the position at x 0,
// y kPageTop, 11 points bold, and the calculation number alone as the
// document's name (the queue shows it, a PDF file is proposed under it).
void set_up_report_printer(ui::Printer& printer, int scale_mode, const std::wstring& calculation_number);

// The report the chosen language prints.
struct ChosenReport {
  std::wstring file_name;  // rezres.txt or rezangl.txt
  bool english = false;
  bool metric = false;  // the English report in West-European units
};
// rezres.txt as the calculation wrote it, or for the English language
// rezangl.txt written anew by `write_english`. Nothing when the English
// report cannot be written (spr.out gone: the user is told) or did not end
// written (cancelled, or the user has been told why).
std::optional<ChosenReport> choose_report(const std::wstring& language,
                                          const std::function<EnglishReportResult()>& write_english);

// Runs `print` on the document being drawn; anything thrown drops the
// document (nothing of a document cut short counts as printed) and passes on.
template <class Print>
auto print_or_drop(ui::Printer& printer, Print&& print) -> decltype(print()) {
  try {
    return print();
  } catch (...) {
    printer.kill_doc();
    throw;
  }
}

}  // namespace dorv::report
