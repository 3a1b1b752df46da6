// The grid form in the running register: opening a stored calculation,
// closing it with and without saving, the results view, the scheme and print
// buttons, and what it does when files it reads are missing or short.
#include "app/calcforms.h"
#include "gridform/form2.h"
#include "tests/register/fixture.h"

namespace {

using namespace regtest;
using grid::Form2;

// A stored grid record of 32 lines: number, object, 19 fields, standards,
// valve, valve name, feed pipeline, totals and four results.
std::wstring record(const std::wstring& id, const std::wstring& object) {
  return id + L"\r\n" + object +
         L"\r\n4.17\r\n.47\r\n120\r\n4\r\n8\r\nнет\r\nнет\r\n3\r\n4\r\n.3\r\n15\r\n32\r\n65\r\n65\r\n65\r\n65\r\n6\r\n"
         L"1\r\n.08\r\nГОСТ 10704-76\r\n0.0019 (УУСЗ-65)\r\nУзел управления спринклерный водозаполненный\r\n"
         L"15d80h3,20d80\r\n 7.84\r\n 17.64\r\n 3\r\n 17.64\r\n 9.12\r\n 13.36\r\n 13.95\r\n";
}

class GridFormTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    put("nozapas.txt", L"");
    for (const char* f : {"trub.inf", "klap.inf"}) put_bytes(f, read_bytes(fs::path(DORV_DATA_DIR) / f));
    // 5-R, 15-R and 115-R: identifiers that contain one another.
    for (int n : {5, 15, 115}) {
      const std::string s = std::to_string(n);
      put("perform/" + s + "in.prr", record(L" " + std::to_wstring(n) + L"-R", L"Объект " + std::to_wstring(n)));
      put("perform/" + s + "res.prr", L"          Программа ВИРН-Дорв 5.4.0\r\n");
    }
    put("prr.kat", L" 5-R\r\n12/3\r\nОбъект 5\r\n15-R\r\n 12/3\r\nОбъект 15\r\n 115-R\r\n12/3\r\nОбъект 115\r\n");
    calc_forms_ = std::make_unique<app::CalcForms>();
    start();
  }
  void TearDown() override {
    calc_forms_.reset();
    RegisterTest::TearDown();
  }
  // Opens a calculation as the list shows it (identifiers padded to 7).
  Form2& open(const std::wstring& id) {
    select(std::wstring(7 - id.size(), L' ') + id);
    f().Command1.click();
    Form2* form = calc_forms_->grid_form();
    EXPECT_TRUE(form && form->loaded());
    return *form;
  }
  std::unique_ptr<app::CalcForms> calc_forms_;
};

TEST_F(GridFormTest, OpensAStoredCalculationAndSavesItsInputAtTheEndOfTheCatalog) {
  Form2& g = open(L"15-R");
  EXPECT_FALSE(f().visible());
  EXPECT_EQ(g.caption(), L"Расчет объекта с решеткой");
  EXPECT_EQ(g.Text2.text(), L" 15-R");
  EXPECT_EQ(g.Text8.text(), L" 12/3");
  EXPECT_EQ(g.Text3.text(), L"Объект 15");
  EXPECT_EQ(g.Text1(0).text(), L" 4.17");
  EXPECT_EQ(g.Text1(5).text(), L" нет");
  EXPECT_EQ(g.Combo1(0).text(), L"ГОСТ 10704-91");  // the old name upgraded
  EXPECT_EQ(g.Combo1(1).text(), L"0.0019 (УУСЗ-65)");
  EXPECT_EQ(g.Text4.text(), L"15d80h3,20d80");
  EXPECT_EQ(g.State.TotalHead, 7.84);
  EXPECT_EQ(g.State.GridFieldValues[0][1], L"4.17");
  const wchar_t* previous[] = {L" 17.64", L" 9.12", L" 13.36", L" 13.95"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(g.Text6(i).text(), previous[i]);
    EXPECT_EQ(g.Text5(i).text(), L"");
  }
  EXPECT_FALSE(g.Picture1.visible());
  EXPECT_TRUE(host_.messages().empty());

  g.Text1(3).type(L" 5");
  host_.answer_message(MsgResult::Yes);
  g.Command3.click();
  ASSERT_EQ(host_.messages().size(), 1u);
  EXPECT_EQ(last_message().text, L"Расчет не выполнялся. Сохранить исходные данные?");
  EXPECT_EQ(last_message().title, L"Сохранение исходных данных");
  EXPECT_EQ(last_message().buttons, ui::MsgButtons::YesNo);
  EXPECT_EQ(last_message().icon, ui::MsgIcon::Question);

  const auto stored = split_lines(from_cp1251(bytes("perform/15in.prr")));
  ASSERT_EQ(stored.size(), 32u);
  EXPECT_EQ(stored[0], L" 15-R");
  EXPECT_EQ(stored[5], L"5");
  EXPECT_EQ(stored[21], L"ГОСТ 10704-91");
  EXPECT_EQ(stored[25], L" 7.84");
  EXPECT_EQ(stored[27], L" 0");
  for (std::size_t i = 28; i < 32; ++i) EXPECT_EQ(stored[i], L"");
  // Its own record moved to the end; 5-R and 115-R stay.
  EXPECT_EQ(from_cp1251(bytes("prr.kat")),
            L" 5-R\r\n12/3\r\nОбъект 5\r\n 115-R\r\n12/3\r\nОбъект 115\r\n 15-R\r\n12/3\r\nОбъект 15\r\n");
  EXPECT_TRUE(f().visible());
  EXPECT_FALSE(f().OpenedFromRegister);
  EXPECT_FALSE(exists("rezult2.txt"));
  EXPECT_FALSE(exists("rezult1.txt"));
}

TEST_F(GridFormTest, NoKeepsEverythingStored) {
  const std::string catalog = bytes("prr.kat"), input = bytes("perform/15in.prr"), report = bytes("perform/15res.prr");
  Form2& g = open(L"15-R");
  g.Text1(3).type(L" 9");
  host_.answer_message(MsgResult::No);
  EXPECT_TRUE(g.close_box());
  EXPECT_EQ(bytes("prr.kat"), catalog);
  EXPECT_EQ(bytes("perform/15in.prr"), input);
  EXPECT_EQ(bytes("perform/15res.prr"), report);
  EXPECT_TRUE(f().visible());
  EXPECT_FALSE(exists("rezult2.txt"));
}

TEST_F(GridFormTest, SavingFromASearchResultKeepsTheOtherRecordsOfIt) {
  // The search by contract lists all three; saving 5-R touches its own record only.
  host_.answer_input(L"");
  host_.answer_input(L"12/3");
  f().Command4.click();
  ASSERT_EQ(listed().size(), 3u);
  Form2& g = open(L"5-R");
  host_.answer_message(MsgResult::Yes);
  g.Command3.click();
  const auto karman = read_catalog(L"karman1");
  ASSERT_EQ(karman.size(), 3u);
  EXPECT_EQ(trim(karman[0].id), L"15-R");
  EXPECT_EQ(trim(karman[1].id), L"115-R");
  EXPECT_EQ(trim(karman[2].id), L"5-R");
}

TEST_F(GridFormTest, ANewCalculationStartsEmptyAndIsAppended) {
  f().Command2.click();
  f().form5().Command1.click();
  Form2* g = calc_forms_->grid_form();
  ASSERT_TRUE(g && g->loaded());
  EXPECT_EQ(g->Text2.text(), L" 116-R");
  EXPECT_EQ(g->Text8.text(), L" ");
  EXPECT_EQ(g->Text3.text(), L" ");
  EXPECT_EQ(g->Text1(0).text(), L"");
  EXPECT_EQ(g->Combo1(0).text(), L"ГОСТ на трубы");
  EXPECT_EQ(g->Combo1(0).items(), (std::vector<std::wstring>{L"ГОСТ 3262-75", L"ГОСТ 10704-91"}));
  EXPECT_EQ(g->Combo2.items(), g->Combo1(0).items());
  EXPECT_EQ(g->Combo1(1).items().front(), L"Узел управления спринклерный водозаполненный");
  EXPECT_EQ(g->Combo1(1).items().back(), L"0");
  g->Text3.type(L"Гараж");
  host_.answer_message(MsgResult::Yes);
  g->Command3.click();
  EXPECT_EQ(read_catalog(L"prr.kat").back().id, L" 116-R");
  EXPECT_EQ(read_catalog(L"prr.kat").back().object, L"Гараж");
  EXPECT_EQ(split_lines(from_cp1251(bytes("perform/116in.prr"))).size(), 32u);
}

TEST_F(GridFormTest, ResultsViewSchemeAndPrintButtons) {
  Form2& g = open(L"15-R");
  // The view drops six characters of every line (windows-1251 throughout).
  put("rezres.txt", L"header line\r\n1234567890\r\n123456\r\n\r\n&     Напор ёж\r\n");
  g.Command4.click();
  EXPECT_EQ(from_cp1251(bytes("flrez.txt")), L" line\r\n7890\r\n\r\n\r\nНапор ёж\r\n");
  ASSERT_EQ(host_.shell_opens().size(), 1u);
  EXPECT_EQ(host_.shell_opens()[0].file.filename(), "flrez.txt");
  // A missing report shows nothing and says nothing.
  fs::remove(at("rezres.txt"));
  g.Command4.click();
  EXPECT_EQ(host_.shell_opens().size(), 1u);

  // The scheme is shown and drawn, then hidden.
  g.Command5.click();
  EXPECT_TRUE(g.Picture1.visible());
  EXPECT_FALSE(g.Picture1.ops().empty());
  EXPECT_EQ(g.Scheme.SchemeRows, 4);
  EXPECT_EQ(g.Scheme.FeedSectionCount, 2);
  // Shown in front of the fields; a click on it brings it forward again.
  EXPECT_GT(g.Picture1.z_order(), g.Text1(0).z_order());
  g.Text1(0).bring_to_front();
  EXPECT_TRUE(g.Picture1.click());
  EXPECT_GT(g.Picture1.z_order(), g.Text1(0).z_order());
  g.Command5.click();
  EXPECT_FALSE(g.Picture1.visible());

  // Printing needs a report and a grid result.
  host_.answer_message(MsgResult::OK);
  g.Command2.click();
  EXPECT_EQ(last_message().text, L"Для печати необходимо выполнить расчет!");
  EXPECT_EQ(last_message().title, L"Предупреждение");
  EXPECT_FALSE(g.Picture1.visible());  // drawn anew for the print, and put away as it was
  EXPECT_EQ(host_.messages().size(), 1u);

  // Leaving a field runs its rule with the field's index: a new free head
  // gives a new intensity.
  const std::wstring intensity = g.Text1(18).text();
  g.Text1(0).type(L" 9");
  EXPECT_TRUE(g.Text1(0).focus_in());
  EXPECT_TRUE(g.Text1(0).focus_out());
  EXPECT_NE(g.Text1(18).text(), intensity);
  host_.answer_message(MsgResult::No);
  g.Command3.click();
}

TEST_F(GridFormTest, TheSchemeMarksTheOperatingSprinklersOfAValidReport) {
  Form2& g = open(L"15-R");
  // A sprinkler table of two rows from sprinkler 2: rows 1 and 2 hold heads
  // at sprinklers 2, 3 and 3.
  put("rezres.txt",
      L"          Программа ВИРН-Дорв 5.4.0\r\n"
      L"                    Номер   |  Номера оросителей в рядке\r\n"
      L"                    рядка   |---------------------------\r\n"
      L"                            |      2       3       4\r\n"
      L"                  --------------------------------------\r\n"
      L"                    1  Напор|     5.1       5        \r\n"
      L"                       Расх.|    0.95    0.94        \r\n"
      L"^                 --------------------------------------\r\n"
      L"                    2  Напор|            6.34        \r\n"
      L"                       Расх.|            1.06        \r\n"
      L"#                 --------------------------------------\r\n");
  const auto marks = [&g] {
    std::vector<std::pair<int, int>> m;
    for (int i = 1; i <= g.Scheme.SchemeRows; ++i)
      for (int j = 1; j <= g.Scheme.SchemeSprinklersPerRow; ++j)
        if (g.Scheme.point(i, j, 4) == 1) m.push_back({i, j});
    return m;
  };
  // Without valid results nothing is marked.
  g.Command5.click();
  EXPECT_TRUE(marks().empty());
  g.Command5.click();
  g.State.ResultsValidFlag = 1;
  g.Command5.click();
  EXPECT_EQ(marks(), (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {2, 3}}));
  EXPECT_TRUE(host_.messages().empty());
  g.Command5.click();
  // A report that is gone is said so; the scheme is drawn without marks.
  fs::remove(at("rezres.txt"));
  host_.answer_message(MsgResult::OK);
  g.Command5.click();
  EXPECT_TRUE(marks().empty());
  EXPECT_EQ(last_message().text, L"Отчет о расчете rezres.txt отсутствует или неполон: вскрывшиеся оросители "
                                  L"отмечены на схеме не все или не отмечены.");
  host_.answer_message(MsgResult::No);
  g.Command3.click();
}

TEST_F(GridFormTest, MissingOrShortFilesOpenTheFormWithWhatCouldBeRead) {
  enum Spoil { ShortRecord, NoPipeFile, EmptyValveFile };
  struct Case {
    const char* what;
    Spoil spoil;
    std::wstring message_part;
    std::wstring standard;  // Combo1(0) after opening
  } cases[] = {
      {"a record of ten lines", ShortRecord, L"файл исходных данных расчета неполон: в нем 10 строк из 32",
       L"ГОСТ на трубы"},
      {"no pipe standards", NoPipeFile, L"нет файла ГОСТов на трубы trub.inf", L"ГОСТ 10704-91"},
      {"no valves", EmptyValveFile, L"в файле klap.inf нет ни одного клапана", L"ГОСТ 10704-91"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (&c != &cases[0]) {
      TearDown();
      SetUp();
    }
    if (c.spoil == ShortRecord) {
      auto lines = split_lines(from_cp1251(bytes("perform/15in.prr")));
      lines.resize(10);
      put("perform/15in.prr", join_lines(lines));
    }
    if (c.spoil == NoPipeFile) fs::remove(at("trub.inf"));
    if (c.spoil == EmptyValveFile) put("klap.inf", L"");
    const std::string stored = bytes("perform/15in.prr");
    host_.clear_records();
    host_.answer_message(MsgResult::OK);
    Form2& g = open(L"15-R");
    ASSERT_EQ(host_.messages().size(), 1u);
    EXPECT_NE(last_message().text.find(c.message_part), std::wstring::npos) << to_utf8(last_message().text);
    EXPECT_EQ(last_message().title, L"Предупреждение");
    EXPECT_EQ(g.Text1(4).text(), L" 8");  // line 7 is read in every case
    EXPECT_EQ(g.Combo1(0).text(), c.standard);
    EXPECT_EQ(bytes("perform/15in.prr"), stored);
    host_.answer_message(MsgResult::No);
    g.Command3.click();
    EXPECT_EQ(bytes("perform/15in.prr"), stored);
  }
}

}  // namespace

namespace {

// "Пуск" whose solver leaves no result: while it runs the form's events are
// processed but the form neither runs again nor closes; then the run is
// interrupted, the report stays as it was, and closing asks about the input.
TEST_F(GridFormTest, RunWithoutAResultLeavesTheReportAndAsksAboutTheInput) {
  put_bytes("prom1.bat", "sleep 0.2\nrm -f prom.in\n");  // a solver that computes nothing
  Form2& g = open(L"15-R");
  const std::string report = read_bytes(at("rezres.txt"));  // the stored report, copied by opening
  host_.answer_message(MsgResult::Yes);  // "Выполнить расчет?"
  host_.answer_message(MsgResult::OK);   // the interrupted run
  bool waited = false, ran_again = true, closed = true;
  host_.post([&] {
    waited = fs::exists(at("prom.in"));
    ran_again = g.Command1.click();
    closed = g.close_box();
  });
  g.Command1.click();
  EXPECT_TRUE(waited);
  EXPECT_FALSE(ran_again);
  EXPECT_FALSE(closed);
  EXPECT_EQ(last_message().text, L"Работа программы прервана. Нажмите ОК для возврата к началу расчета.");
  EXPECT_EQ(last_message().title, L"Прерывание расчета");
  EXPECT_EQ(read_bytes(at("rezres.txt")), report);
  EXPECT_TRUE(fs::exists(at("spr.in")));
  EXPECT_FALSE(fs::exists(at("prom.in")));
  EXPECT_EQ(g.Text5(0).text(), L"");
  EXPECT_EQ(g.Text1(2).text(), L" 120 (10 оросит.)");
  // The scheme drawn for the run no longer covers the fields.
  EXPECT_FALSE(g.Picture1.visible());
  // The input is the stored one (the area noted with its sprinklers): saving
  // it keeps the stored totals and results.
  const auto stored = split_lines(from_cp1251(bytes("perform/15in.prr")));
  host_.answer_message(MsgResult::Yes);
  g.Command3.click();
  EXPECT_EQ(last_message().text, L"Расчет не выполнялся. Сохранить исходные данные?");
  EXPECT_EQ(last_message().title, L"Сохранение исходных данных");
  const auto saved = split_lines(from_cp1251(bytes("perform/15in.prr")));
  ASSERT_EQ(saved.size(), 32u);
  EXPECT_EQ(saved[4], L"120 (10 оросит.)");
  EXPECT_EQ(std::vector<std::wstring>(saved.begin() + 25, saved.end()),
            std::vector<std::wstring>(stored.begin() + 25, stored.end()));
}

}  // namespace
