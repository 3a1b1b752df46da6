// The pieces of the English grid report whose layout or values are easy to
// get wrong: decimal points in their columns, values that keep their sign,
// sizes the inch table lacks, and the project line.
#include <gtest/gtest.h>

#include <filesystem>

#include "gridprint/english_grid_report.h"
#include "support/program_folder.h"
#include "text/codepage.h"
#include "text/number.h"
#include "text/strings.h"

namespace dorv::gridprint {
namespace {

using testing::ProgramFolder;

constexpr ReportUnits US = ReportUnits::US;
constexpr ReportUnits WE = ReportUnits::WestEuropean;

// Column (from 1) of the n-th "." in a line, 0 when there is none.
std::size_t point_column(const std::wstring& line, int n) {
  std::size_t at = std::wstring::npos;
  for (int k = 0; k < n; ++k) {
    at = line.find(L'.', at + 1);
    if (at == std::wstring::npos) return 0;
  }
  return at + 1;
}

// The n-th value of a row (values separated by blanks, after the lead).
std::vector<std::size_t> points_of(const std::wstring& row) {
  std::vector<std::size_t> points;
  for (int n = 1; point_column(row, n) != 0; ++n) points.push_back(point_column(row, n));
  return points;
}
using Points = std::vector<std::size_t>;

TEST(EnglishNodeRows, PointsStandInTheirColumnsInBothLayouts) {
  // Branch line 3: heads 12.34 and 11.50 m, flows 1.234 and 0.987 L/s, as
  // gridio and gridsolve write the line.
  const std::wstring four = from_utf8(cformat("%2d   %8.2lf   %8.3lf   %8.3lf   %8.2lf", 3, 12.34, 1.234, 0.987, 11.5));
  const std::wstring six = from_utf8(
      cformat("%2d   %8.2lf%8.2lf  %8.3lf   %8.3lf   %8.2lf%8.2lf", 3, 12.34, 18.13, 1.234, 0.987, 11.5, 16.27));
  for (int dead_end_flag : {0, 1}) {
    Lines metric, us;
    WriteNodeRows(metric, {dead_end_flag == 1 ? six : four}, dead_end_flag, WE);
    WriteNodeRows(us, {dead_end_flag == 1 ? six : four}, dead_end_flag, US);
    ASSERT_EQ(metric.size(), 1u);
    // 15 blanks, the line's first four characters, 6 blanks before each value.
    EXPECT_EQ(metric[0], L"                3        1.23      74.04      59.22      1.15");
    EXPECT_EQ(us[0], L"                3       17.91      19.56      15.64     16.69");
    EXPECT_EQ(points_of(metric[0]), (Points{27, 38, 49, 59}));
    EXPECT_EQ(points_of(us[0]), (Points{27, 38, 49, 59}));
  }
}

TEST(EnglishNodeRows, RingAndParallelPipeRowsByTheirPlace) {
  // gridio: the ring line before the branch lines, the parallel line after;
  // a file's last line end leaves no pipe row of zeros.
  const std::vector<std::wstring> four{L"маг      7.24      0.975     -0.975       6.42",
                                       L" 1       7.29      1.293      1.563       6.37",
                                       L"маг     10.00      1.000      0.500       5.00", L""};
  Lines rows;
  WriteNodeRows(rows, four, 0, WE);
  const Lines want{
      L"             Closer ",
      L"             main         .72      58.5      -58.5        .64",
      L"",
      L"                1        0.73      77.58      93.78      0.64",
      L"^",
      L"             Parall.",
      L"             main        1.0       60.0       30.0        .5",
  };
  EXPECT_EQ(rows, want);
  for (std::size_t i : {1u, 3u, 6u}) EXPECT_EQ(points_of(rows[i]), (Points{27, 38, 49, 59})) << i;

  // gridsolve: the ring line has no second flow; its last head stands where
  // the fourth value of the other rows does.
  const std::vector<std::wstring> six{
      L"маг     23.91              5.313                 23.71",
      from_utf8(cformat("%2d   %8.2lf%8.2lf  %8.3lf   %8.3lf   %8.2lf%8.2lf", 1, 21.3, 18.13, 3.3, 2.925, 18.75, 16.27)),
      L"маг     23.91              5.313      2.898     23.71"};
  rows.clear();
  WriteNodeRows(rows, six, 1, US);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0], L"             Closer ");
  EXPECT_EQ(rows[1], L"             mains      34.7       84.2                 34.41");
  EXPECT_EQ(points_of(rows[1]), (Points{27, 38, 59}));
  EXPECT_EQ(points_of(rows[3]), (Points{27, 38, 49, 59}));
  EXPECT_EQ(rows[6], L"             mains      34.7       84.2       45.93     34.41");
  EXPECT_EQ(points_of(rows[6]), (Points{27, 38, 49, 59}));
}

TEST(EnglishSectionRows, PointsInTheirColumnsAndSizesInBothUnits) {
  grid::FeedSectionTable feed;
  for (int n = 1; n <= 10; ++n) {
    grid::FeedSection s;
    s.number = n;
    s.head_end = 12.34;
    s.head_start = 11.5;
    s.flow = 1;
    s.length = n == 1 ? 0.25 : 10;
    s.height = n == 1 ? -0.4 : n == 2 ? 0.4 : -1.5;
    s.diameter = n == 1 ? L"50" : n == 2 ? L"50*" : L"70";
    feed.sections.push_back(s);
  }
  Lines us, metric;
  WriteSectionRows(us, feed, US);
  WriteSectionRows(metric, feed, WE);
  ASSERT_EQ(us.size(), 10u);
  // The start head of 12.34 m is 17.91 psi: placed at column 18, its point in 21.
  EXPECT_EQ(us[0].substr(0, 23), L"            1     17.91");
  EXPECT_EQ(us[0], L"            1     17.91     16.69     15.85    0.82      -1.31      2");
  EXPECT_EQ(us[1], L"            2     17.91     16.69     15.85    32.81      1.31      2*");
  // Points in 21, 31, 41, 50, 60, one column left for a value below 1.
  EXPECT_EQ(points_of(us[0]), (Points{21, 31, 41, 49, 60}));
  EXPECT_EQ(points_of(us[1]), (Points{21, 31, 41, 50, 60}));
  // A size the inch table lacks keeps its millimetres.
  EXPECT_EQ(us[2].substr(68), L"70 mm");
  EXPECT_EQ(us[9].substr(0, 13), L"           10");
  // West-European: 21, 30, 42, 52, 62, the size from column 68, no "*".
  EXPECT_EQ(metric[0], L"            1      1.23     1.15       60        0.25      -.4     50");
  EXPECT_EQ(metric[1], L"            2      1.23     1.15       60        10        0.4     50");
  EXPECT_EQ(metric[2].substr(47), L"  10        -1.5    70");
  EXPECT_EQ(points_of(metric[0]), (Points{21, 30, 51, 61}));
  EXPECT_EQ(points_of(metric[2]), (Points{21, 30, 62}));
}

// The head of a report from form texts, in the given units.
Lines head_of(const grid::GridFormTexts& form, grid::GridFormState& state, ReportUnits units,
              const std::wstring& english_name = L"") {
  EnglishGridSource src{form, state, L"5.4.0", english_name};
  Lines out;
  write_english_head(out, src, units);
  return out;
}

grid::GridFormTexts grid_form() {
  grid::GridFormTexts f;
  f.Text1 = {L" 5",  L" 0.47", L" 36(4)", L" 3",  L" 4",  L" нет", L" нет", L" 3", L" 3",   L" нет",
             L"",    L" 25",   L" 40",    L" 40", L" нет", L" нет", L" нет", L" нет", L" 0.5"};
  f.Text2 = L" 7";
  f.Text3 = L" Склад";
  f.Text8 = L" 12";
  f.Combo1_1 = L"0.0012 (УУ-С100/1,2В-ВФ.О4)";
  return f;
}

std::wstring line_with(const Lines& lines, std::wstring_view caption) {
  for (const auto& l : lines)
    if (contains(l, caption)) return l;
  return L"(no line with " + std::wstring(caption) + L")";
}

TEST(EnglishHead, NegativeHeightsAndDistancesKeepTheirSign) {
  grid::GridFormState state;
  state.MainStandardPhrase = L" по ГОСТ 10704-91 (сварные)";
  auto form = grid_form();
  struct Case {
    std::wstring field9, field16, field17;
    const wchar_t *elevation_us, *inlet_us, *height_us, *elevation_m, *inlet_m, *height_m;
  };
  const Case cases[] = {
      // Pendent sprinklers hang below the branch line; the grid fed from behind its main.
      {L" -0.3", L" -2", L" -1.5", L"-.98", L"-6.56", L"-4.92", L"-.3", L"-2", L"-1.5"},
      {L" 0.25", L" 9", L" 1", L"0.82", L"29.53", L"3.28", L"0.25", L"9", L"1"},
      {L" нет", L" нет", L" 0", L"No", L"No", L"No", L"No", L"No", L"No"},
  };
  for (const Case& c : cases) {
    form.Text1[9] = c.field9;
    form.Text1[16] = c.field16;
    form.Text1[17] = c.field17;
    const Lines us = head_of(form, state, US), metric = head_of(form, state, WE);
    EXPECT_EQ(line_with(us, L"and sprinklers, ft"), L"            and sprinklers, ft                             - " +
                                                         std::wstring(c.elevation_us));
    EXPECT_EQ(line_with(us, L"grid system, ft"),
              L"            the point of input in grid system, ft          - " + std::wstring(c.inlet_us));
    EXPECT_EQ(line_with(us, L"branch lines, ft"),
              L"            and branch lines, ft                           - " + std::wstring(c.height_us));
    EXPECT_EQ(line_with(metric, L"and sprinklers, m"),
              L"            and sprinklers, m                              - " + std::wstring(c.elevation_m));
    EXPECT_EQ(line_with(metric, L"grid system, m"),
              L"            the point of input in grid system, m           - " + std::wstring(c.inlet_m));
    EXPECT_EQ(line_with(metric, L"branch lines, m"),
              L"            and branch lines, m                            - " + std::wstring(c.height_m));
  }
}

TEST(EnglishHead, InitialDataInBothUnits) {
  grid::GridFormState state;
  state.MainStandardPhrase = L" по ГОСТ 10704-91 (сварные)";
  state.SecondStandardPhrase = L" по ТУ Фазер-2000";
  auto form = grid_form();
  form.Text1[12] = L" 70*";
  form.Text1[14] = L" 50*";
  const Lines us = head_of(form, state, US);
  EXPECT_EQ(line_with(us, L"Tubing in"), L"          Tubing in accordance with              -      GOST 10704-91 ");
  EXPECT_EQ(line_with(us, L"Tubing*"), L"          Tubing* in accordance with             -      ТУ Fazer-2000");
  EXPECT_EQ(state.SecondStandardPhrase, L" по ТУ Fazer-2000");
  EXPECT_EQ(line_with(us, L"Type of the valve"),
            L"          Type of the valve of Supervisory Device          - УУ-С100/1,2В-ВФ.О4");
  EXPECT_EQ(line_with(us, L"psi/gpm^2"), L"          of Supervisory Device, psi/gpm^2                 - 0.00000696");
  EXPECT_EQ(line_with(us, L"Water density"), L"          Water density for sprinklers, gpm/ft2            -  0.74");
  EXPECT_EQ(line_with(us, L"Normative area"), L"          Normative area of irrigation, ft2                - 387.51");
  EXPECT_EQ(line_with(us, L"working sprinklers"), L"          Number of the working sprinklers                 - 4");
  EXPECT_EQ(line_with(us, L"K-factor"), L"          Sprinkler's K-factor                             - 6.3");
  EXPECT_EQ(line_with(us, L"pressure of a sprinkler"), L"          Minimum operating pressure of a sprinkler, psi   - 7.3");
  EXPECT_EQ(line_with(us, L"left cantilever"), L"          Number of sprinklers in the left cantilever      - No");
  EXPECT_EQ(line_with(us, L"sprinkler's tube"), L"          Pipe size of sprinkler's tube, in.               -  No");
  EXPECT_EQ(line_with(us, L"branch line, in."), L"          Pipe size of branch line, in.                    -  1");
  // A size the inch table lacks keeps its millimetres, not the size before it.
  EXPECT_EQ(line_with(us, L"left cross main"), L"          Pipe size of left cross main, in.                -  70 mm*");
  EXPECT_EQ(line_with(us, L"right cross main"), L"          Pipe size of right cross main, in.               -  1 1/2");
  EXPECT_EQ(line_with(us, L"parallel main"), L"          Pipe size of parallel main, in.                  -  2*");
  EXPECT_EQ(line_with(us, L"closer main"), L"          Pipe size of closer main, in.                    -  No");

  const Lines metric = head_of(form, state, WE);
  EXPECT_EQ(line_with(metric, L"bar/(L/min)^2"),
            L"          of Supervisory Device, bar/(L/min)^2             - 0.0000000333333");
  EXPECT_EQ(line_with(metric, L"Water density"), L"          Water density for sprinklers, L/(min*m^2)        - 30");
  EXPECT_EQ(line_with(metric, L"Normative area"), L"          Normative area of irrigation, m2                 - 36");
  EXPECT_EQ(line_with(metric, L"K-factor"), L"          Sprinkler's K-factor                             - 89.3");
  EXPECT_EQ(line_with(metric, L"pressure of a sprinkler"),
            L"          Minimum operating pressure of a sprinkler, bar   - 0.5");
  EXPECT_EQ(line_with(metric, L"parallel main"), L"          Pipe size of parallel main,  mm                  - 50*");
  EXPECT_EQ(line_with(metric, L"closer main"), L"          Pipe size of closer main, mm                     - нет");

  // A value of 0 has no point for a "0" to lead.
  form.Text1[18] = L" 0";
  form.Text1[0] = L" 0";
  EXPECT_EQ(line_with(head_of(form, state, US), L"Water density"),
            L"          Water density for sprinklers, gpm/ft2            -  0");
  EXPECT_EQ(line_with(head_of(form, state, WE), L"pressure of a sprinkler"),
            L"          Minimum operating pressure of a sprinkler, bar   - 0");
  form.Text1[0] = L" 5";

  // Without an intensity the K-factor is still converted.
  form.Text1[18] = L"";
  EXPECT_EQ(line_with(head_of(form, state, US), L"K-factor"),
            L"          Sprinkler's K-factor                             - 6.3");
}

TEST(EnglishHead, ProjectLineWrapsAndEnds) {
  grid::GridFormState state;
  const auto form = grid_form();
  const std::wstring head = L"          Project: ";  // 19 characters
  struct Case {
    const char* what;
    std::wstring name;
    Lines lines;
  };
  const std::wstring word60(60, L'x');
  const Case cases[] = {
      {"70 characters on one line", std::wstring(46, L'a') + L" " + std::wstring(4, L'b'),
       {head + std::wstring(46, L'a') + L" " + std::wstring(4, L'b')}},
      {"71 characters wrapped at the last blank", std::wstring(46, L'a') + L" " + std::wstring(5, L'b'),
       {head + std::wstring(46, L'a') + L" ", std::wstring(19, L' ') + std::wstring(5, L'b')}},
      // A word longer than a line is cut rather than wrapped for ever.
      {"a word longer than a line", L"Big " + word60 + word60,
       {head + L"Big ", std::wstring(19, L' ') + word60.substr(0, 50),
        std::wstring(19, L' ') + word60.substr(50) + word60.substr(0, 40),
        std::wstring(19, L' ') + word60.substr(40)}},
  };
  for (const Case& c : cases) {
    const Lines lines = head_of(form, state, US, c.name);
    const Lines project(lines.begin() + 5, lines.begin() + 5 + static_cast<std::ptrdiff_t>(c.lines.size()));
    EXPECT_EQ(project, c.lines) << c.what;
    EXPECT_EQ(lines[5 + c.lines.size()], L"          Contract:  12") << c.what;
  }
}

TEST(EnglishSprinklerTable, ColumnsIndentAndRowEnds) {
  ProgramFolder folder;
  grid::GridResultTables tables;
  tables.shift = 3;
  tables.first_row = 2;
  tables.grid_lines = {L"  6.89     0.00    12.00     6.89     6.89     6.89   ",
                       L"  6.89     6.89     6.89     6.89     6.89     6.89   ", L""};
  Lines out;
  {
    ScratchNumbers scratch(folder.dir());
    write_english_sprinkler_table(out, tables, 1, US, scratch);
  }
  EXPECT_FALSE(folder.has("a"));
  EXPECT_FALSE(folder.has("b"));
  const std::wstring rule = L"    " + std::wstring(46 + 24, L'-');
  const Lines want{
      L"*        Pressures and flows in sprinklers (sprinkler's tubes)",
      L"1        which form most adversely located square of a fire",
      rule,
      L"      Branch line     |  Sprinkler number in the branch line",
      L"      number          |" + std::wstring(27 + 24, L'-'),
      L"                      |     3       4       5       6       7       8",
      rule,
      L"      2  Pressure, psi|   10.00           17.42   10.00   10.00   10.00",
      L"         Flow, gpm    |    41.6            54.9    41.6    41.6    41.6",
      L"^" + rule.substr(1),
      L"      3  Pressure, psi|   10.00   10.00   10.00   10.00   10.00   10.00",
      L"         Flow, gpm    |    41.6    41.6    41.6    41.6    41.6    41.6",
      L"#" + rule.substr(1),
      L"",
  };
  EXPECT_EQ(out, want);
}

}  // namespace
}  // namespace dorv::gridprint
