// The report rezres.txt of a completed run: the whole file byte for byte for
// a grid of each solver's spr.out layout, the pieces whose layout the report's
// readers rely on, and a spr.out that is gone or cut short.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <map>
#include <set>

#include "gridcalc/fixture.h"
#include "gridcalc/golden_cases.h"
#include "gridform/gridreport.h"
#include "gridform/scheme.h"
#include "text/strings.h"

namespace dorv::testing {
namespace {

using ui::MsgResult;
namespace fs = std::filesystem;

const fs::path kData = fs::path(DORV_REPORT_DATA_DIR);

// The first n lines of a file, each with its CR LF.
std::string first_lines(const std::string& bytes, int n) {
  std::size_t end = 0;
  for (int k = 0; k < n && end != std::string::npos; ++k) end = bytes.find("\r\n", end) + 2;
  return bytes.substr(0, end);
}

// The stored spr.out is what the solver left for the case's input (the
// solvers were run once on it); the golden report was checked by hand:
//
// ring (position scan, fire square shifted 2 to the right, from line 1):
// - EffectiveK = Int(80/190·100)/100 = 0.42; flows 0.42·√5.1 = 0.9485 -> 0.95,
//   0.42·√5 = 0.9391 -> 0.94, 0.42·√5.31 = 0.9678 -> 0.97, 0.42·√6.34 = 1.0575 -> 1.06.
// - Feed pipeline with Q = 3.91 from 9.63 m: section 1 (20 m, DN 50 chosen,
//   K_T 110) + 20·3.91²/110 = 2.780 -> 12.41; section 2 (10 m DN 50) + 1.390
//   -> 13.80; section 3 (30 m DN 65, K_T 572, 2 m down) + 0.802 − 2 -> 12.60.
// - Pipes: branch lines 3·(4·3) = 36 m DN 25; ring (4·3) = 12 m DN 32; each
//   main 3·(3 − 0.5) = 7.5 m DN 40, 15 m; feed DN 50 20 + 10 = 30 m, DN 65 30 m.
//
// dead_end (grid relaxation, from line 1, shifted 2):
// - K 0.47: 0.47·√12.38 = 1.6537 -> 1.65, √10.02 -> 1.49, √10 -> 1.49,
//   √11.54 = 1.5966 -> 1.6, √17.87 = 1.9868 -> 1.99.
// - Feed with Q = 8.21 from 24.33 m: 15 m DN 65 (K_T 572), 3 m up: + 1.768 + 3
//   -> 29.10; 5 m DN 80* (K_T 1262) + 0.267 -> 29.36.
// - Pipes: branch lines 4·((5 − 0.5)·3 + 2·1) = 62 m DN 25; mains 4·(4 − 0.5)
//   = 14 m each (DN 50 and DN 40); the parallel pipe (5 − 1)·3 = 12 m DN 50*;
//   feed 15 m DN 65 and 5 m DN 80*.
TEST_F(GridReportTest, WritesTheReportOfBothLayoutsByteForByte) {
  for (const auto& c : golden_cases()) {
    SCOPED_TRACE(c.name);
    ProgramFolder f;
    f.install(fs::path(DORV_DATA_DIR) / "klap.inf", "klap.inf");
    state = {};
    set_case(c);
    f.put("rezres.txt", "an earlier report");
    hooks.start_command_file = [&](const std::wstring& name) {
      EXPECT_EQ(name, c.command);
      f.install(kData / c.name / "spr.out", "spr.out");
      fs::remove(f / "prom.in");
      return true;
    };
    host.clear_records();
    host.answer_message(MsgResult::Yes);
    RunGridCalculation(form, state, hooks, f.dir());
    EXPECT_EQ(message_texts(), std::vector<std::wstring>{L"Выполнить расчет?"});
    EXPECT_EQ(state.ResultsValidFlag, 1);
    EXPECT_EQ(f.get("rezres.txt"), read_bytes(kData / c.name / "rezres.txt"));
  }
}

TEST(GridReportLines, ObjectLineWrapsAfterTheLastBlankBeforeColumn70) {
  const std::wstring head = L"          Объект: ";  // 18 characters
  struct Case {
    const char* name;
    std::wstring object;
    std::vector<std::wstring> lines;
  };
  const std::wstring word50(50, L'ж'), word60(60, L'ж');
  const std::vector<Case> cases{
      {"70 characters on one line", std::wstring(47, L'а') + L" " + std::wstring(4, L'б'),
       {head + std::wstring(47, L'а') + L" " + std::wstring(4, L'б')}},
      {"71 characters wrapped", std::wstring(47, L'а') + L" " + std::wstring(5, L'б'),
       {head + std::wstring(47, L'а') + L" ", std::wstring(19, L' ') + std::wstring(5, L'б')}},
      {"a continuation of exactly 70 wraps again", std::wstring(40, L'а') + L" " + std::wstring(49, L'б') + L" в",
       {head + std::wstring(40, L'а') + L" ", std::wstring(19, L' ') + std::wstring(49, L'б') + L" ",
        std::wstring(19, L' ') + L"в"}},
      // A word longer than a continuation line is cut where the line ends.
      {"a word of 60 characters", L"Склад " + word60,
       {head + L"Склад ", std::wstring(19, L' ') + word50, std::wstring(19, L' ') + std::wstring(10, L'ж')}},
      {"a word of 120 characters", word60 + word60,
       {head, std::wstring(19, L' ') + word50, std::wstring(19, L' ') + word50,
        std::wstring(19, L' ') + std::wstring(20, L'ж')}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(wrap_object_line(head + c.object), c.lines);
  }
}

TEST(GridReportLines, ValueLinesEndInColumn60) {
  EXPECT_EQ(report_value_line(L"Количество вскрывшихся оросителей", L"4"),
            L"          Количество вскрывшихся оросителей                4");
  EXPECT_EQ(report_value_line(L"Расст. от осн. трубы до места ввода в реш., м", L"нет"),
            L"          Расст. от осн. трубы до места ввода в реш., м  нет");
  // Caption and value longer than the line: one blank, the value last.
  EXPECT_EQ(report_value_line(L"Расст. от осн. трубы до места ввода в реш., м", L"12.3456"),
            L"          Расст. от осн. трубы до места ввода в реш., м 12.3456");
}

TEST(GridReportLines, FeedTableColumnsAndPipeTotals) {
  FeedSectionTable feed;
  // Lengths 0.5 and 0 (a section without pipe), a head of five digits, the
  // tenth section, a height between 0 and 1.
  const auto section = [](int number, double end, double start, double flow, double length, double height,
                          const wchar_t* dn) {
    FeedSection s;
    s.number = number, s.head_end = end, s.head_start = start, s.flow = flow, s.length = length, s.height = height;
    s.diameter = dn;
    return s;
  };
  feed.sections = {section(9, 9.6, 9.5, 3.91, 0.5, 0.25, L"25"), section(10, 12345.67, 9.6, 3.91, 0, 0, L"25"),
                   section(11, 13.8, 12.41, 0, 10, -2, L"50*")};
  ReportLines out;
  write_feed_table(out, feed);
  ASSERT_EQ(out.size(), 7u + 3u + 1u);
  // Whole parts end in columns 18, 28, 37, 46, 56 and 67, one earlier when
  // rounding adds a digit (9.6) or the text is zero-led (0.5); a head too
  // wide for its column follows the number before it after one blank.
  EXPECT_EQ(out[7], L"            9   9.6       9.5       3.91    0.5       0.25       25");
  EXPECT_EQ(out[8], L"           10 12345.67    9.6       3.91     0        0.25       25");
  EXPECT_EQ(out[9], L"           10   13.8      12.41     0       10        -2         50*");

  GridFormTexts form;
  for (auto& t : form.Text1) t = L" нет";
  GridFormState state;
  state.MainPipeTable = welded_pipes();
  state.MainStandardPhrase = L" по ГОСТ 10704-91";
  state.FeedSectionResults = feed;
  out.clear();
  write_pipe_quantities(out, form, state);
  EXPECT_EQ(out, (ReportLines{L"", L"$               Суммарное количество труб по ГОСТ 10704-91:",
                              L"                  Усл. диаметр, мм            Кол, м",
                              L"                        25                      0.5"}));
}

TEST(GridReportLines, ValuesWiderThanTheirColumnsRunOnInsteadOfFailing) {
  // 1e20 m of pipe and heads of its size: wider than the line's start.
  FeedSection s;
  s.number = 1, s.head_end = 1e22, s.head_start = -1e21, s.flow = 1e18, s.length = 1e20, s.height = -1e19;
  s.diameter = L"50";
  FeedSectionTable feed;
  feed.sections = {s};
  ReportLines out;
  ASSERT_NO_THROW(write_feed_table(out, feed));
  EXPECT_EQ(out[7], L"            1 10000000000000000000000 -1000000000000000000000 1000000000000000000 "
                    L"100000000000000000000 -10000000000000000000 50");

  GridFormTexts form;
  for (auto& t : form.Text1) t = L" нет";
  GridFormState state;
  state.MainPipeTable = welded_pipes();
  state.FeedSectionResults = feed;
  out.clear();
  ASSERT_NO_THROW(write_pipe_quantities(out, form, state));
  EXPECT_EQ(out.back(), L"                        50   100000000000000000000");
}

TEST(GridReportLines, PipeTotalsCountTheSprinklersDropByItsLength) {
  // 2 branch lines of 2 sprinklers 3 m apart on 25 mm lines, the sprinklers
  // 0.5 m above or below their line on 25 mm branch pipes, 40 mm mains 3 m
  // long each: 12 m of line and 4 x 0.5 m of branch pipe either way.
  GridFormTexts form;
  for (auto& t : form.Text1) t = L" нет";
  const std::pair<int, const wchar_t*> fields[] = {{3, L" 2"},   {4, L" 2"},   {7, L" 3"},   {8, L" 3"},
                                                   {10, L" 25"}, {11, L" 25"}, {12, L" 40"}, {13, L" 40"}};
  for (const auto& [i, text] : fields) form.Text1[i] = text;
  GridFormState state;
  state.MainPipeTable = welded_pipes();
  state.MainStandardPhrase = L" по ГОСТ 10704-91";
  for (const wchar_t* drop : {L" 0.5", L"-0.5"}) {
    SCOPED_TRACE(to_utf8(drop));
    form.Text1[9] = drop;
    ReportLines out;
    write_pipe_quantities(out, form, state);
    EXPECT_EQ(out, (ReportLines{L"", L"$               Суммарное количество труб по ГОСТ 10704-91:",
                                L"                  Усл. диаметр, мм            Кол, м",
                                L"                        25                      14",
                                L"                        40                       6"}));
  }
}

TEST_F(GridReportTest, AMissingOrShortResultFileKeepsTheEarlierReport) {
  const std::string full = read_bytes(kData / "ring" / "spr.out");
  const std::vector<std::pair<const char*, std::optional<std::string>>> cases{
      {"missing", std::nullopt},
      {"empty", ""},
      {"without the shift line", first_lines(full, 3)},
      {"cut in the totals", first_lines(full, 8)},
      {"without the end table", first_lines(full, 14)},
  };
  for (const auto& [name, spr_out] : cases) {
    SCOPED_TRACE(name);
    ProgramFolder f;
    if (spr_out) f.put("spr.out", *spr_out);
    f.put("rezres.txt", "an earlier report");
    state = {};
    state.GridSolutionValid = 1;
    host.clear_records();
    host.answer_message(MsgResult::OK);
    GridRun r{form, state, hooks, f.dir()};
    EXPECT_EQ(BuildGridReport(r), StageEnd::CommonExit);
    EXPECT_EQ(f.get("rezres.txt"), "an earlier report");
    EXPECT_EQ(state.GridSolutionValid, 0);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].request.text,
              L"Файл результатов расчета spr.out отсутствует или неполон. Отчет о расчете не записан, прежний "
              L"отчет сохранен. Нажмите ОК для возврата к началу расчета.");
  }
}

class Canvas : public ui::Surface {
 protected:
  int area_width() const override { return 5400; }
  int area_height() const override { return 5970; }
};

// The sprinklers the scheme marks, as (branch line, sprinkler) pairs.
std::set<std::pair<int, int>> marked(const grid::GridScheme& s) {
  std::set<std::pair<int, int>> m;
  for (int i = 1; i <= s.SchemeRows; ++i)
    for (int j = 1; j <= s.SchemeSprinklersPerRow; ++j)
      if (s.point(i, j, 4) == 1) m.insert({i, j});
  return m;
}

TEST_F(GridReportTest, TheSchemeMarksTheFireSquareOfTheResultFile) {
  // The heads that are not 0 in the stored spr.out files: the position scan
  // shifted the square 2 to the right from line 1 (heads 5.10 5.00 5.31 and
  // 0 6.34 0), the relaxation 2 to the right (12.38 10.02 10.00 11.54 and
  // 0 17.87 0 0).
  const std::map<std::string, std::set<std::pair<int, int>>> expected{
      {"ring", {{1, 2}, {1, 3}, {1, 4}, {2, 3}}},
      {"dead_end", {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 3}}},
  };
  for (const auto& c : golden_cases()) {
    SCOPED_TRACE(c.name);
    const auto report = read_lines(kData / c.name / "rezres.txt");
    grid::GridScheme s;
    Canvas pic;
    ASSERT_TRUE(DrawGridScheme(s, c.fields, c.feed, pic, 5400, 5970));
    EXPECT_EQ(mark_operating_sprinklers(s, report), MarkResult::Marked);
    EXPECT_EQ(marked(s), expected.at(c.name));
    draw_operating_sprinklers(s, pic);
    std::size_t red = 0;
    for (const auto& op : pic.ops())
      if (op.kind == ui::DrawOp::Kind::Circle && op.filled && op.fill_color == kOperatingColor) {
        ++red;
        EXPECT_NEAR(op.radius, 60 * s.SchemeScale, 1e-9);
      }
    EXPECT_EQ(red, expected.at(c.name).size());

    // A report cut before the table's end marks the rows it still holds; one
    // without the table marks nothing.
    const auto last_row = std::find_if(report.begin(), report.end(), [](const auto& l) { return starts_with(l, L"#"); });
    const auto unmarked = [&s] {
      grid::GridScheme u = s;
      for (int i = 1; i <= u.SchemeRows; ++i)
        for (int j = 1; j <= u.SchemeSprinklersPerRow; ++j) u.point(i, j, 4) = 0;
      return u;
    };
    grid::GridScheme cut = unmarked();
    EXPECT_EQ(mark_operating_sprinklers(cut, std::vector<std::wstring>(report.begin(), last_row - 2)),
              MarkResult::CutShort);
    std::set<std::pair<int, int>> first_line;
    for (const auto& m : expected.at(c.name))
      if (m.first == 1) first_line.insert(m);
    EXPECT_EQ(marked(cut), first_line);
    grid::GridScheme none = unmarked();
    EXPECT_EQ(mark_operating_sprinklers(none, std::vector<std::wstring>(report.begin(), report.begin() + 20)),
              MarkResult::NoTable);
    EXPECT_TRUE(marked(none).empty());
  }
}

TEST_F(GridReportTest, TwoDigitBranchLinesAreMarkedInTheirOwnColumns) {
  // The square from line 9 of a position scan: line 10's head cells stand one
  // character further right than line 9's.
  GridResultTables t;
  t.shift = 1;
  t.first_row = 9;
  t.grid_lines = {L"  1.00     2.00     0.00   ", L"  0.00     3.00     4.00   ", L""};
  ReportLines out;
  write_sprinkler_table(out, t, 0.47);
  EXPECT_EQ(out[7], L"                    9  Напор|       1       2        ");
  EXPECT_EQ(out[10], L"                    10  Напор|               3       4");
  auto fields = golden_cases()[0].fields;
  fields[3] = L" 10";
  fields[4] = L" 3";
  grid::GridScheme s;
  Canvas pic;
  ASSERT_TRUE(DrawGridScheme(s, fields, L"", pic, 5400, 5970));
  EXPECT_EQ(mark_operating_sprinklers(s, out), MarkResult::Marked);
  EXPECT_EQ(marked(s), (std::set<std::pair<int, int>>{{9, 1}, {9, 2}, {10, 2}, {10, 3}}));
}

}  // namespace
}  // namespace dorv::testing
