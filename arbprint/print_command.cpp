// The print command: the refusals, the print set-up dialog, the printer's
// set-up, the choice of the report file and its pre-pass, then the text
// pages and the end of the document.
#include "arbprint/print_command.h"

#include <optional>

#include "arbprint/arb_scheme_page.h"
#include "arbprint/english_arbitrary_report.h"
#include "arbprint/report_text.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "register/fileops.h"
#include "register/form6.h"
#include "register/modul1.h"
#include "reportkit/print_steps.h"
#include "text/fileerror.h"
#include "text/linefile.h"

namespace dorv::arbprint {

namespace {

namespace Modul1 = reg::Modul1;

// The report is the form's last completed run and written by this version.
bool current_report_exists(const arb::Form4State& s) {
  if (s.printout.ResultsValid != 1) return false;
  if (!sys::file_exists(L"rezres.txt") || sys::file_len(L"rezres.txt") == 0) return false;
  return reg::first_line(L"rezres.txt").find(Modul1::Register.ProgramVersion) != std::wstring::npos;
}

ArbitrarySchemeInput scheme_input(const arb::NetworkFormTexts& form, bool english, int next_page, int width,
                                  int height) {
  ArbitrarySchemeInput in;
  in.calculation_number = form.Text2;
  in.english = english;
  in.page_number = next_page;
  in.main_intensity_given = !form.Text1[0].empty();
  in.deluge_flow_given = !form.Text11.empty();
  in.main_sprinklers = form.GroupShown[arb::kMainKind];
  in.rack_sprinklers = form.GroupShown[arb::kRackKind];
  in.deluge_heads = form.GroupShown[arb::kDelugeKind];
  in.fire_cocks = form.GroupShown[arb::kFireCockKind];
  in.scheme_file = sys::resolve(L"rezult.kms");
  in.picture_width = width;
  in.picture_height = height;
  return in;
}

// The whole report file, read before anything is drawn, so that a file that
// cannot be read starts no document.
std::optional<ReportFile> read_report(const std::wstring& name) {
  try {
    return prepass(read_lines(sys::resolve(name)));
  } catch (const FileError& e) {
    ui::show_file_error(e);
    return std::nullopt;
  }
}

}  // namespace

void print_arbitrary_report(const arb::NetworkFormTexts& form, const arb::Form4State& s, int scheme_width,
                            int scheme_height) {
  if (!current_report_exists(s)) {
    report::refuse_print_without_results();
    return;
  }
  const std::wstring language = reg::ask_print_language();
  ui::Printer& printer = ui::host().printers().printer();
  report::set_up_report_printer(printer, 1, form.Text2);  // twips anew
  if (language.empty()) return;

  const auto chosen = report::choose_report(language, [&] {
    return make_english_arbitrary_report(form, s, sys::current_folder(), Modul1::Register.EnglishObjectName);
  });
  if (!chosen) return;
  ReportPagesInput pages;
  pages.calculation_number = form.Text2;
  pages.program_version = Modul1::Register.ProgramVersion;
  pages.english = chosen->english;
  pages.metric = chosen->metric;
  const auto report_file = read_report(chosen->file_name);
  if (!report_file) return;

  report::print_or_drop(printer, [&] {
    const int next_page = print_report_text(printer, *report_file, pages);
    print_arbitrary_scheme(printer, scheme_input(form, pages.english, next_page, scheme_width, scheme_height));
  });
  printer.end_doc();  // a job the printer refuses is told there
  printer.set_scale_mode(1);
}

}  // namespace dorv::arbprint
