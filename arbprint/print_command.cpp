// The print command: the refusals, the print set-up dialog, the printer's
// set-up, the choice of the report file and its pre-pass, then the text
// pages and the end of the document.
#include "arbprint/print_command.h"

#include <optional>

#include "arbform/form4.h"
#include "arbprint/arb_scheme_page.h"
#include "arbprint/english_arbitrary_report.h"
#include "arbprint/report_text.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "register/fileops.h"
#include "register/form6.h"
#include "register/modul1.h"
#include "text/fileerror.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::arbprint {

namespace {

namespace Modul1 = reg::Modul1;

void warn(const std::wstring& text) { ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::None, L"Предупреждение"); }

// The report is the form's last completed run and written by this version.
bool current_report_exists(const arb::Form4& form) {
  if (form.state.ResultsValid != 1) return false;
  if (!sys::file_exists(L"rezres.txt") || sys::file_len(L"rezres.txt") == 0) return false;
  return reg::first_line(L"rezres.txt").find(Modul1::ProgramVersion) != std::wstring::npos;
}

void set_up_printer(ui::Printer& printer, const arb::Form4& form) {
  printer.set_scale_mode(1);
  printer.set_orientation(ui::kPortrait);
  printer.current_x = 0;
  printer.current_y = 500;
  printer.text_font.size = 11;
  printer.text_font.bold = true;
  // The queue shows, and a PDF file is proposed under, the number alone.
  printer.set_document_name(trim(form.Text2.text()));
}

ArbitrarySchemeInput scheme_input(const arb::Form4& form, bool english, int next_page) {
  ArbitrarySchemeInput in;
  in.calculation_number = form.Text2.text();
  in.english = english;
  in.page_number = next_page;
  in.main_intensity_given = !form.Text1[0]->text().empty();
  in.deluge_flow_given = !form.Text11.text().empty();
  in.main_sprinklers = form.Label11.visible();
  in.rack_sprinklers = form.Label14.visible();
  in.deluge_heads = form.Label12.visible();
  in.fire_cocks = form.Label13.visible();
  in.scheme_file = sys::resolve(L"rezult.kms");
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

void PrintArbitraryReport(arb::Form4& form) {
  if (!current_report_exists(form)) {
    warn(L"Для печати необходимо выполнить расчет!");
    return;
  }
  {
    reg::Form6 dialog;
    dialog.show(ui::ShowMode::Modal);
  }
  ui::Printer& printer = ui::host().printers().printer();
  set_up_printer(printer, form);
  const std::wstring language = Modul1::PrintLanguage;
  if (language.empty()) return;

  ReportPagesInput pages;
  pages.calculation_number = form.Text2.text();
  pages.program_version = Modul1::ProgramVersion;
  std::wstring report_name = L"rezres.txt";
  if (language == L"2") {
    if (!sys::file_exists(L"spr.out")) {
      warn(L"Для получения англоязычной версии необходимо сначала выполнить расчет!");
      return;
    }
    const EnglishReportResult english = MakeEnglishArbitraryReport(form, sys::current_folder(), Modul1::EnglishObjectName);
    if (english.end != EnglishReportEnd::Written) return;
    pages.english = true;
    pages.metric = english.units == ReportUnits::WestEuropean;
    report_name = L"rezangl.txt";
  }
  const auto report = read_report(report_name);
  if (!report) return;

  try {
    const int next_page = PrintReportText(printer, *report, pages);
    PrintArbitraryScheme(printer, scheme_input(form, pages.english, next_page));
  } catch (...) {
    printer.kill_doc();
    throw;
  }
  printer.end_doc();  // a job the printer refuses is told there
  printer.set_scale_mode(1);
}

}  // namespace dorv::arbprint
