// The run from the solver on: the wait for the command file, spr.out in both
// layouts with the velocity checks, the feed pipeline, the valve of the
// control unit and the four results.
#include <gtest/gtest.h>

#include "gridcalc/fixture.h"
#include "text/number.h"

namespace dorv::testing {
namespace {

using ui::MsgResult;

TEST_F(GridRunTest, CompletedRunShowsTheFourResults) {
  // spr.out: head 20.5 m and flow 5.125 l/s (5.13 when rounded).
  solver_output = result_file(0, 20.5, 5.125, std::nullopt, {{1, 1.0, 0.5}, {2, 1.5, 1.0}}, std::nullopt);
  host.answer_message(MsgResult::Yes);
  run();
  EXPECT_EQ(started, std::vector<std::wstring>{L"prom1.bat"});
  EXPECT_GE(waits, 1);
  EXPECT_FALSE(has("prom.in"));
  EXPECT_DOUBLE_EQ(state.TotalHead, 20.5);
  EXPECT_DOUBLE_EQ(state.TotalFlow, 5.13);
  // Feed 10 m of DN 50 (K_T 110): 20.5 + 10·5.13²/110 = 22.89 m.
  // Inlet: 5 + 1.2·(20.5 − 5) = 23.6; above the unit: 5 + 1.2·(22.89 − 5) = 26.468, cut;
  // before it: + 0.0053·5.13² of the 50 mm valve = 26.6075, rounded.
  EXPECT_EQ(form.Text5, (std::array<std::wstring, 4>{L" 5.13", L" 23.6", L" 26.46", L" 26.61"}));
  EXPECT_EQ(form.Combo1_1, L"0.0053 (УУСЗ-50)");
  EXPECT_EQ(form.Text4, L"10d50");
  EXPECT_EQ(records, std::vector<bool>{false});
  EXPECT_TRUE(has("rezres.txt"));
  EXPECT_EQ(state.ResultsValidFlag, 1);
  EXPECT_EQ(state.GridSolutionValid, 1);
  EXPECT_EQ(state.EarlierRunFlag, 1);
  EXPECT_EQ(state.SolverChoice, 0);
  EXPECT_TRUE(host.script_done());

  // The next run moves these results to the previous column.
  host.answer_message(MsgResult::Yes);
  run();
  EXPECT_EQ(form.Text6[3], L" 26.61");
}

TEST_F(GridRunTest, ATypedValveCoefficientIsReadWithAPointOrAComma) {
  // The run of CompletedRunShowsTheFourResults: 26.468 m above the unit and
  // 5.13 l/s, so the head before it is 26.468 + ξ·5.13².
  const struct {
    const wchar_t* typed;
    const wchar_t* kept;
    const wchar_t* before_unit;
  } cases[] = {
      {L"0.0025", L"0.0025", L" 26.53"},
      {L"0,0025", L"0.0025", L" 26.53"},
      {L"1,5", L"1.5", L" 65.94"},  // not cut to its whole part
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(to_utf8(c.typed));
    solver_output = result_file(0, 20.5, 5.125, std::nullopt, {{1, 1.0, 0.5}}, std::nullopt);
    state = {};
    state.ValveSelection = L"Узел управления спринклерный водозаполненный";
    form.Combo1_1 = c.typed;
    host.clear_records();
    host.answer_message(MsgResult::Yes);
    run();
    EXPECT_EQ(message_texts(), std::vector<std::wstring>{L"Выполнить расчет?"});
    EXPECT_EQ(form.Text5[3], c.before_unit);
    EXPECT_EQ(form.Combo1_1, c.kept);
    EXPECT_EQ(state.ValveSelection, L"");
    EXPECT_EQ(state.ResultsValidFlag, 1);
  }
}

TEST_F(GridRunTest, ChecksGridVelocitiesInBothLayouts) {
  // Welded 40 mm pipes (inner 40.6 mm) carry at most 12.95 l/s at 10 m/s,
  // the 25 mm branch lines (27.6 mm) 5.98 l/s.
  const std::vector<std::wstring> expected{
      L"Недопустимая скорость движения воды  в кольцующей трубе решетки  -  10.42 м/с\r\n(диаметр 45 мм).\r\n"
      L"Продолжить расчет?",
      L"Недопустимая скорость движения воды в рядке решетки N  1  -  10.02 м/с\r\n(диаметр 25 мм).\r\n"
      L"Продолжить расчет?",
      L"Недопустимая скорость движения воды на участке N  2  основной трубы решетки  -  10.42 м/с\r\n"
      L"(диаметр 40 мм).\r\nПродолжить расчет?",
      L"Недопустимая скорость движения воды  в параллельной трубе решетки  -  10.04 м/с\r\n(диаметр 40 мм).\r\n"
      L"Продолжить расчет?",
  };
  for (int layout : {0, 1}) {
    SCOPED_TRACE(layout);
    folder.put("spr.out",
               to_cp866(result_file(layout, 31.25, 20.125, 13.5, {{1, -1.0, 6.0}, {2, 1.0, 1.0}}, {{13.0, -2.0}})));
    state = {};
    state.SolverChoice = layout;
    state.MainPipeTable = welded_pipes();
    host.clear_records();
    for (int k = 0; k < 4; ++k) host.answer_message(MsgResult::Yes);
    GridRun r{form, state, hooks, folder.dir()};
    r.local.MainRow = {0, 3, 5, 5, 5, 5};
    EXPECT_EQ(ReadGridResult(r), StageEnd::Continue);
    EXPECT_DOUBLE_EQ(state.TotalHead, 31.25);
    EXPECT_DOUBLE_EQ(state.TotalFlow, 20.13);
    EXPECT_EQ(message_texts(), expected);
    EXPECT_EQ(host.messages().at(0).request.title, L"Предупреждение");
    EXPECT_EQ(host.messages().at(0).request.icon, ui::MsgIcon::Critical);
    EXPECT_EQ(host.messages().at(0).request.default_button, 1);
  }
}

TEST_F(GridRunTest, NoToAVelocityWarningLeavesNoResults) {
  solver_output = result_file(0, 20.5, 5.125, std::nullopt, {{1, 7.0, 0.5}}, std::nullopt);
  host.answer_message(MsgResult::Yes);
  host.answer_message(MsgResult::No);
  run();
  EXPECT_EQ(host.messages().size(), 2u);
  // Neither the results nor the grid solution count: closing writes the edited
  // input, and the next run solves the grid again.
  EXPECT_EQ(state.ResultsValidFlag, 0);
  EXPECT_EQ(state.GridSolutionValid, 0);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(form.Text5[0], L"");
  host.answer_message(MsgResult::Yes);
  host.answer_message(MsgResult::No);
  run();
  EXPECT_EQ(started.size(), 2u);
}

TEST_F(GridRunTest, NoToAFeedVelocityWarningKeepsTheNextRunSolving) {
  form.Text4 = L"10d20";
  solver_output = result_file(0, 20.5, 5.125, std::nullopt, {{1, 1.0, 0.5}}, std::nullopt);
  host.answer_message(MsgResult::Yes);
  host.answer_message(MsgResult::No);
  run();
  EXPECT_EQ(host.messages().back().request.text,
            L"Недопустимая скорость движения воды на участке N 1 питающего трубопровода -  14.81 м/с.\r\n"
            L"Продолжить расчет?");
  EXPECT_EQ(state.GridSolutionValid, 0);
  EXPECT_EQ(state.ResultsValidFlag, 0);
}

TEST_F(GridRunTest, EmptyResultFileInterruptsTheRun) {
  host.answer_message(MsgResult::Yes);
  host.answer_message(MsgResult::OK);
  run();
  const auto& m = host.messages().back().request;
  EXPECT_EQ(m.text, L"Работа программы прервана. Нажмите ОК для возврата к началу расчета.");
  EXPECT_EQ(m.title, L"Прерывание расчета");
  EXPECT_EQ(m.icon, ui::MsgIcon::None);
  EXPECT_EQ(state.ResultsValidFlag, 0);
  EXPECT_FALSE(has("rezres.txt"));
  EXPECT_TRUE(records.empty());
}

TEST_F(GridRunTest, ACommandFileThatFailsEndsTheWait) {
  // A command file that cannot be started is named, as the arbitrary form
  // names its own; one that ends and leaves its flag gave no results.
  struct Case {
    bool starts;
    std::wstring text, title;
  };
  const Case cases[] = {
      {false, L"Не удается запустить командный файл prom1.bat. Расчет не выполнен.", L"Остановка расчета из-за ошибки"},
      {true,
       L"Расчет решетки не выполнен: программа расчета завершилась, не выдав результатов. Нажмите ОК для возврата к "
       L"началу расчета.",
       L"Прерывание расчета"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.starts);
    command_file_starts = c.starts;
    solver_removes_flag = false;
    host.clear_records();
    host.answer_message(MsgResult::Yes);
    host.answer_message(MsgResult::OK);
    run();
    EXPECT_EQ(host.messages().back().request.text, c.text);
    EXPECT_EQ(host.messages().back().request.title, c.title);
    EXPECT_FALSE(has("prom.in"));
    EXPECT_EQ(state.EarlierRunFlag, 1);
    EXPECT_EQ(state.ResultsValidFlag, 0);
  }
}

TEST_F(GridRunTest, ComputesTheFeedPipelineSectionBySection) {
  form.Text4 = L"20,10d50,30d65h-2";
  state.GridSolutionValid = 1;  // the grid's solution is reused
  reuse_solution();
  state.TotalHead = 20.5;
  state.TotalFlow = 5.13;
  host.answer_message(MsgResult::Yes);
  run();
  const auto& rows = state.FeedSectionResults.sections;
  ASSERT_EQ(rows.size(), 3u);
  // The first section has no diameter: 5.13 l/s needs 47.4 mm at 0.4 m per m,
  // the 50 mm pipe, which is recorded with it.
  EXPECT_EQ(rows[0].diameter, L"50");
  EXPECT_EQ(rows[0].text, L"20");
  EXPECT_DOUBLE_EQ(rows[0].head_start, 20.5);
  EXPECT_DOUBLE_EQ(rows[0].head_end, 25.28);
  EXPECT_DOUBLE_EQ(rows[1].head_start, 25.28);
  EXPECT_DOUBLE_EQ(rows[1].head_end, 27.68);
  EXPECT_DOUBLE_EQ(rows[2].head_end, 27.06);
  EXPECT_DOUBLE_EQ(rows[2].height, -2);
  EXPECT_DOUBLE_EQ(state.TotalHeightDifference, -2);
  EXPECT_EQ(form.Combo1_1, L"0.0019 (УУСЗ-65)");
  EXPECT_EQ(form.Text4, L"20,10d50,30d65h-2");
}

TEST_F(GridRunTest, RefusesResultsNoBuildingHasAndShowsNone) {
  const std::wstring back = L" Нажмите ОК для возврата к началу расчета.";
  const std::wstring huge(400, L'9');
  // spr.out of the completed run, with one of its numbers replaced.
  const auto damaged = [&](const std::wstring& number, const std::wstring& by) {
    std::wstring t = result_file(0, 20.5, 5.125, std::nullopt, {{1, 1.0, 0.5}}, std::nullopt);
    t.replace(t.find(number), number.size(), by);
    return t;
  };
  struct Case {
    const char* name;
    std::wstring feed, spr_out, text;
  };
  const std::vector<Case> cases{
      {"10 km of 15 mm pipe", L"10000d15", damaged(L"", L""),
       L"Внимание! Напор в начале участка N 1 питающего трубопровода получается больше 10000 м в.ст. по абсолютной "
       L"величине." + back},
      {"a grid head of 1e17 m", L"10d50", damaged(L" 20.50", L"100000000000000000.00"),
       L"Внимание! Напор в начале участка N 1 питающего трубопровода получается больше 10000 м в.ст. по абсолютной "
       L"величине." + back},
      {"a fall of 1000 m", L"10d50h-1000", damaged(L"", L""),
       L"Внимание! Напор у узла управления получается меньше нуля (-973.53 м в.ст.): проверьте перепады высот "
       L"питающего трубопровода." + back},
      {"a total head of 400 digits", L"10d50", damaged(L" 20.50", huge),
       L"Внимание! Значение \"Полный напор в файле результатов spr.out\" слишком велико." + back},
      {"a total flow of 400 digits", L"10d50", damaged(L"  5.125", huge),
       L"Внимание! Значение \"Полный расход в файле результатов spr.out\" слишком велико." + back},
      {"a sprinkler head of 400 digits", L"10d50", damaged(L"  5.00", L" " + huge),
       L"Внимание! Значение \"Напор в оросителе в файле результатов spr.out\" слишком велико." + back},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form.Text4 = c.feed;
    form.Text5 = {};
    state = {};
    records.clear();
    host.clear_records();
    solver_output = c.spr_out;
    host.answer_message(MsgResult::Yes);  // "Выполнить расчет?"
    host.answer_message(MsgResult::OK);
    run();
    ASSERT_FALSE(host.messages().empty());
    EXPECT_EQ(host.messages().back().request.text, c.text);
    EXPECT_EQ(host.messages().back().request.title, L"Предупреждение");
    EXPECT_EQ(form.Text5, (std::array<std::wstring, 4>{}));
    EXPECT_TRUE(records.empty());
    EXPECT_FALSE(has("rezres.txt"));
    EXPECT_EQ(state.ResultsValidFlag, 0);
    EXPECT_TRUE(host.script_done());
  }
}

TEST_F(GridRunTest, InletHeadOnADecimalBoundaryIsNotCutBelowIt) {
  // 1.5 + 5.05 + 1.2·(28.65 − 5.05 − 1.5) is 33.07 exactly; the arithmetic
  // leaves 33.069999999999993, which a plain cut showed as 33.06.
  form.Text1[0] = L" 5.05";
  form.Text1[17] = L" 1.5";
  solver_output = result_file(0, 28.65, 5.125, std::nullopt, {{1, 1.0, 0.5}}, std::nullopt);
  host.answer_message(MsgResult::Yes);
  run();
  EXPECT_EQ(form.Text5[1], L" 33.07");
}

}  // namespace
}  // namespace dorv::testing
