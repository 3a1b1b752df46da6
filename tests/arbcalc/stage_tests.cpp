// The refusals of "Пуск" that mend faults of the calculation, the bounded
// given-inlet-head loop, and the split of four-link junctions.
#include <functional>

#include "tests/arbcalc/fixture.h"
#include "text/numtext.h"

namespace {

using namespace arbtest;

std::string data_file(const std::string& name) { return read_bytes(fs::path(ARBCALC_DATA_DIR) / name); }

// Each refusal names its cause, and the network data file stays whole.
TEST_F(CalcTest, RefusalsLeaveTheNetworkDataWhole) {
  struct Case {
    std::wstring valve;
    std::wstring title;
    std::wstring text_start;
    std::wstring section_diameter;  // of the control unit's section, "65" as imported
  };
  const Case cases[] = {
      {L"", L"Клапан узла управления", L"В загруженных данных отсутствует тип клапана узла управления.", L"65"},
      {L"0 (Клапан неизвестный-65)", L"Клапан узла управления",
       L"Клапан узла управления \"Клапан неизвестный\" отсутствует в файле клапанов klap.inf.", L"65"},
      // A type name without a size, on a section whose diameter is unknown.
      {L"Узел управления спринклерный водозаполненный", L"Клапан узла управления",
       L"Диаметр клапана узла управления не определен: диаметр трубы у узла управления неизвестен. Укажите в окне "
       L"\"Клапан\" коэффициент потерь клапана.",
       L""},
      // A name line with no size line after it: no coefficient, not no loss.
      {L"0 (Клапан без размеров-65)", L"Предупреждение",
       L"Данные клапана, указанного в окне \"Клапан\", отсутствуют в базе данных программы!", L"65"},
      // A size line without a coefficient: not no loss either.
      {L"0 (Клапан без коэффициента-65)", L"Предупреждение",
       L"Данные клапана, указанного в окне \"Клапан\", отсутствуют в базе данных программы!", L"65"},
      {L"Клапан последний", L"Предупреждение",
       L"Данные клапана, указанного в окне \"Клапан\", отсутствуют в базе данных программы!", L"65"},
  };
  put_bytes("klap.inf", cp(L"Клапан без размеров\r\nКлапан без коэффициента\r\n(КБК-65)\r\n") + bytes("klap.inf") +
                            cp(L"Клапан последний\r\n"));
  prepared_answer(data_file("sklad.out"));
  Form4& f4 = open_new();
  const std::string record = bytes("rezult1.txt");
  ASSERT_EQ(f4.state.imported.SectionTable[1][1].str(), L" 1-2");
  for (const Case& c : cases) {
    forget_messages();
    f4.Text15.set_text(c.valve);
    f4.state.imported.SectionTable[1][3] = dorv::arb::Cell::of_text(c.section_diameter);
    host_.answer_message(MsgResult::OK);
    f4.Command1.click();
    ASSERT_EQ(messages().size(), 1u) << to_utf8(c.valve);
    EXPECT_EQ(messages()[0].substr(0, c.text_start.size()), c.text_start);
    EXPECT_EQ(last_message().title, c.title);
    EXPECT_EQ(bytes("rezult1.txt"), record);
    EXPECT_EQ(f4.state.printout.ResultsValid, 0);
  }
  // A valve found by its name and diameter: the size line is chosen; a name
  // without a usable size takes the size of its section (1-2, DN 65).
  f4.state.imported.SectionTable[1][3] = dorv::arb::Cell::number(65);
  for (const wchar_t* valve : {L"0 (Узел управления спринклерный водозаполненный-65)",
                               L"Узел управления спринклерный водозаполненный",
                               L"0 (Узел управления спринклерный водозаполненный-1)"}) {
    f4.Text15.set_text(valve);
    forget_messages();
    f4.Command1.click();
    EXPECT_TRUE(messages().empty()) << to_utf8(valve);
    EXPECT_EQ(f4.Text15.text(), L"0.0019 (УУСЗ-65)") << to_utf8(valve);
  }
  // The import survives the missing valve: closing stores it.
  host_.answer_message(MsgResult::Yes);
  form4_->unload();
  EXPECT_NE(bytes("perform/4in.prr").find("#####4"), std::string::npos);
}

// A number longer than any double holds, typed, answered or in the solver's
// answer, is refused as too large with what it is named; nothing is shown
// as a result and the network data stay whole.
TEST_F(CalcTest, ValuesTooLargeAreRefusedWithWhatTheyAre) {
  const std::string huge(400, '9');
  const std::wstring wide_huge = from_utf8(huge);
  struct Case {
    const char* name;
    ui::TextBox* (*field)(Form4&);  // the field typed, or none
    std::wstring typed;
    std::wstring given_head;  // answered in given-inlet-head mode when not empty
    std::string answer_from, answer_to;
    std::wstring what;
  };
  const Case cases[] = {
      {"K-factor", [](Form4& f) { return f.Text1[2]; }, wide_huge, L"", "", "",
       L"Основные спринклеры: Коэффициент К-фактор оросителя"},
      {"free head that a field rule showed as an infinity", [](Form4& f) { return f.Text1[3]; }, L" Inf", L"", "",
       "", L"Основные спринклеры: Своб. напор перед оросителем, м в.cт."},
      {"deluge head", [](Form4& f) { return &f.Text12; }, wide_huge, L"", "", "",
       L"Своб. напор перед дренчером, м в.ст."},
      {"given inlet head", nullptr, L"", wide_huge, "", "", L"Заданный напор на входе в систему"},
      {"inlet head of the answer", nullptr, L"", L"", "29.4252422504", huge,
       L"Напор на входе в систему в ответе программы расчета сети"},
      {"a node of the answer", nullptr, L"", L"", "4.5000000000", huge, L"Строка 3 ответа программы расчета сети"},
  };
  Form4& f4 = open_new();
  const std::string record = bytes("rezult1.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string answer = data_file("sklad.out");
    if (!c.answer_from.empty()) answer.replace(answer.find(c.answer_from), c.answer_from.size(), c.answer_to);
    prepared_answer(answer);
    ui::TextBox* field = c.field ? c.field(f4) : nullptr;
    const std::wstring before = field ? field->text() : L"";
    if (field) field->set_text(c.typed);
    f4.state.imported.GivenInletHead = 0;
    f4.set_given_inlet_pressure_mode(!c.given_head.empty());
    if (!c.given_head.empty()) host_.answer_input(c.given_head);
    host_.answer_message(MsgResult::OK);
    forget_messages();
    f4.Command1.click();
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"Значение \"" + c.what +
                                                    L"\" слишком велико. Нажмите ОК для возврата к началу расчета."});
    EXPECT_EQ(last_message().title, L"Предупреждение");
    EXPECT_EQ(f4.Text5[0]->text(), L"");
    EXPECT_EQ(f4.state.printout.ResultsValid, 0);
    EXPECT_EQ(bytes("rezult1.txt"), record);
    if (field) field->set_text(before);
  }
}

// A value outside its field's range, typed or answered, is refused with its
// field named before anything is solved, and so is a free head that its
// values give beyond any building's.
TEST_F(CalcTest, ValuesOutOfRangeAreRefusedWithTheirFieldNamed) {
  const std::wstring main = L"Основные спринклеры: ";
  enum Field { kIntensity, kArea, kK, kHead, kDelugeFlow };
  struct Case {
    const char* name;
    std::vector<std::pair<Field, std::wstring>> typed;
    std::wstring answer;  // to the question for a missing value, when not empty
    std::wstring what, verdict;
  };
  const Case cases[] = {
      {"intensity", {{kIntensity, L"99999999"}, {kHead, L""}}, L"", main + L"Интенсивность орошения, л/с.м2", L"велико"},
      {"K-factor", {{kK, L"0.0000001"}}, L"", main + L"Коэффициент К-фактор оросителя", L"мало"},
      {"answered area", {{kArea, L""}}, L"99999", main + L"Средн. площадь, защ. одним оросит., м2", L"велико"},
      {"deluge flow", {{kDelugeFlow, L"5000"}}, L"", L"Нормативный расход дренчера, л/с", L"велико"},
      {"free head of values in range",
       {{kIntensity, L"10"}, {kArea, L"1000"}, {kK, L"0.001"}, {kHead, L""}},
       L"",
       main + L"Своб. напор перед оросителем, м в.cт.",
       L"велико"},
  };
  Form4& f4 = open_new();
  ui::TextBox* const boxes[] = {f4.Text1[0], f4.Text1[1], f4.Text1[2], f4.Text1[3], &f4.Text11};
  counting_solver();
  const std::string record = bytes("rezult1.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<ui::TextBox*, std::wstring>> kept;
    for (const auto& [field, text] : c.typed) {
      kept.emplace_back(boxes[field], boxes[field]->text());
      boxes[field]->set_text(text);
    }
    if (!c.answer.empty()) host_.answer_input(c.answer);
    host_.answer_message(MsgResult::OK);
    forget_messages();
    f4.Command1.click();
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"Значение \"" + c.what + L"\" слишком " + c.verdict +
                                                    L". Нажмите ОК для возврата к началу расчета."});
    EXPECT_EQ(solver_calls(), 0);
    EXPECT_EQ(bytes("rezult1.txt"), record);
    EXPECT_TRUE(host_.script_done());
    for (const auto& [box, text] : kept) box->set_text(text);
  }
}

TEST_F(CalcTest, AnEmptyNetworkDataFileIsNeverStored) {
  prepared_answer(data_file("sklad.out"));
  Form4& f4 = open_new();
  f4.Command1.click();
  put("rezult1.txt", L"");
  host_.answer_message(MsgResult::Yes);
  host_.answer_message(MsgResult::OK);
  form4_->unload();
  EXPECT_NE(last_message().text.find(L"не сохранен"), std::string::npos);
  EXPECT_FALSE(exists("perform/4in.prr"));
  EXPECT_EQ(f().ListView1.find_item(L"    4-T"), -1);
}

TEST_F(CalcTest, FailedImportRefusesTheRun) {
  Form4& f4 = open_new();
  f4.state.imported.NetworkLoaded = 0;
  put("rezult1.txt", L"");
  forget_messages();
  host_.answer_message(MsgResult::OK);
  f4.Command1.click();
  EXPECT_EQ(messages(), std::vector<std::wstring>{L"Исходные данные для расчета не загружены!"});
  EXPECT_EQ(last_message().title, L"Нет исходных данных");
}

// An answer that never moves toward the given head ends after a bounded
// number of solves; one whose scaling would turn the heads over is refused.
TEST_F(CalcTest, GivenInletHeadLoopIsBounded) {
  struct Case {
    std::string inlet;
    std::wstring text_start;
    int calls;
  };
  const Case cases[] = {
      {"20", L"Расчет при заданном напоре на входе в систему не сошелся за 30 итераций", 30},
      {"1", L"Расчет при заданном напоре на входе в систему невозможен: заданный напор лежит ниже уровня", 1},
  };
  Form4& f4 = open_new();
  for (const Case& c : cases) {
    std::string answer = data_file("sklad.out");
    answer.replace(2, answer.find(' ', 2) - 2, c.inlet);
    prepared_answer(answer);
    fs::rename(at("prom3.bat"), at("solve.bat"));
    put_bytes("prom3.bat", "n=$(cat calls 2>/dev/null || echo 0); echo $((n+1)) > calls\nsh solve.bat\n");
    fs::remove(at("calls"));
    f4.state.imported.GivenInletHead = 0;
    f4.set_given_inlet_pressure_mode(true);
    host_.answer_input(L"40");
    host_.answer_message(MsgResult::OK);
    forget_messages();
    f4.Command1.click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].substr(0, c.text_start.size()), c.text_start);
    EXPECT_EQ(std::atoi(bytes("calls").c_str()), c.calls);
  }
}

// A junction with four links becomes two junctions of three.
TEST_F(CalcTest, FourLinkJunctionIsSplit) {
  Form4& f4 = open_new();
  std::wstring problem = L"0.0001 0.0005 200000\r\n";
  for (int n = 0; n < 20; ++n) {
    if (n == 5) problem += L"5 v 12.5 4 3 0.1 7 0.2 9 0.3 11 0.4\r\n";
    else if (n == 9) problem += L"9 v 0 2 5 0.3 1 1\r\n";
    else if (n == 11) problem += L"11 v 0 2 2 1 5 0.4\r\n";
    else problem += whole_text(n) + L" p 0 1 1 1\r\n";
  }
  put("spr.in", problem);
  dorv::arb::NetworkFormTexts texts;
  const dorv::arb::NetworkRunHooks hooks;
  dorv::arb::ArbRun run(texts, f4.state, hooks);
  ASSERT_EQ(dorv::arb::rebuild_problem_file(run), dorv::arb::StageEnd::Continue);
  const auto out = lines("spr.in");
  ASSERT_EQ(out.size(), 24u);
  EXPECT_EQ(out[6], L"5 v 12.5 3 3 0.1 7 0.2 20 150   ");
  EXPECT_EQ(out[10], L"9 v 0 2 20 0.3 1 1     ");
  EXPECT_EQ(out[12], L"11 v 0 2 2 1 20 0.4     ");
  EXPECT_EQ(out[21], L"20 v 12.5 3 9 0.3 11 0.4 5 150   ");
  EXPECT_EQ(out[22], std::wstring(12, L' '));
  EXPECT_EQ(out[23], std::wstring(12, L' '));
}

}  // namespace

namespace {

// Every value the network's outlets need is asked for when its field is
// empty; an answer of nothing and "Отказ от пуска?" give the run up before
// anything is solved or written.
TEST_F(CalcTest, EmptyValuesTheOutletsNeedAreAskedFor) {
  struct Case {
    std::function<dorv::ui::TextBox&(Form4&)> field;
    std::wstring asked;
  };
  const Case cases[] = {
      {[](Form4& f) -> dorv::ui::TextBox& { return *f.Text1[1]; },
       L"Основные спринклеры: Средн. площадь, защ. одним оросит., м2"},
      {[](Form4& f) -> dorv::ui::TextBox& { return *f.Text1[2]; }, L"Основные спринклеры: Коэффициент К-фактор оросителя"},
      {[](Form4& f) -> dorv::ui::TextBox& { return f.Text17; },
       L"Внутристеллажные спринклеры: Средн. площадь, защ. одним оросит., м2"},
      {[](Form4& f) -> dorv::ui::TextBox& { return f.Text18; },
       L"Внутристеллажные спринклеры: Коэффициент К-фактор оросителя"},
      {[](Form4& f) -> dorv::ui::TextBox& { return f.Text11; }, L"Нормативный расход дренчера, л/с"},
      {[](Form4& f) -> dorv::ui::TextBox& { return f.Text12; }, L"Своб. напор перед дренчером, м в.ст."},
      {[](Form4& f) -> dorv::ui::TextBox& { return f.Text13; }, L"Нормативный расход пож. крана, л/с"},
      {[](Form4& f) -> dorv::ui::TextBox& { return f.Text14; }, L"Своб. напор перед пож. краном, м в.ст."},
  };
  Form4& f4 = open_new();
  counting_solver();
  const std::string record = bytes("rezult1.txt");
  for (const Case& c : cases) {
    const std::wstring kept = c.field(f4).text();
    c.field(f4).set_text(L"");
    const std::size_t asked_before = host_.inputs().size();
    host_.answer_input(L"");
    host_.answer_message(MsgResult::Yes);
    f4.Command1.click();
    ASSERT_EQ(host_.inputs().size(), asked_before + 1) << to_utf8(c.asked);
    EXPECT_EQ(host_.inputs().back().request.prompt, L"Пожалуйста, введите: " + c.asked);
    EXPECT_EQ(last_message().text, L"Отказ от пуска?");
    EXPECT_FALSE(fs::exists(at("prom.in"))) << to_utf8(c.asked);
    EXPECT_EQ(solver_calls(), 0);
    EXPECT_EQ(bytes("rezult1.txt"), record);
    c.field(f4).set_text(kept);
  }
  // A rack sprinkler's free head follows from its intensity, and back.
  f4.Text19.set_text(L"");
  f4.Text16.set_text(L"");
  host_.answer_input(L"0,1");
  f4.Command1.click();
  EXPECT_EQ(f4.Text16.text(), L" 0.1");
  EXPECT_EQ(f4.Text19.text(), L" 3.24");
  EXPECT_TRUE(host_.script_done());
}

}  // namespace
