// The English report rezangl.txt of a computed grid: the whole file byte for
// byte in each unit system for each solver layout of spr.out, the unit
// question, and what happens when it is cancelled or a file fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "gridcalc/fixture.h"
#include "gridcalc/golden_cases.h"
#include "gridprint/english_grid_report.h"
#include "text/strings.h"

namespace dorv::testing {
namespace {

using gridprint::EnglishReportEnd;
using gridprint::ReportUnits;
using gridprint::MakeEnglishGridReport;
using ui::MsgResult;
namespace fs = std::filesystem;

const fs::path kEnglishData = fs::path(DORV_ENGLISH_DATA_DIR);

class EnglishGridReportTest : public GridReportTest {
 protected:
  // Computes a golden case in the folder, as "Пуск" leaves it for "Печать".
  void compute(const GoldenCase& c, ProgramFolder& f) {
    f.install(fs::path(DORV_DATA_DIR) / "klap.inf", "klap.inf");
    state = {};
    set_case(c);
    hooks.start_command_file = [&f, &c](const std::wstring&) {
      f.install(fs::path(DORV_REPORT_DATA_DIR) / c.name / "spr.out", "spr.out");
      fs::remove(f / "prom.in");
      return true;
    };
    host.answer_message(MsgResult::Yes);
    RunGridCalculation(form, state, hooks, f.dir());
    ASSERT_EQ(state.ResultsValidFlag, 1);
    // As the print command does first: the dead-end flag tells the layout of
    // spr.out, which the run has left cleared.
    if (form.Text1[17] != L" нет" && (form.Text1[5] != L" нет" || form.Text1[6] != L" нет")) state.SolverChoice = 1;
    host.clear_records();
  }
  // The report made with the answer to the unit question, and to a message
  // that follows it when one is expected.
  gridprint::EnglishReportResult make(ProgramFolder& f, MsgResult units_answer, bool message_follows = false) {
    host.answer_message(units_answer);
    if (message_follows) host.answer_message(MsgResult::OK);
    return MakeEnglishGridReport(form, state, f.dir(), L"5.4.0", english_object_name);
  }
  std::wstring english_object_name = L"left from an earlier print";
};

TEST_F(EnglishGridReportTest, WritesBothUnitSystemsForBothLayoutsByteForByte) {
  struct Units {
    MsgResult answer;
    const char* suffix;
  };
  for (const auto& c : golden_cases()) {
    for (const Units u : {Units{MsgResult::Yes, "us"}, Units{MsgResult::No, "metric"}}) {
      const std::string golden = std::string(c.name) + "_" + u.suffix + ".txt";
      SCOPED_TRACE(golden);
      ProgramFolder f;
      compute(c, f);
      // The dead-end grid's report carries the English object name.
      if (c.name == std::string("dead_end")) f.put("nazangl.txt", "Warehouse of finished goods\r\n");
      const auto result = make(f, u.answer);
      EXPECT_EQ(result.end, EnglishReportEnd::Written);
      EXPECT_EQ(result.units, u.answer == MsgResult::Yes ? ReportUnits::US : ReportUnits::WestEuropean);
      EXPECT_EQ(f.get("rezangl.txt"), read_bytes(kEnglishData / golden));
      // The scratch files are gone once the report is written.
      EXPECT_FALSE(f.has("a"));
      EXPECT_FALSE(f.has("b"));
    }
  }
}

TEST_F(EnglishGridReportTest, AsksForTheUnitsFirstAndACancelTouchesNothing) {
  ProgramFolder f;
  compute(golden_cases()[0], f);
  f.put("rezangl.txt", "the report of an earlier print");
  f.put("nazangl.txt", "Office block\r\n");
  EXPECT_EQ(make(f, MsgResult::Cancel).end, EnglishReportEnd::Cancelled);
  ASSERT_EQ(host.messages().size(), 1u);
  const auto& question = host.messages()[0].request;
  EXPECT_EQ(question.title, L"Выбор версии печати");
  EXPECT_EQ(question.buttons, ui::MsgButtons::YesNoCancel);
  EXPECT_EQ(question.icon, ui::MsgIcon::Question);
  EXPECT_EQ(question.default_button, 0);
  EXPECT_EQ(question.text,
            L"      Выполнить распечатку англоязычной версии результатов расчета\r\nв единицах США (кнопка ДА)?\r\n"
            L"      При нажатии кнопки НЕТ будет выполнена распечатка англоязычной\r\n"
            L" версии результатов расчета в западно-европейских единицах. ");
  EXPECT_EQ(f.get("rezangl.txt"), "the report of an earlier print");
  EXPECT_EQ(english_object_name, L"left from an earlier print");

  // Printed, the name is taken anew: from the file, or empty without it.
  EXPECT_EQ(make(f, MsgResult::Yes).end, EnglishReportEnd::Written);
  EXPECT_EQ(english_object_name, L"Office block");
  fs::remove(f / "nazangl.txt");
  EXPECT_EQ(make(f, MsgResult::Yes).end, EnglishReportEnd::Written);
  EXPECT_EQ(english_object_name, L"");
  EXPECT_TRUE(contains(from_cp1251(f.get("rezangl.txt")), L"          Project:  Административно-бытовой"));
}

TEST_F(EnglishGridReportTest, AFileThatFailsEndsWithAMessageAndNothingToPrint) {
  ProgramFolder f;
  compute(golden_cases()[1], f);
  f.put("rezangl.txt", "the report of an earlier print");

  // A scratch file that cannot be written.
  fs::create_directory(f / "a");
  EXPECT_EQ(make(f, MsgResult::Yes, true).end, EnglishReportEnd::Failed);
  ASSERT_EQ(host.messages().size(), 2u);
  EXPECT_EQ(host.messages()[1].request.title, L"Предупреждение");
  EXPECT_TRUE(contains(host.messages()[1].request.text, L"a»")) << to_utf8(host.messages()[1].request.text);
  EXPECT_EQ(f.get("rezangl.txt"), "the report of an earlier print");
  EXPECT_FALSE(f.has("b"));
  fs::remove(f / "a");

  // spr.out gone, or cut short before its end table.
  for (const std::string& spr_out : {std::string(), std::string("only a title\r\n")}) {
    host.clear_records();
    if (spr_out.empty())
      fs::remove(f / "spr.out");
    else
      f.put("spr.out", spr_out);
    EXPECT_EQ(make(f, MsgResult::No, true).end, EnglishReportEnd::Failed);
    ASSERT_EQ(host.messages().size(), 2u);
    EXPECT_TRUE(contains(host.messages()[1].request.text, L"spr.out"));
    EXPECT_EQ(f.get("rezangl.txt"), "the report of an earlier print");
  }
}

}  // namespace
}  // namespace dorv::testing
