// The netexport example network computed and printed through the Qt back end
// into PDF files, in Russian and in English: the report's lines stand in the
// PDF in their order with the Cyrillic intact, the fonts are embedded and the
// first page is portrait. Pictures of the pages are kept in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/scenario/scenario.h"
#include "tests/scenario/printed_report.h"
#include "tests/support/pdf_inspect.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

TEST(ArbitraryPrintScenario, PrintsTheComputedNetworkIntoPdfInRussianAndEnglish) {
#ifndef DORV_SCENARIO_PDF
  GTEST_SKIP() << "the runner was built without the PDF back end";
#endif
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "arbitrary_print.txt");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("Form4.Text5(0) =  12.42"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("MSGBOX Выбор версии печати"), std::string::npos) << r.out;

  struct Printed {
    const char* pdf;
    const char* report;
    const char* title;
  };
  for (const Printed p : {Printed{"report.pdf", "rezres.txt", "Программа ВИРН-Дорв 5.4.0"},
                          Printed{"report_en.pdf", "rezangl.txt", "Calculationprogram ВИРН-Дорв 5.4.0"}}) {
    SCOPED_TRACE(p.pdf);
    dorv::scenario_test::expect_printed_report(folder.dir() / p.pdf, folder.dir() / p.report, p.title,
                                               fs::path(DORV_ARTIFACTS_DIR).parent_path() / "arbitrary_print");
  }
  const std::string russian = dorv::test::pdf_words_of(dorv::test::pdf_text(folder.dir() / "report.pdf"));
  EXPECT_NE(russian.find("Расчет № 5-T Стр. 2"), std::string::npos);
  EXPECT_NE(russian.find("Склад «Восток»"), std::string::npos);
  const std::string english = dorv::test::pdf_words_of(dorv::test::pdf_text(folder.dir() / "report_en.pdf"));
  EXPECT_NE(english.find("Calculation N 5-T Page 2"), std::string::npos);
  EXPECT_NE(english.find("East warehouse"), std::string::npos);
}

// The example pack's arbitrary calculation brings its scheme: printed as
// it opens, its report ends with the scheme's labels and no box tells of a
// damaged scheme file.
TEST(ArbitraryPrintScenario, TheArbitraryExamplePrintsWithItsScheme) {
#ifndef DORV_SCENARIO_PDF
  GTEST_SKIP() << "the runner was built without the PDF back end";
#endif
  ScenarioFolder folder;
  folder.put_graphics_link();
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "arbitrary_example_print.txt");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / "arbitrary_example_print.out"));
  const std::string printed = dorv::test::pdf_words_of(dorv::test::pdf_text(folder.dir() / "example.pdf"));
  EXPECT_NE(printed.find("Торговый центр «Северный»"), std::string::npos);
  EXPECT_NE(printed.find("65 L=4.5"), std::string::npos);
}

// The English object name printed for one calculation is not offered for
// another: a new network's print set-up shows an empty name.
TEST(ArbitraryPrintScenario, AnotherCalculationsEnglishNameIsNotOffered) {
#ifndef DORV_SCENARIO_PDF
  GTEST_SKIP() << "the runner was built without the PDF back end";
#endif
  ::setenv("GRIDSOLVE_SEED", "1", 1);
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "arbitrary_english_name.txt");
  ::unsetenv("GRIDSOLVE_SEED");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(dorv::test::pdf_words_of(dorv::test::pdf_text(folder.dir() / "report_en.pdf"))
                .find("Finished goods warehouse No.5"),
            std::string::npos);
  EXPECT_NE(r.out.find("\nForm6.Text1 = \nMSGBOX Сохранение расчета"), std::string::npos) << r.out;
}

}  // namespace
