// A computed grid example printed through the Qt back end into PDF files, in
// Russian and in English: the report's lines stand in the PDF in their order
// with the Cyrillic intact, the fonts are embedded and the text pages are
// portrait. Pictures of the pages are kept in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/scenario/scenario.h"
#include "tests/support/pdf_inspect.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

// The words of a text, one blank between them: the PDF's layout text puts
// its own spacing between columns.
std::string words_of(const std::string& text) {
  std::istringstream in(text);
  std::string out;
  for (std::string w; in >> w;) out += (out.empty() ? "" : " ") + w;
  return out;
}

// Each printed report line (markers dropped) is found in the PDF's text after
// the one before it.
void expect_lines_in_order(const std::vector<std::wstring>& report, const std::string& pdf_text) {
  const std::string text = words_of(pdf_text);
  std::size_t at = 0;
  for (std::size_t i = 1; i < report.size(); ++i) {
    const std::string line = words_of(dorv::to_utf8(report[i].empty() ? L"" : report[i].substr(1)));
    if (line.empty()) continue;
    const std::size_t found = text.find(line, at);
    ASSERT_NE(found, std::string::npos) << "report line " << i + 1 << ": " << line;
    at = found + line.size();
  }
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
  };
  for (const Printed p : {Printed{"report.pdf", "rezres.txt", "Программа ВИРН-Дорв 5.4.0"},
                          Printed{"report_en.pdf", "rezangl.txt", "Calculationprogram ВИРН-Дорв 5.4.0"}}) {
    SCOPED_TRACE(p.pdf);
    const fs::path pdf = folder.dir() / p.pdf;
    ASSERT_TRUE(fs::exists(pdf));
    const std::string text = dorv::test::pdf_text(pdf);
    EXPECT_NE(text.find(p.title), std::string::npos);
    expect_lines_in_order(dorv::read_lines(folder.dir() / p.report), text);
    const auto fonts = dorv::test::pdf_fonts(pdf);
    ASSERT_FALSE(fonts.empty());
    for (const auto& f : fonts) EXPECT_TRUE(f.embedded) << f.name;
    const auto sizes = dorv::test::pdf_page_sizes(pdf);
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_LT(sizes[0].width, sizes[0].height);  // portrait
    dorv::test::save_page_images(pdf, fs::path(DORV_ARTIFACTS_DIR), fs::path(p.pdf).stem().string());
  }
  // The English report carries the name typed into the set-up dialog.
  EXPECT_NE(dorv::test::pdf_text(folder.dir() / "report_en.pdf").find("Finished goods store"), std::string::npos);
}

}  // namespace
