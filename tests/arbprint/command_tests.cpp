// "Печать" of the arbitrary-network form after a real run of the example
// network: the refusals, the print set-up, and the report printed as one
// document on the recording printer.
#include <gtest/gtest.h>

#include "arbprint/print_command.h"
#include "register/form6.h"
#include "tests/arbcalc/fixture.h"

namespace {

using namespace arbtest;

const std::wstring kNoResult = L"Для печати необходимо выполнить расчет!";

class PrintCommandTest : public CalcTest {
 protected:
  // The example network computed with the solver's known answer.
  Form4& computed() {
    prepared_answer(read_bytes(fs::path(ARBCALC_DATA_DIR) / "sklad.out"));
    Form4& f4 = open_new();
    f4.print_report = dorv::arbprint::print_arbitrary_report;
    f4.Command1.click();
    EXPECT_EQ(f4.state.printout.ResultsValid, 1);
    forget_messages();
    return f4;
  }
  // The set-up dialog's answer: "1" Russian, "2" English, empty: cancelled.
  void set_up(const std::wstring& language) {
    host_.on_modal([this, language](ui::Form& form) {
      ++set_ups_;
      auto& dialog = static_cast<Form6&>(form);
      if (language.empty()) {
        dialog.Command2.click();
        return;
      }
      if (language == L"2") dialog.Option2.click();
      dialog.Command1.click();
    });
  }
  const std::vector<ui::PrintedDocument>& documents() { return host_.listed_printers().recorder().documents(); }
  int set_ups_ = 0;  // set-up dialogs shown
};

TEST_F(PrintCommandTest, RefusesAReportThatIsNotTheCurrentCalculations) {
  Form4& f4 = computed();
  const std::string report = bytes("rezres.txt");
  struct Case {
    const char* name;
    std::function<void()> make;
  };
  const std::vector<Case> cases = {
      {"no report", [&] { fs::remove(at("rezres.txt")); }},
      {"empty report", [&] { put_bytes("rezres.txt", ""); }},
      {"report of another version",
       [&] { put_bytes("rezres.txt", cp(L"          Программа ВИРН-Дорв 5.3.0") + report.substr(report.find("\r\n"))); }},
      {"run that failed after a good one",
       [&] {
         put_bytes("rezres.txt", report);
         prepared_answer("");
         host_.answer_message(MsgResult::OK);
         f4.Command1.click();
         ASSERT_EQ(f4.state.printout.ResultsValid, 0);
         forget_messages();
       }},
  };
  set_up(L"1");  // would print, were the set-up shown
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.make();
    host_.answer_message(MsgResult::OK);
    f4.Command2.click();
    ASSERT_EQ(messages(), std::vector<std::wstring>{kNoResult});
    EXPECT_EQ(last_message().title, L"Предупреждение");
    EXPECT_EQ(last_message().buttons, ui::MsgButtons::OK);
    forget_messages();
    EXPECT_EQ(set_ups_, 0);
    EXPECT_TRUE(documents().empty());
  }
}

TEST_F(PrintCommandTest, RussianReportPrintsAsOneDocument) {
  Form4& f4 = computed();
  set_up(L"1");
  f4.Command2.click();
  EXPECT_TRUE(messages().empty());
  ASSERT_EQ(documents().size(), 1u);
  const ui::PrintedDocument& doc = documents()[0];
  EXPECT_EQ(doc.device_name, L"Printer 1");
  EXPECT_EQ(doc.name, L"4-T");
  ASSERT_GE(doc.pages.size(), 2u);  // the text's two pages, then the scheme
  EXPECT_EQ(doc.pages[0].orientation, ui::kPortrait);
  std::vector<std::vector<std::wstring>> pages;
  for (std::size_t p = 0; p < 2; ++p) {
    const auto& page = doc.pages[p];
    pages.emplace_back();
    for (const auto& op : page.ops) {
      if (op.kind != ui::DrawOp::Kind::Text) continue;
      EXPECT_EQ(op.font.name, L"Courier New");
      pages.back().push_back(op.text);
    }
  }
  EXPECT_EQ(pages[0][0], L"          Программа ВИРН-Дорв 5.4.0");
  EXPECT_EQ(pages[1][0], std::wstring(52, L' ') + L"Расчет № 4-T  Стр. 2");
  // Every body line of rezres.txt without its marker, in order; the pipe
  // table's caption, near the foot of page 1, opens page 2.
  std::vector<std::wstring> body(pages[0].begin() + 1, pages[0].end());
  body.insert(body.end(), pages[1].begin() + 2, pages[1].end());
  std::vector<std::wstring> want;
  const auto report = lines("rezres.txt");
  for (std::size_t k = 1; k < report.size(); ++k) want.push_back(report[k].empty() ? L"" : report[k].substr(1));
  want.push_back(L"");
  ASSERT_GE(body.size(), want.size());
  body.resize(want.size());  // the scheme's texts follow
  EXPECT_EQ(body, want);
  EXPECT_EQ(pages[1][2], L"            Напоры и расходы на участках трубопроводов");
}

// The English report, written anew on the press, printed with its own title,
// headers and, in US units, inch sizes as stacked fractions.
TEST_F(PrintCommandTest, EnglishReportPrintsInTheChosenUnits) {
  Form4& f4 = computed();
  struct Case {
    const char* name;
    MsgResult units;
    bool fractions;
  };
  for (const Case& c : {Case{"US units", MsgResult::Yes, true}, Case{"West-European units", MsgResult::No, false}}) {
    SCOPED_TRACE(c.name);
    host_.listed_printers().recorder().clear();
    set_up(L"2");
    host_.answer_message(c.units);
    f4.Command2.click();
    ASSERT_EQ(messages().size(), 1u);  // the unit question
    forget_messages();
    ASSERT_EQ(documents().size(), 1u);
    // The body lines, without the title, the page headers and their empty lines.
    std::vector<std::wstring> printed;
    int slashes = 0;
    const auto& pages = documents()[0].pages;
    ASSERT_GE(pages.size(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
      std::size_t k = 0;
      for (const auto& op : pages[p].ops) {
        if (op.kind != ui::DrawOp::Kind::Text) continue;
        if (k++ == 0) {
          EXPECT_EQ(op.text, p == 0 ? L"          Calculationprogram ВИРН-Дорв 5.4.0"
                                    : std::wstring(47, L' ') + L"Calculation N 4-T  Page 2");
        }
        if (k > (p == 0 ? 1u : 2u)) printed.push_back(op.text);
        if (op.text == L"/" && op.x1 == 3860) ++slashes;
      }
    }
    const auto report = lines("rezangl.txt");
    ASSERT_GT(report.size(), 30u);
    EXPECT_EQ(printed[1], report[2].substr(1));
    // Unit texts are printed whole in either system.
    for (const auto& line : report)
      if (line.find(L"/ft2") != std::wstring::npos || line.find(L"psi/") != std::wstring::npos ||
          line.find(L"min)") != std::wstring::npos) {
        EXPECT_NE(std::find(printed.begin(), printed.end(), line.substr(1)), printed.end()) << to_utf8(line);
      }
    if (c.fractions) {
      EXPECT_GE(slashes, 3);  // the 1 1/4 and 1 1/2 in pipes of the table and the feed
    } else {
      EXPECT_EQ(slashes, 0);
      std::vector<std::wstring> want;
      for (std::size_t k = 1; k < report.size(); ++k) want.push_back(report[k].empty() ? L"" : report[k].substr(1));
      want.push_back(L"");
      ASSERT_GE(printed.size(), want.size());
      printed.resize(want.size());  // the scheme's texts follow
      EXPECT_EQ(printed, want);
    }
  }
  // A cancelled unit question prints nothing.
  host_.listed_printers().recorder().clear();
  set_up(L"2");
  host_.answer_message(MsgResult::Cancel);
  f4.Command2.click();
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_TRUE(documents().empty());
}

TEST_F(PrintCommandTest, CancelledSetUpPrintsNothing) {
  Form4& f4 = computed();
  set_up(L"");
  f4.Command2.click();
  EXPECT_EQ(set_ups_, 1);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(documents().empty());
}

TEST_F(PrintCommandTest, EnglishWithoutTheSolversAnswerIsRefusedAlone) {
  Form4& f4 = computed();
  fs::remove(at("spr.out"));
  set_up(L"2");
  host_.answer_message(MsgResult::OK);
  f4.Command2.click();
  EXPECT_EQ(messages(), std::vector<std::wstring>{L"Для получения англоязычной версии необходимо сначала выполнить расчет!"});
  EXPECT_EQ(last_message().title, L"Предупреждение");
  EXPECT_TRUE(documents().empty());
}

TEST_F(PrintCommandTest, PrinterThatRefusesTheJobIsToldAndNothingCountsAsPrinted) {
  Form4& f4 = computed();
  host_.listed_printers().recorder().fail_with(L"Принтер отказал.");
  set_up(L"1");
  host_.answer_message(MsgResult::OK);
  f4.Command2.click();
  EXPECT_EQ(messages(), std::vector<std::wstring>{L"Принтер отказал."});
  EXPECT_TRUE(documents().empty());
  EXPECT_FALSE(host_.printers().printer().in_document());
}

}  // namespace
