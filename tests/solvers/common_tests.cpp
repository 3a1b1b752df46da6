#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "solvers/common/gridparams.h"
#include "solvers/common/linktable.h"
#include "solvers/common/nodesolver.h"
#include "solvers/common/resultfile.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace fs = std::filesystem;
using namespace dorv;
using namespace dorv::solvers;

namespace {

fs::path temp_dir(const std::string& name) {
  auto d = fs::temp_directory_path() / ("dorv_solvers_" + name + "_" + std::to_string(::getpid()));
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

// spr.in as the grid form writes it: one value a line, CR LF.
std::string spr_in(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// A grid every program accepts apart from the height and dead-end rules,
// which tell gridsolve from the other two.
std::vector<std::string> base_lines() {
  return {" 3", " 3.5", " 10", " 8", " 13.97", " 110", " 10", " 0.47", " 12",
          "0.01", "0", " 0", " 0", " 110", "0", " 0", " 0"};
}
std::vector<std::string> solve_lines() {  // with a height and a dead end
  auto l = base_lines();
  l[12] = " 1.5";
  l[15] = " 1";
  return l;
}

}  // namespace

// ---------------------------------------------------------------- sizing

TEST(ResultFile, NegativeZerosPrintAsZero) {
  struct Case {
    const wchar_t* text;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L" 1   -0.000    -0.00  -0", L" 1    0.000     0.00   0"},
      {L"-0.001  -10.000  -0.50  -.0", L"-0.001  -10.000  -0.50   .0"},
      {L"маг  -  -.  x-0.0\n-0.0", L"маг  -  -.  x 0.0\n 0.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(without_negative_zeros(c.text), c.expected) << dorv::to_utf8(c.text);
}

TEST(SizeFireSquare, Table) {
  struct Case {
    double a, b;
    int per_line, lines, open;
    int width, square_lines, partial_count, partial_offset;
  };
  const Case cases[] = {
      {2.5, 3, 8, 10, 12, 5, 2, 2, 1},   // w = 4.554 rounds up to 5
      {4, 1, 10, 3, 12, 5, 2, 2, 1},     // w = 2.078 gives 3, raised to 12/3 + 1
      {3, 3, 10, 5, 1, 1, 1, 0, 0},      // one sprinkler: no partial line
      {3, 3, 4, 3, 12, 4, 3, 0, 0},      // the whole grid opens
      {1, 10, 10, 5, 2, 2, 1, 0, 1},     // w = 5.37 is cut back to N
      {3, 3, 3, 4, 10, 3, 3, 1, 1},      // width held to the line, 3 lines and 1
  };
  for (const Case& c : cases) {
    ParameterRecord r;
    r.SprinklerSpacing = c.a;
    r.LineSpacing = c.b;
    r.SprinklersPerLine = c.per_line;
    r.LineCount = c.lines;
    r.OpenCount = c.open;
    SizeFireSquare(r);
    SCOPED_TRACE(testing::Message() << "a=" << c.a << " b=" << c.b << " N=" << c.open << " q=" << c.lines);
    EXPECT_EQ(r.SquareWidth, c.width);
    EXPECT_EQ(r.SquareLines, c.square_lines);
    EXPECT_EQ(r.PartialCount, c.partial_count);
    EXPECT_EQ(r.PartialOffset, c.partial_offset);
    EXPECT_EQ(NodeCount(r), 2 * c.lines + c.open);
  }
}

// ---------------------------------------------------------------- reading

TEST(ReadParameters, LabelsPointsAndWholeNumbers) {
  const std::string text =
      "a= 3\r\nb= .5\r\nn=12.7\r\nq=4\r\nK 1e2\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n"
      "15\r\n16\r\n17";
  const auto v = read_parameter_values(text, false);
  ASSERT_EQ(v.size(), 17u);
  EXPECT_EQ(v[0], 3.0);
  EXPECT_EQ(v[1], 5.0);    // the point is skipped like a label: ".5" reads 5
  EXPECT_EQ(v[2], 12.7);
  EXPECT_EQ(v[3], 4.0);    // not the ".7" left over from the line before
  EXPECT_EQ(v[4], 100.0);
  EXPECT_EQ(v[16], 17.0);
  const auto r = record_from_values(v);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->SprinklersPerLine, 12);  // truncated toward zero
  EXPECT_EQ(r->LineCount, 4);
  EXPECT_EQ(r->OpenCount, 9);
  EXPECT_EQ(r->DeadEnds2, 17);
}

TEST(ReadParameters, UnreadableOrMissingFieldsRefuseTheFile) {
  // A "-" that starts no number is read as nothing; the next number goes to
  // the next field, so the file comes up one number short.
  const auto v = read_parameter_values("1 2 3 4 5 x-y 7 8 9 10 11 12 13 14 15 16 17", false);
  EXPECT_FALSE(v[5]);
  EXPECT_EQ(v[6], 7.0);
  EXPECT_EQ(v[16], 17.0);
  EXPECT_FALSE(record_from_values(v));
  EXPECT_FALSE(record_from_values(read_parameter_values("1 2 3 4 5 6 7 8 9 10", false)));
}

TEST(ReadParameters, NegativeWholeNumbersTruncateTowardZero) {
  auto l = solve_lines();
  l[15] = "-0.9";
  const auto r = record_from_values(read_parameter_values(spr_in(l), false));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->DeadEnds1, 0);
  EXPECT_EQ(r->RiserHeight, 1.5);
}

TEST(ReadParameters, FirstNumberWithoutLeadingCharacter) {
  auto l = base_lines();
  l[0] = "3";
  const std::string text = spr_in(l);
  EXPECT_EQ(read_parameter_values(text, false)[0], 3.0);
  const auto stuck = read_parameter_values(text, true);  // gridio, gridscan
  EXPECT_TRUE(std::none_of(stuck.begin(), stuck.end(), [](const auto& x) { return x.has_value(); }));
}

TEST(ReadParameters, OutOfRangeWholeNumberIsRefused) {
  auto l = solve_lines();
  l[2] = " 1e12";
  EXPECT_FALSE(record_from_values(read_parameter_values(spr_in(l), false)));
}

// ---------------------------------------------------------------- checks

TEST(CheckParameters, EachProgramsRules) {
  // Line (1-based) and its text; expected exit code of gridsolve, gridio, gridscan.
  struct Case {
    const char* what;
    bool solve_base;  // start from the lines gridsolve accepts
    std::vector<std::pair<int, std::string>> changes;
    int solve, io, scan;
  };
  const Case cases[] = {
      {"gridsolve grid", true, {}, 0, 3, 3},
      {"grid without height", false, {}, 3, 0, 0},
      {"feed on main 1", false, {{11, " 110"}, {12, "-0.5"}}, 3, 0, 0},
      {"feed on main 1 with height", true, {{11, " 110"}, {12, "-0.5"}}, 3, 3, 3},
      {"feed at main 1's far end", false, {{12, "-28"}}, 3, 0, 0},
      {"feed on the cross-pipe", true, {{11, " 110"}, {12, " 6"}}, 0, 3, 3},
      {"feed beyond the mains", true, {{11, " 110"}, {12, " 31"}}, 3, 3, 3},
      {"feed offset without cross-pipe", true, {{12, " 2"}}, 3, 3, 3},
      {"feed on main 1 beyond its end", false, {{12, "-28.5"}}, 3, 3, 3},
      {"height with dead ends", true, {{16, " 2"}}, 0, 3, 3},
      {"height 0", false, {{16, " 2"}}, 3, 0, 0},
      {"negative height", true, {{13, "-1.5"}}, 0, 3, 3},
      {"one branch line", true, {{4, " 1"}, {9, " 5"}}, 3, 3, 3},
      {"one branch line without height", false, {{4, " 1"}, {9, " 5"}}, 3, 3, 3},
      {"height without dead ends", true, {{16, " 0"}}, 3, 0, 0},
      {"dead ends fill the line", true, {{16, " 6"}, {17, " 4"}}, 3, 3, 3},
      {"negative dead ends", false, {{17, "-1"}}, 3, 3, 3},
      {"all sprinklers open", true, {{9, " 80"}}, 0, 3, 3},
      {"more open than exist", true, {{9, " 81"}}, 3, 3, 3},
      {"no sprinkler open", true, {{9, " 0"}}, 3, 3, 3},
      {"zero spacing", true, {{1, " 0"}}, 3, 3, 3},
      {"zero tolerance", false, {{10, "0"}}, 3, 3, 3},
      {"zero K-factor", false, {{8, " 0"}}, 3, 3, 3},
      {"negative ring pipe", false, {{15, "-1"}}, 3, 3, 3},
      {"zero second main", false, {{14, "0"}}, 3, 0, 0},
      {"huge grid", false, {{3, " 1000"}, {4, " 1000"}}, 3, 3, 3},
      {"short file", false, {{0, ""}}, 3, 3, 3},
  };
  const fs::path dir = temp_dir("checks");
  for (const Case& c : cases) {
    auto lines = c.solve_base ? solve_lines() : base_lines();
    for (const auto& [line, text] : c.changes) {
      if (line == 0) lines.resize(10);
      else lines[static_cast<std::size_t>(line - 1)] = text;
    }
    write_bytes(dir / "spr.in", spr_in(lines));
    const GridProgram programs[] = {GridProgram::GridSolve, GridProgram::GridIo, GridProgram::GridScan};
    const int expected[] = {c.solve, c.io, c.scan};
    for (int p = 0; p < 3; ++p) {
      const ParameterLoad load = load_grid_parameters(dir / "spr.in", programs[p]);
      SCOPED_TRACE(testing::Message() << c.what << ", program " << p);
      EXPECT_EQ(load.exit_code, expected[p]);
      EXPECT_EQ(load.message, expected[p] == 3 ? L"\n\n\nНедопустимые параметры в файле  spr.in !\n\n" : L"");
    }
  }
  fs::remove_all(dir);
}

TEST(CheckParameters, TwoBranchLinesForTheScanToo) {
  const fs::path dir = temp_dir("scanlines");
  auto l = base_lines();
  l[3] = " 2";
  write_bytes(dir / "spr.in", spr_in(l));
  const ParameterLoad load = load_grid_parameters(dir / "spr.in", GridProgram::GridScan);
  EXPECT_EQ(load.exit_code, 0);
  EXPECT_EQ(load.record.SquareWidth, 7);  // sized on the way
  EXPECT_EQ(load.record.SquareLines, 1);
  EXPECT_EQ(load.record.PartialCount, 5);
  fs::remove_all(dir);
}

TEST(CheckParameters, MissingFile) {
  const fs::path dir = temp_dir("missing");
  for (GridProgram p : {GridProgram::GridSolve, GridProgram::GridIo, GridProgram::GridScan}) {
    const ParameterLoad load = load_grid_parameters(dir / "spr.in", p);
    EXPECT_EQ(load.exit_code, 2);
    EXPECT_EQ(load.message, L"\n\n\nНе найден файл  spr.in !\n\n");
  }
  fs::create_directory(dir / "spr.in");  // a folder of that name is no file either
  EXPECT_EQ(load_grid_parameters(dir / "spr.in", GridProgram::GridSolve).exit_code, 2);
  fs::remove_all(dir);
}

// ---------------------------------------------------------------- command lines

TEST(CommandLines, GridIo) {
  using Args = std::vector<std::string>;
  EXPECT_FALSE(parse_grid_io_arguments(Args{}));
  EXPECT_FALSE(parse_grid_io_arguments(Args{"i", "1"}));
  EXPECT_FALSE(parse_grid_io_arguments(Args{"i", "1", "2", "0.1", "x"}));
  EXPECT_FALSE(parse_grid_io_arguments(Args{"x", "1", "2"}));
  EXPECT_FALSE(parse_grid_io_arguments(Args{"I", "1", "2"}));
  const auto in = parse_grid_io_arguments(Args{"input", "3", "12", "0.001"});
  ASSERT_TRUE(in);
  EXPECT_EQ(in->mode, 'i');
  EXPECT_EQ(in->along, 3);
  EXPECT_EQ(in->across, 12);
  EXPECT_EQ(in->across_text, "12");
  EXPECT_EQ(in->tolerance, 0.001);
  const auto out = parse_grid_io_arguments(Args{"o", "2.7", "1", "0.5"});
  ASSERT_TRUE(out);
  EXPECT_EQ(out->mode, 'o');
  EXPECT_EQ(out->along, 2);
  EXPECT_EQ(out->along_text, "2.7");
  EXPECT_FALSE(out->tolerance);  // ignored in mode o
}

TEST(CommandLines, GridScan) {
  using Args = std::vector<std::string>;
  struct Case {
    Args args;
    bool ok;
    char mode;
    bool keep;
  };
  const Case cases[] = {
      {{}, true, 'c', false},         {{"t"}, true, 'c', true},       {{"c", "t"}, true, 'c', true},
      {{"a"}, true, 'a', false},      {{"u", "t"}, true, 'u', true},  {{"d"}, true, 'd', false},
      {{"b"}, true, 'b', false},      {{"ab"}, false, 0, false},      {{"x"}, false, 0, false},
      {{"t", "t"}, false, 0, false},  {{"a", "x"}, false, 0, false},  {{"a", "t", "t"}, false, 0, false},
      {{"a", "tt"}, false, 0, false},
  };
  for (const Case& c : cases) {
    const auto a = parse_grid_scan_arguments(c.args);
    ASSERT_EQ(a.has_value(), c.ok) << testing::PrintToString(c.args);
    if (!a) continue;
    EXPECT_EQ(a->mode, c.mode);
    EXPECT_EQ(a->keep_files, c.keep);
  }
}

TEST(CommandLines, UsageTextsAndShiftRange) {
  EXPECT_EQ(std::wstring(kGridIoUsage),
            L"\n\nНеправильные параметры программы gridio.exe! Должно быть:\n    gridio i A B pog  или  gridio i "
            L"A B\nдля создания входного файла для расчета;\n    gridio o A B\nдля вывода результатов "
            L"расчета;\nгде A и B - координаты квадрата пожара (сдвиг вправо и вниз),\nа pog - погрешность "
            L"(если опущена, то берется из файла spr.in).\n");
  EXPECT_EQ(std::wstring(kGridScanUsage),
            L"\n\nНеправильные параметры программы gridscan.exe! Должно быть:\n    gridscan   или   gridscan "
            L"t\nдля перебора места пожара вверху и (если необходимо) внизу решетки;\n    gridscan u   или   "
            L"gridscan u t\nдля перебора места пожара вверху решетки;\n    gridscan d   или   gridscan d "
            L"t\nдля перебора места пожара внизу решетки;\n    gridscan b   или   gridscan b t\nдля перебора "
            L"места пожара вверху и внизу решетки;\n    gridscan a   или   gridscan a t\nдля перебора всех "
            L"возможных мест пожара (большое время расчета!);\n\nпри этом наличие параметра  t  означает "
            L"необходимость не удалять\nпромежуточные файлы, соответствующие разным положениям пожара.\n");
  EXPECT_EQ(std::wstring(kBadShiftMessage), L"\n\n\nНедопустимые значения сдвига квадрата пожара!\n\n");

  ParameterRecord r;  // 10 a line, 8 lines, square 5 wide on 2 lines and a partial line
  r.SprinklersPerLine = 10;
  r.LineCount = 8;
  r.SquareWidth = 5;
  r.SquareLines = 2;
  r.PartialCount = 2;
  EXPECT_TRUE(grid_io_shift_in_range(r, 1, 1));
  EXPECT_TRUE(grid_io_shift_in_range(r, 6, 6));
  EXPECT_FALSE(grid_io_shift_in_range(r, 7, 1));
  EXPECT_FALSE(grid_io_shift_in_range(r, 1, 7));  // the partial line would leave the grid
  EXPECT_FALSE(grid_io_shift_in_range(r, 0, 1));
  EXPECT_FALSE(grid_io_shift_in_range(r, 1, 0));
  r.PartialCount = 0;
  EXPECT_TRUE(grid_io_shift_in_range(r, 1, 7));
  EXPECT_FALSE(grid_io_shift_in_range(r, 1, 8));
}

// ---------------------------------------------------------------- node solver

namespace {
double balance(double H, const double h[3], const double k[3]) {
  double s = 0;
  for (int j = 0; j < 3; ++j) s += k[j] * std::copysign(std::sqrt(std::fabs(h[j] - H)), h[j] - H);
  return s;
}
}  // namespace

TEST(SolveNode, AgreesWithBisectionOfTheBalance) {
  std::mt19937_64 gen(20240611);
  std::uniform_real_distribution<double> head(0.0, 120.0);
  std::uniform_real_distribution<double> log_k(-3.0, 3.0);
  int below = 0;
  for (int t = 0; t < 20000; ++t) {
    double h[3], k[3];
    for (int j = 0; j < 3; ++j) h[j] = head(gen), k[j] = std::exp(log_k(gen));
    const bool three = t % 4 != 0;
    if (!three) k[2] = 0;
    NodeWarning w;
    const double H = SolveNode(h[0], h[1], h[2], k[0], k[1], k[2], &w);
    double lo = std::min({h[0], h[1], three ? h[2] : h[0]});
    double hi = std::max({h[0], h[1], three ? h[2] : h[0]});
    const double span = hi - lo;
    for (int i = 0; i < 200; ++i) {
      const double mid = 0.5 * (lo + hi);
      (balance(mid, h, k) > 0 ? lo : hi) = mid;
    }
    ASSERT_EQ(w, NodeWarning::None) << t;
    ASSERT_NEAR(H, lo, 1e-9 * span + 1e-12) << "case " << t;
    const double middle = std::max(std::min(h[0], h[1]), std::min(std::max(h[0], h[1]), h[2]));
    if (three && H < middle) ++below;
  }
  EXPECT_GT(below, 1000);  // both closed-form cases were exercised
}

TEST(SolveNode, EdgeCases) {
  EXPECT_DOUBLE_EQ(SolveNode(7.5, 7.5, 0, 1, 3, 0), 7.5);     // equal heads
  EXPECT_DOUBLE_EQ(SolveNode(4.25, 99, 99, 2, 0, 0), 4.25);   // one link
  EXPECT_DOUBLE_EQ(SolveNode(0, 10, 0, 1, 1, 0), 5.0);        // two links: k^2-weighted mean
  EXPECT_DOUBLE_EQ(SolveNode(0, 10, 0, 1, 2, 0), 8.0);
  NodeWarning w;
  // Two of three within 1e-6 merge into one link of the summed conductance.
  const double merged = SolveNode(5.0, 5.0000005, 10.0, 1, 1, 2, &w);
  EXPECT_EQ(w, NodeWarning::None);
  EXPECT_DOUBLE_EQ(merged, (5.0 * 4 + 10.0 * 4) / 8);
  EXPECT_DOUBLE_EQ(SolveNode(0.0, 9.9999995, 10.0, 2, 1, 1, &w), (0.0 * 4 + 9.9999995 * 4) / 8);
}

// ---------------------------------------------------------------- link table

TEST(LinkTable, SlotsFindCountAndRange) {
  LinkTable t(8, 3);
  t.LinkRange(1, 4, 3, 0.5);  // 1-4, 2-5, 3-6 and back
  t.add_link(1, 7, 2.0);
  EXPECT_EQ(t.CountLinks(1), 2);
  EXPECT_EQ(t.CountLinks(4), 1);
  EXPECT_EQ(t.FindLink(1, 7), 1);
  EXPECT_EQ(t.FindLink(6, 3), 0);
  EXPECT_EQ(t.FindLink(1, 5), -1);
  EXPECT_EQ(t.conductance_at(5, 0), 0.5);
  t.add_link(1, 6, 1.0);
  EXPECT_THROW(t.add_link(1, 2, 1.0), std::logic_error);  // a fourth link cannot be held
  t.clear(7);
  EXPECT_EQ(t.CountLinks(1), 0);
  EXPECT_EQ(t.FindLink(1, 4), -1);
  EXPECT_DOUBLE_EQ(SeriesRule(3, 4), 2.4);
  EXPECT_DOUBLE_EQ(pipe_conductance(12, 3), 2.0);
  // The flow law and its direction.
  EXPECT_DOUBLE_EQ(link_flow(2.0, 13.0, 4.0), 6.0);
  EXPECT_DOUBLE_EQ(link_flow(2.0, 4.0, 13.0), -6.0);
  EXPECT_EQ(link_flow(2.0, 4.0, 4.0), 0.0);
}

// ---------------------------------------------------------------- result file

TEST(ResultFile, HeadRowsAndCodePage) {
  ParameterRecord r;
  r.LineCount = 3;
  r.SquareWidth = 3;
  r.SquareLines = 2;
  r.PartialCount = 1;
  r.PartialOffset = 1;
  // Nodes 7..12: the square column by column; 13: the partial line.
  auto head = [](int node) { return node * 1.0; };
  EXPECT_EQ(square_head_rows(r, head, true),
            L"  8.00    10.00    12.00   \n  7.00     9.00    11.00   \n  0.00    13.00     0.00   ");
  r.PartialCount = 0;
  EXPECT_EQ(square_head_rows(r, head, false), L"  8.00    10.00    12.00   \n  7.00     9.00    11.00   \n");
  EXPECT_EQ(square_head_rows(r, head, true).substr(56), L"  0.00     0.00     0.00   ");

  const fs::path dir = temp_dir("result");
  ASSERT_TRUE(write_result_file(dir / "spr.out", L"Давления:\n 1.00\nконец"));
  EXPECT_EQ(read_bytes(dir / "spr.out"), "\x84\xa0\xa2\xab\xa5\xad\xa8\xef:\r\n 1.00\r\n\xaa\xae\xad\xa5\xe6");
  fs::remove(dir / "spr.out");
  fs::create_directory(dir / "spr.out");
  EXPECT_FALSE(write_result_file(dir / "spr.out", L"x"));
  fs::remove_all(dir);
}
