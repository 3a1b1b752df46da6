// The run up to the solver: the questions, the field stage, the refusals,
// the feed pipeline dialogue, the comparison with the stored record and the
// exact grid parameter file.
#include <gtest/gtest.h>

#include "gridcalc/fixture.h"
#include "text/strings.h"

namespace dorv::testing {
namespace {

using ui::MsgResult;

std::string crlf_lines(std::initializer_list<const char*> lines) {
  std::string t;
  for (const char* l : lines) t += std::string(l) + "\r\n";
  return t;
}

struct ParameterCase {
  const char* name;
  std::vector<std::pair<int, std::wstring>> fields;
  std::string spr_in;
  const wchar_t* command;
};

TEST_F(GridRunTest, WritesTheGridParameterFileByteForByte) {
  const std::vector<ParameterCase> cases{
      {"plain grid",
       {},
       crlf_lines({" 3", " 4", " 6", " 4", " 3.44", " 28.7", " 5", " 0.47", " 10", "0.0005", "0", " 0", " 0",
                   " 28.7", "0", " 0", " 0"}),
       L"prom1.bat"},
      {"dead ends with a height, K per L/min, a typed comma",
       {{0, L" 4,5"}, {1, L" 80"}, {5, L" 1"}, {6, L" 1"}, {17, L" 0.5"}},
       crlf_lines({" 3", " 4", " 6", " 4", " 3.44", " 28.7", " 4.5", " 0.42", " 10", "0.01", "0", " 0", " 0.5",
                   " 28.7", "0", " 1", " 1"}),
       L"prom2.bat"},
      {"sprinkler above its line, parallel pipe, negative feed offset",
       {{9, L" 0.3"}, {10, L" 20"}, {14, L" 32"}, {16, L"-0,5"}},
       crlf_lines({" 3", " 4", " 6", " 4", " 3.44", " 28.7", " 5.74", "0.44", " 10", "0.0005", " 13.97", "-0.5",
                   " 0", " 28.7", "0", " 0", " 0"}),
       L"prom1.bat"},
  };
  const auto base = form.Text1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form.Text1 = base;
    for (const auto& [i, text] : c.fields) form.Text1[i] = text;
    started.clear();
    host.answer_message(MsgResult::Yes);  // "Выполнить расчет?"
    host.answer_message(MsgResult::OK);   // the empty spr.out: the run is interrupted
    run();
    EXPECT_EQ(folder.get("spr.in"), c.spr_in);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], c.command);
    EXPECT_EQ(form.Text1[2], L" 120 (10 оросит.)");
    EXPECT_TRUE(host.script_done());
  }
}

TEST_F(GridRunTest, CountsTheSprinklersOfTheDesignArea) {
  // A fraction of more than 0.1 sprinkler counts as one more.
  const std::vector<std::pair<std::wstring, std::wstring>> cases{
      {L" 125", L" 125 (11 оросит.)"}, {L" 121", L" 121 (10 оросит.)"}, {L"123,6", L" 123.6 (11 оросит.)"}};
  for (const auto& [area, shown] : cases) {
    form.Text1[2] = area;
    host.answer_message(MsgResult::No);  // "Выполнить расчет?": given up
    run();
    EXPECT_EQ(form.Text1[2], shown);
  }
  EXPECT_EQ(records, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(has("spr.in"));
}

TEST_F(GridRunTest, ComputesTheFreeHeadFromTheIntensity) {
  // An empty head, and a negative one, which the solvers would otherwise get.
  for (const wchar_t* head : {L"", L"-5"}) {
    form.Text1[0] = head;
    host.answer_message(MsgResult::Yes);  // "Выполнить расчет?"
    host.answer_message(MsgResult::OK);   // nothing computed
    run();
    // (0.08 * 3 * 4 / 0.47)^2 = 4.1720..., cut to two decimals.
    EXPECT_EQ(form.Text1[0], L" 4.17");
    EXPECT_EQ(state.GridFieldValues[0][1], L" 4.17");
    EXPECT_EQ(read_lines(folder / "spr.in").at(6), L" 4.17");
  }
}

TEST_F(GridRunTest, AsksForMissingHeaderDataAndIntensity) {
  form.Text8 = L"";
  form.Text3 = L" ";
  form.Text1[0] = L"";
  form.Text1[18] = L"";
  host.answer_input(L"");           // contract: empty
  host.answer_message(MsgResult::No);  // "Отказ от выполнения расчета?"
  host.answer_input(L"Д-15");
  host.answer_input(L"Цех");
  host.answer_input(L"0,1");        // intensity
  host.answer_message(MsgResult::No);  // "Выполнить расчет?"
  run();
  ASSERT_EQ(host.inputs().size(), 4u);
  EXPECT_EQ(host.inputs()[0].request.prompt, L"Номер договора");
  EXPECT_EQ(host.inputs()[0].request.title, L"Договор");
  EXPECT_EQ(host.inputs()[2].request.prompt, L"Наименование объекта");
  EXPECT_EQ(host.inputs()[3].request.prompt, L"Пожалуйста, введите интенсивность орошения.");
  EXPECT_EQ(host.inputs()[3].request.left, 6000);
  EXPECT_EQ(host.inputs()[3].request.top, 3000);
  EXPECT_EQ(host.messages()[0].request.text, L"Отказ от выполнения расчета?");
  EXPECT_EQ(form.Text8, L"  Д-15");
  EXPECT_EQ(form.Text3, L"Цех");
  EXPECT_EQ(form.Text1[18], L" 0.1");
  EXPECT_EQ(state.LastContractAnswer, L"Д-15");
}

struct Refusal {
  const char* name;
  std::vector<std::pair<int, std::wstring>> fields;
  std::wstring feed;
  std::wstring valve;
  std::vector<MsgResult> answers;
  std::wstring text;
  ui::MsgIcon icon;
  std::vector<std::wstring> inputs = {};
};

// A number longer than any double holds.
const std::wstring kHuge = L" " + std::wstring(400, L'9');

TEST_F(GridRunTest, RefusesImplausibleInputBeforeWritingAnything) {
  const std::wstring back = L" Нажмите ОК для возврата к началу расчета.";
  const auto stop = ui::MsgIcon::Critical;
  const std::vector<Refusal> cases{
      {"positive feed offset without parallel pipe", {{16, L" 2"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Неправильно указано положительное расстояние до места ввода в решетку при отсутствии "
       L"параллельной трубы." + back, stop},
      {"side feed with dead ends and a height", {{5, L" 1"}, {17, L" 0.5"}, {16, L"-1"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Неправильно указано отрицательное расстояние до места ввода в решетку (боковой ввод) при наличии "
       L"оросителей на тупиках и перепада высот между рядками и трубами." + back, stop},
      {"negative height with dead ends", {{6, L" 1"}, {17, L"-0.5"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Программой не предусматривается выполнение расчета при отрицательном перепаде высот между "
       L"рядками и трубами при наличии оросителей на тупиках за основной или дополнительной трубами решетки." + back,
       stop},
      {"dead ends fill the branch line", {{5, L" 3"}, {6, L" 3"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Суммарное количество оросителей на тупиках за основной и дополнительной трубами решетки равно или "
       L"превышает количество оросителей в рядке, что недопустимо." + back, stop},
      {"area of one sprinkler above 12 m2, not continued", {{7, L" 3.5"}, {8, L" 3.5"}}, L"", L"", {MsgResult::No},
       L"Внимание! Защищаемая одним оросителем площадь превышает 12 кв. метров. Нажмите ДА для продолжения расчета "
       L"или НЕТ для возврата к началу.", stop},
      {"negative spacing", {{7, L"-3"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Расстояния между оросителями в рядке и между рядками должны быть больше нуля." + back, stop},
      {"negative K-factor", {{1, L"-0.47"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Коэффициент К-фактор оросителя должен быть больше нуля." + back, stop},
      {"free head that comes out as 0", {{0, L"-5"}, {18, L" 0.0001"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Свободный напор перед оросителем должен быть больше нуля: проверьте интенсивность орошения." +
           back, stop},
      {"one branch line", {{3, L" 1"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Количество рядков в решетке должно быть не меньше 2, количество оросителей в рядке - не меньше 1, "
       L"а всего оросителей в решетке - не больше 250000." + back, stop},
      {"more sprinklers than the solvers hold", {{3, L" 1000"}, {4, L" 1000"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Количество рядков в решетке должно быть не меньше 2, количество оросителей в рядке - не меньше 1, "
       L"а всего оросителей в решетке - не больше 250000." + back, stop},
      {"design area below one sprinkler", {{2, L" 0.5"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Количество оросителей в расчетной площади орошения (0) должно быть не меньше 1 и не больше "
       L"количества оросителей в решетке." + back, stop},
      {"design area beyond the grid", {{2, L" 12000"}}, L"", L"", {MsgResult::OK},
       L"Внимание! Количество оросителей в расчетной площади орошения (1000) должно быть не меньше 1 и не больше "
       L"количества оросителей в решетке." + back, stop},
      {"height written before the diameter", {}, L"10h2d50", L"", {MsgResult::OK},
       L"Внимание! На участке N 1 питающего трубопровода перепад высот (h) указан перед диаметром (d)." + back, stop},
      {"sprinkler so far below its line that no head is left", {{9, L"-6"}, {10, L" 50"}}, L"", L"",
       {MsgResult::Yes, MsgResult::OK},
       L"Внимание! Напор у рядка, приведенный через патрубок оросителя, получается не больше нуля: проверьте "
       L"перепад высот между оросителем и рядком." + back, stop},
      {"branch pipe chosen automatically for a flow no pipe carries", {{0, L" 1000"}, {1, L" 20"}, {9, L" 0.3"}},
       L"", L"", {MsgResult::OK},
       L"Внимание! Среди труб по ГОСТ 10704-91 нет трубы, пропускающей расход 632.46 л/с со скоростью не более 10 "
       L"м/с." + back, stop, {L"а"}},
      {"valve the valve file does not hold", {}, L"", L"Клапан неизвестный", {MsgResult::OK},
       L"Данные клапана, указанного в окне \"Клапан\", отсутствуют в базе данных программы!", ui::MsgIcon::None},

      // Feed sections read as some other pipeline, or one that no building has.
      {"feed length the reader cannot take whole", {}, L"1e9d50", L"", {MsgResult::OK},
       L"Внимание! Длина участка N 1 питающего трубопровода (\"1e9\") не читается как число." + back, stop},
      {"feed diameter the reader cannot take whole", {}, L"10,5d50x", L"", {MsgResult::OK},
       L"Внимание! Диаметр трубы участка N 2 питающего трубопровода (\"50x\") не читается как число." + back,
       stop},
      {"feed height the reader cannot take whole", {}, L"10d50h1e3", L"", {MsgResult::OK},
       L"Внимание! Перепад высот на участке N 1 питающего трубопровода (\"1e3\") не читается как число." + back,
       stop},
      {"feed section of 1e20 m", {}, L"99999999999999999999d50", L"", {MsgResult::OK},
       L"Внимание! Длина участка N 1 питающего трубопровода должна быть не меньше 0 и не больше 10000 м." + back,
       stop},
      {"negative length of a second section", {}, L"10d50,-5d50", L"", {MsgResult::OK},
       L"Внимание! Длина участка N 2 питающего трубопровода должна быть не меньше 0 и не больше 10000 м." + back,
       stop},
      {"feed height of 1.5 km", {}, L"10d50h-1500", L"", {MsgResult::OK},
       L"Внимание! Перепад высот на участке N 1 питающего трубопровода должен быть не больше 1000 м по абсолютной "
       L"величине." + back, stop},
      // Numbers longer than any double holds: too large, the field named.
      {"spacing of 400 digits", {{7, kHuge}}, L"", L"", {MsgResult::OK},
       L"Внимание! Значение \"Расстояние между оросителями в рядке, м\" слишком велико." + back, stop},
      {"design area of 400 digits", {{2, kHuge}}, L"", L"", {MsgResult::OK},
       L"Внимание! Значение \"Расчетная площадь орошения, м2\" слишком велико." + back, stop},
      {"free head of 400 digits", {{0, kHuge}}, L"", L"", {MsgResult::OK},
       L"Внимание! Значение \"Мин. своб. напор перед оросителем, м в.cт\" слишком велико." + back, stop},
      {"intensity of 400 digits", {{0, L""}, {18, kHuge}}, L"", L"", {MsgResult::OK},
       L"Внимание! Значение \"Интенсивность орошения, л/с.м2\" слишком велико." + back, stop},
      {"valve coefficient of 400 digits", {}, L"", kHuge, {MsgResult::OK},
       L"Внимание! Значение \"Клапан\" слишком велико." + back, stop},
  };
  const auto base = form.Text1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form.Text1 = base;
    for (const auto& [i, text] : c.fields) form.Text1[i] = text;
    form.Text4 = c.feed.empty() ? L"10d50" : c.feed;
    form.Combo1_1 = c.valve.empty() ? L"Узел управления спринклерный водозаполненный" : c.valve;
    state = {};
    host.clear_records();
    for (auto a : c.answers) host.answer_message(a);
    for (const auto& i : c.inputs) host.answer_input(i);
    run();
    ASSERT_FALSE(host.messages().empty());
    const auto& m = host.messages().back().request;
    EXPECT_EQ(m.text, c.text);
    EXPECT_EQ(m.title, L"Предупреждение");
    EXPECT_EQ(m.icon, c.icon);
    EXPECT_FALSE(has("spr.in"));
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(state.EarlierRunFlag, 1);
    EXPECT_EQ(state.SolverChoice, 0);
    EXPECT_TRUE(host.script_done());
  }
}

TEST_F(GridRunTest, ChecksPipeDiametersAgainstTheTables) {
  second_table = pipe_table({{25, 33.5, 2.8, 3.65}, {32, 42.3, 2.8, 16.5}, {40, 48, 3.0, 34.5}});
  form.Combo2 = L"ГОСТ 3262-75";
  form.Text1[12] = L" 45";    // not a welded pipe: corrected to a pipe of the second standard
  form.Text1[9] = L" 0.3";    // the sprinkler stands on a branch pipe...
  form.Text1[10] = L"";       // ...whose diameter is chosen automatically
  host.answer_input(L"a");
  host.answer_input(L"32*");
  host.answer_message(MsgResult::No);  // "Выполнить расчет?"
  run();
  ASSERT_EQ(host.inputs().size(), 2u);
  EXPECT_EQ(host.inputs()[0].request.prompt,
            L"Пожалуйста, введите: Условный диаметр патрубка оросителя, мм, или любую БУКВУ для автоматического "
            L"расчета диаметра патрубка.");
  EXPECT_EQ(host.inputs()[0].request.title, L"Ввод исх. данных");
  EXPECT_EQ(host.inputs()[1].request.prompt,
            L"Заданный диаметр трубы  45 мм  не по ГОСТ 10704-91. Укажите правильный диаметр.");
  EXPECT_EQ(host.inputs()[1].request.title, L"Предупреждение");
  // One sprinkler's flow 0.47·√5 needs 22.3 mm at 1 m per m: the 25 mm pipe.
  EXPECT_EQ(form.Text1[10], L" 25");
  EXPECT_EQ(form.Text1[12], L" 32*");
  EXPECT_EQ(state.GridFieldValues[12][1], L"32*");
}

TEST_F(GridRunTest, SecondStandardDiameterWithoutSecondStandardEndsTheRunShort) {
  form.Text1[13] = L" 57*";
  host.answer_message(MsgResult::Cancel);
  run();
  const auto& m = host.messages().at(0).request;
  EXPECT_EQ(m.text, L"Второй ГОСТ на трубы не указан.\r\nУкажите второй ГОСТ в окне Трубы*");
  EXPECT_EQ(m.title, L"Не указан второй ГОСТ на трубы");
  EXPECT_EQ(m.buttons, ui::MsgButtons::CancelTryContinue);
  EXPECT_EQ(state.EarlierRunFlag, 0);  // the short exit
  EXPECT_FALSE(has("spr.in"));
}

TEST_F(GridRunTest, AsksForARequiredFieldAndGivesUpOnAnEmptyAnswer) {
  form.Text1[7] = L" нет";  // a required field given as absent is asked for
  host.answer_input(L"");
  host.answer_message(MsgResult::Yes);  // "Отказ от пуска?"
  run();
  EXPECT_EQ(host.inputs().at(0).request.prompt, L"Пожалуйста, введите: Расстояние между оросителями в рядке, м");
  EXPECT_EQ(host.messages().at(0).request.text, L"Отказ от пуска?");
  EXPECT_EQ(host.messages().at(0).request.title, L"Отказ");
  EXPECT_EQ(records, std::vector<bool>{true});
  EXPECT_EQ(state.EarlierRunFlag, 1);
  EXPECT_FALSE(has("spr.in"));
}

TEST_F(GridRunTest, BuildsTheFeedPipelineSectionBySection) {
  form.Text4 = L"";
  for (const wchar_t* a : {L"10", L"50", L"-2", L"12,5", L"*57", L"0", L"конец"}) host.answer_input(a);
  host.answer_message(MsgResult::No);  // "Выполнить расчет?"
  run();
  EXPECT_EQ(form.Text4, L"10d50h-2,12.5");
  const auto& in = host.inputs();
  ASSERT_EQ(in.size(), 7u);
  EXPECT_EQ(in[0].request.prompt,
            L"Укажите длину участка N 1 питающего трубопровода или введите любую БУКВУ, если такого участка нет.");
  EXPECT_EQ(in[1].request.prompt,
            L"Укажите диаметр трубы участка N 1 питающего трубопровода или введите любую БУКВУ для автоматического "
            L"расчета диаметра.");
  EXPECT_EQ(in[5].request.prompt,
            L"Укажите перепад высот на участке N 2 питающего трубопровода или введите любую БУКВУ, если перепад "
            L"отсутствует.");
  EXPECT_EQ(in[0].request.title, L"Питающий трубопровод");
  EXPECT_EQ(host.messages().back().request.text, L"Выполнить расчет?");
  EXPECT_EQ(host.messages().back().request.title, L"Запрос");

  // Cancel, then giving up, empties the feed pipeline.
  form.Text4 = L"";
  host.cancel_input();
  host.answer_message(MsgResult::Yes);
  run();
  EXPECT_EQ(form.Text4, L"");
  EXPECT_EQ(records, (std::vector<bool>{true, true}));
}

// The stored record of the form as it stands.
std::vector<std::wstring> record_of(const GridFormTexts& f) {
  std::vector<std::wstring> lines{f.Text2, f.Text3};
  for (const auto& t : f.Text1) lines.push_back(ltrim(t));
  lines.insert(lines.end(), {f.Combo1_0, f.Combo1_1, L"", f.Text4, L" 20.5", L" 5.13", L" 0", L"", L"", L"", L""});
  return lines;
}

TEST_F(GridRunTest, UnchangedInputAsksBeforeCalculatingAgain) {
  state.GridSolutionValid = 1;
  write_lines(folder / "rezult2.txt", record_of(form));
  host.answer_message(MsgResult::Cancel);
  run();
  const auto& m = host.messages().at(0).request;
  EXPECT_EQ(m.text,
            L"Исходные данные не изменены. Действительны результаты предыдущего расчета. Нажмите кнопку Cancel для "
            L"отказа от расчета или кнопку ОК для выполнения расчета.");
  EXPECT_EQ(m.title, L"Сообщение");
  EXPECT_EQ(m.buttons, ui::MsgButtons::OKCancel);
  EXPECT_EQ(m.icon, ui::MsgIcon::Question);
  EXPECT_EQ(state.EarlierRunFlag, 1);
  EXPECT_FALSE(has("spr.in"));
}

TEST_F(GridRunTest, AChangedValveKeepsTheGridSolution) {
  state.GridSolutionValid = 1;
  reuse_solution();
  state.TotalHead = 20.5;
  state.TotalFlow = 5.13;
  auto record = record_of(form);
  record[22] = L"0.002";  // the valve was a typed coefficient
  write_lines(folder / "rezult2.txt", record);
  host.answer_message(MsgResult::Yes);  // "Выполнить расчет?"
  run();
  EXPECT_TRUE(started.empty());
  EXPECT_FALSE(has("spr.in"));
  EXPECT_EQ(form.Text5[0], L" 5.13");
  EXPECT_EQ(state.ResultsValidFlag, 1);
}

}  // namespace
}  // namespace dorv::testing
