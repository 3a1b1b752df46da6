// A computed grid example printed through the Qt back end into PDF files, in
// Russian and in English: the report's lines stand in the PDF in their order
// with the Cyrillic intact, the fonts are embedded and the text pages are
// portrait. Pictures of the pages are kept in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/scenario/scenario.h"
#include "tests/scenario/printed_report.h"
#include "tests/support/pdf_inspect.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

// The transcript's boxes and what follows the first "layout", without what
// the solvers print on their console before it.
std::string boxes_and_layout(const std::string& out) {
  const std::size_t layout = std::min(out.find("\nForm2 layout =") + 1, out.size());
  std::istringstream before(out.substr(0, layout));
  std::string kept;
  for (std::string line; std::getline(before, line);)
    if (line.rfind("MSGBOX ", 0) == 0) kept += line + "\n";
  return kept + out.substr(layout);
}

TEST(GridPrintScenario, PrintsTheComputedExampleIntoPdfInRussianAndEnglish) {
#ifndef DORV_SCENARIO_PDF
  GTEST_SKIP() << "the runner was built without the PDF back end";
#endif
  ::setenv("GRIDSOLVE_SEED", "1", 1);
  ScenarioFolder folder;
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "grid_print.txt");
  ::unsetenv("GRIDSOLVE_SEED");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("MSGBOX Выбор версии печати"), std::string::npos) << r.out;

  struct Printed {
    const char* pdf;
    const char* report;
    const char* title;
    const char* second_page_header;  // the calculation number left out
    const char* scheme_title;
  };
  for (const Printed p : {Printed{"report.pdf", "rezres.txt", "Программа ВИРН-Дорв 5.4.0", "Стр. 2",
                                  "РАСЧЕТНАЯ СХЕМА"},
                          Printed{"report_en.pdf", "rezangl.txt", "Calculationprogram ВИРН-Дорв 5.4.0", "Page 2",
                                  "THE SCHEME FOR HIDRAULIC CALCULATION"}}) {
    SCOPED_TRACE(p.pdf);
    const std::string text = dorv::scenario_test::expect_printed_report(
        folder.dir() / p.pdf, folder.dir() / p.report, p.title, fs::path(DORV_ARTIFACTS_DIR));
    if (text.empty()) continue;
    // Form feeds separate the pages: the second begins with its header, the
    // last holds the scheme.
    const std::size_t second = text.find('\f');
    ASSERT_NE(second, std::string::npos);
    const std::size_t header_at = text.find_first_not_of("\n ", second + 1);
    const std::string header = dorv::test::pdf_words_of(text.substr(header_at, text.find('\n', header_at) - header_at));
    EXPECT_EQ(header.rfind(p.second_page_header), header.size() - std::string(p.second_page_header).size()) << header;
    const std::size_t last = text.find_last_of('\f', text.size() - 2);
    EXPECT_NE(text.find(p.scheme_title, last), std::string::npos);
  }
  // The English report carries the name typed into the set-up dialog.
  EXPECT_NE(dorv::test::pdf_text(folder.dir() / "report_en.pdf").find("Finished goods store"), std::string::npos);
}

}  // namespace

// "Печать" draws the scheme anew for the printed page, and the form goes on
// showing what it showed: a computed grid printed with its scheme put away
// shows its input fields afterwards, with no scheme over them.
TEST(GridPrintScenario, AfterPrintingTheFormShowsItsFieldsAsBefore) {
  ScenarioFolder folder;
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "grid_print_keeps_fields.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_EQ(boxes_and_layout(r.out), dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / "grid_print_keeps_fields.out"));
}
