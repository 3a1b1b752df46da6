// "Печать" of the grid form in the running register: the refusals, the set-up
// dialog, a whole Russian report printed on the recording printer, and the
// ways a job ends without a printout. Printing never changes the form's
// calculation state.
#include "app/calcforms.h"
#include "gridform/form2.h"
#include "reportkit/report_pages.h"
#include "register/form6.h"
#include "tests/register/fixture.h"

namespace {

using namespace regtest;
using grid::Form2;

const fs::path kReports = fs::path(DORV_REPORT_DATA_DIR);

std::wstring record() {
  return L" 15-R\r\nСклад\r\n5\r\n.47\r\n120\r\n3\r\n3\r\nнет\r\nнет\r\n3\r\n4\r\nнет\r\n\r\n25\r\n40\r\n40\r\nнет\r\n32\r\n"
         L"нет\r\nнет\r\n.08\r\nГОСТ 10704-91\r\n\r\nУзел управления спринклерный водозаполненный\r\n"
         L"20d50,10d50,30d65h-2\r\n 12.6\r\n 3.91\r\n -2\r\n 3.91\r\n 12.41\r\n 12.6\r\n 13.1\r\n";
}

class GridPrintTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    put("nozapas.txt", L"");
    for (const char* f : {"trub.inf", "klap.inf"}) put_bytes(f, read_bytes(fs::path(DORV_DATA_DIR) / f));
    put("perform/15in.prr", record());
    put("perform/15res.prr", L"          Программа ВИРН-Дорв 5.4.0\r\n");
    put("prr.kat", L" 15-R\r\n12\r\nСклад\r\n");
    calc_forms_ = std::make_unique<app::CalcForms>();
    start();
    select(L"   15-R");
    f().Command1.click();
    form_ = calc_forms_->grid_form();
    ASSERT_TRUE(form_ && form_->loaded());
    computed();
  }
  // The computed report and result of the ring grid, as a completed run of
  // the form's input through prom1.bat leaves them.
  void computed() {
    put_bytes("rezres.txt", read_bytes(kReports / "ring" / "rezres.txt"));
    put_bytes("spr.out", read_bytes(kReports / "ring" / "spr.out"));
    host_.listed_printers().recorder().fail_with(L"");
    form_->State.ResultsValidFlag = 1;
    form_->State.ResultsInput = grid::input_texts(grid::texts_of(*form_));
    form_->State.ResultsSolverChoice = 0;
  }
  void TearDown() override {
    calc_forms_.reset();
    RegisterTest::TearDown();
  }
  // The set-up dialog's answer: Russian, English or cancelled.
  void set_up_with(int language) {
    host_.on_modal([language](ui::Form& form) {
      auto& d = static_cast<Form6&>(form);
      if (language == 0) return d.Command2_Click();
      if (language == 2) d.Option2.click();
      d.Command1.click();
    });
  }
  const std::vector<ui::PrintedDocument>& documents() { return host_.listed_printers().recorder().documents(); }
  ui::Printer& printer() { return host_.printers().printer(); }

  std::unique_ptr<app::CalcForms> calc_forms_;
  Form2* form_ = nullptr;
};

TEST_F(GridPrintTest, RefusesWithoutAComputedResultBeforeTheSetUpDialog) {
  struct Case {
    const char* name;
    std::function<void()> spoil;
    std::size_t boxes = 1;  // a report gone from under a valid run: the scheme says so first
  };
  const Case cases[] = {
      {"no report", [&] { fs::remove(at("rezres.txt")); }, 2},
      {"no result", [&] { fs::remove(at("spr.out")); }},
      {"empty report", [&] { put("rezres.txt", L""); }, 2},
      // The files of an earlier run stay, but they are not this input's.
      {"the last run gave no result", [&] { form_->State.ResultsValidFlag = 0; }},
      {"no run since the form was opened", [&] { form_->State.ResultsInput.clear(); }},
      {"a field edited after the run", [&] { form_->Text1(5).type(L" 1"); }},
      {"the feed pipeline edited after the run", [&] { form_->Text4.type(L"20d50,10d50"); }},
      {"the contract edited after the run", [&] { form_->Text8.type(L" 13"); }},
  };
  const auto input = [&] { return grid::input_texts(grid::texts_of(*form_)); };
  const auto shown = input();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < 19; ++i) form_->Text1(i).set_text(shown[3 + i]);
    form_->Text8.set_text(shown[2]);
    form_->Text4.set_text(shown.back());
    ASSERT_EQ(input(), shown);
    computed();
    c.spoil();
    form_->Picture1.cls();
    const std::size_t before = host_.messages().size();
    for (std::size_t i = 0; i < c.boxes; ++i) host_.answer_message(MsgResult::OK);
    form_->Command2.click();
    ASSERT_EQ(host_.messages().size(), before + c.boxes);
    EXPECT_EQ(last_message().text, L"Для печати необходимо выполнить расчет!");
    EXPECT_EQ(last_message().title, L"Предупреждение");
    EXPECT_EQ(last_message().buttons, ui::MsgButtons::OK);
    // The scheme was redrawn all the same, and stays put away.
    EXPECT_FALSE(form_->Picture1.ops().empty());
    EXPECT_FALSE(form_->Picture1.visible());
    EXPECT_TRUE(documents().empty());
    EXPECT_FALSE(printer().in_document());
  }
}

TEST_F(GridPrintTest, CancelledSetUpPrintsNothingAndLeavesTheRunsState) {
  form_->State.SolverChoice = 0;
  form_->State.ResultsSolverChoice = 1;
  form_->Command5.click();  // the scheme on the screen stays there
  set_up_with(0);
  form_->Command2.click();
  EXPECT_TRUE(form_->Picture1.visible());
  EXPECT_TRUE(host_.messages().empty());
  EXPECT_TRUE(documents().empty());
  EXPECT_FALSE(printer().in_document());
  EXPECT_EQ(form_->State.SolverChoice, 0);
  EXPECT_EQ(form_->State.ResultsSolverChoice, 1);
  EXPECT_EQ(form_->State.ResultsValidFlag, 1);
}

TEST_F(GridPrintTest, PrintsTheRussianReportPageByPageThenTheScheme) {
  set_up_with(1);
  form_->Command2.click();
  EXPECT_TRUE(host_.messages().empty());
  EXPECT_FALSE(form_->Picture1.visible());  // the fields stay in reach
  ASSERT_EQ(documents().size(), 1u);
  const auto& doc = documents()[0];
  EXPECT_EQ(doc.name, L"15-R");
  ASSERT_EQ(doc.pages.size(), 3u);  // 95 rows on two pages, then the scheme's page
  for (const auto& page : doc.pages) EXPECT_EQ(page.orientation, ui::kPortrait);
  // The text, page by page, is the report's lines without their markers.
  const auto report = read_lines(at("rezres.txt"));
  std::vector<std::wstring> printed;
  for (std::size_t p = 0; p < 2; ++p)
    for (std::size_t i = 2; i < doc.pages[p].ops.size(); ++i) printed.push_back(doc.pages[p].ops[i].text);
  EXPECT_EQ(doc.pages[0].ops[1].text, L"          Программа ВИРН-Дорв 5.4.0");
  EXPECT_EQ(doc.pages[1].ops[0].text, report::page_header_text(false, L" 15-R", 2));
  EXPECT_EQ(doc.pages[2].ops[0].text, report::page_header_text(false, L" 15-R", 3));
  // The scheme's page follows under its header.
  ASSERT_GT(doc.pages[2].ops.size(), 3u);
  EXPECT_NE(doc.pages[2].ops[2].text.find(L"РАСЧЕТНАЯ СХЕМА"), std::wstring::npos);
  ASSERT_EQ(printed.size(), report.size());
  for (std::size_t r = 1; r < report.size(); ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(printed[r - 1], report[r].empty() ? L"" : report[r].substr(1));
  }
  EXPECT_EQ(printed.back(), L"");
}

TEST_F(GridPrintTest, AJobThatCannotBeFinishedIsDroppedWithOneMessage) {
  struct Case {
    const char* name;
    std::function<void()> spoil;
    std::wstring message;
    std::size_t boxes = 1;  // a spoiled report: the scheme says so first
  };
  const Case cases[] = {
      {"report without its input data", [&] { put("rezres.txt", L"header\r\n*heading\r\n"); },
       L"Файл отчета rezres.txt отсутствует или неполон. Отчет не напечатан; выполните расчет заново.", 2},
      {"printer refuses", [&] { host_.listed_printers().recorder().fail_with(L"Принтер отказал."); },
       L"Принтер отказал."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    computed();
    c.spoil();
    set_up_with(1);
    for (std::size_t i = 0; i < c.boxes; ++i) host_.answer_message(MsgResult::OK);
    const std::size_t before = host_.messages().size();
    form_->Command2.click();
    ASSERT_EQ(host_.messages().size(), before + c.boxes);
    EXPECT_EQ(last_message().text, c.message);
    EXPECT_TRUE(documents().empty());
    EXPECT_FALSE(printer().in_document());
  }
}

TEST_F(GridPrintTest, EnglishRefusedWhenTheResultIsGoneByTheTimeTheDialogCloses) {
  host_.on_modal([this](ui::Form& form) {
    fs::remove(at("spr.out"));
    auto& d = static_cast<Form6&>(form);
    d.Option2.click();
    d.Command1.click();
  });
  host_.answer_message(MsgResult::OK);
  form_->Command2.click();
  ASSERT_EQ(host_.messages().size(), 1u);
  EXPECT_EQ(last_message().text, L"Для получения англоязычной версии необходимо сначала выполнить расчет!");
  EXPECT_TRUE(documents().empty());
  EXPECT_FALSE(printer().in_document());
}

TEST_F(GridPrintTest, EnglishUnitChoiceCancelledPrintsNothing) {
  set_up_with(2);
  host_.answer_message(MsgResult::Cancel);
  form_->Command2.click();
  ASSERT_EQ(host_.messages().size(), 1u);  // the unit question only
  EXPECT_EQ(last_message().title, L"Выбор версии печати");
  EXPECT_TRUE(documents().empty());
  EXPECT_FALSE(printer().in_document());
}

}  // namespace
