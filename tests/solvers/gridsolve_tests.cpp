#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "solvers/common/gridparams.h"
#include "solvers/gridsolve/gridsolve.h"
#include "tests/solvers/grid_reference.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"
#include "text/linefile.h"

using namespace dorv;
using namespace dorv::solvers;
using dorv::testing::grid_parameter_text;
using dorv::testing::ProgramFolder;

namespace {

// spr.in values in file order: a, b, sprinklers a line, lines, line pipe K,
// main 1 K, required head, K-factor, open sprinklers, tolerance, cross-pipe
// K, feed offset, riser height, main 2 K, ring K, dead ends 1, dead ends 2.
std::vector<double> plain_grid() {
  return {3, 3.5, 6, 4, 13.97, 110, 10, 0.47, 5, 0.01, 0, 0, 1.5, 110, 0, 1, 0};
}

ParameterRecord sized(const std::vector<double>& values) {
  std::vector<std::optional<double>> v(values.begin(), values.end());
  ParameterRecord r = *record_from_values(v);
  SizeFireSquare(r);
  return r;
}

int run_grid_solve(const ProgramFolder& f, std::string* out = nullptr, const char* seed = "7") {
  f.install(GRIDSOLVE_EXE, "gridsolve");
  return f.run(std::string("GRIDSOLVE_SEED=") + seed + " ./gridsolve", out);
}

// ------------------------------------------------------------ spr.out reading

// The report read back by character column, the way the grid form reads it;
// every separator and width is checked on the way.
struct Report {
  std::vector<std::vector<double>> squareRows;
  std::vector<double> partialRow;
  int shift = 0;
  double totalHead = 0, totalFlow = 0;
  std::vector<std::vector<double>> rows;  // head, end, flow, flow, head, end
  std::vector<double> ring, cross;
};

double field(const std::wstring& line, std::size_t from, std::size_t width) {
  EXPECT_LE(from + width, line.size()) << to_utf8(line);
  const std::wstring f = line.substr(from, width);
  EXPECT_EQ(f.find_first_not_of(L" 0123456789.-"), std::wstring::npos) << to_utf8(line);
  EXPECT_NE(f[0], L'.') << "field wider than its column: " << to_utf8(line);
  return std::stod(to_utf8(f));
}
void gap(const std::wstring& line, std::size_t from, std::size_t width) {
  EXPECT_EQ(line.substr(from, width), std::wstring(width, L' ')) << to_utf8(line);
}

std::vector<double> cells_of(const std::wstring& line, int width) {
  EXPECT_EQ(line.size(), static_cast<std::size_t>(9 * width)) << to_utf8(line);
  std::vector<double> cells;
  for (int j = 0; j < width; ++j) {
    cells.push_back(field(line, 9 * j, 6));
    gap(line, 9 * j + 6, 3);
  }
  return cells;
}

Report read_report(const std::string& bytes, const ParameterRecord& r) {
  // CR LF line ends only, and none after the last line.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    } else if (bytes[i] == '\r') {
      EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
    }
  }
  EXPECT_NE(bytes.back(), '\n');
  const std::vector<std::wstring> lines = split_lines(from_cp866(bytes));
  const std::size_t SL = static_cast<std::size_t>(r.SquareLines);
  const std::size_t q = static_cast<std::size_t>(r.LineCount);
  const std::size_t count = SL + 11 + q + (r.RingPipeK ? 1 : 0) + (r.CrossPipeK ? 1 : 0);
  Report rep;
  EXPECT_EQ(lines.size(), count);
  if (lines.size() != count) return rep;
  EXPECT_EQ(lines[0], L"Давления во вскрывшихся спринклерах:");
  for (std::size_t i = 1; i <= SL; ++i) rep.squareRows.push_back(cells_of(lines[i], r.SquareWidth));
  rep.partialRow = cells_of(lines[SL + 1], r.SquareWidth);
  EXPECT_EQ(lines[SL + 2], L"");
  const std::wstring shiftLabel = L"Смещение вправо квадрата пожара: ";
  EXPECT_EQ(lines[SL + 3].substr(0, shiftLabel.size()), shiftLabel);
  EXPECT_EQ(lines[SL + 3].size(), shiftLabel.size() + 2);
  rep.shift = static_cast<int>(field(lines[SL + 3], shiftLabel.size(), 2));
  EXPECT_EQ(lines[SL + 4], L"");
  EXPECT_EQ(lines[SL + 5].substr(0, 16), L"Полный напор:   ");
  EXPECT_EQ(lines[SL + 5].size(), 22u);
  rep.totalHead = field(lines[SL + 5], 16, 6);
  EXPECT_EQ(lines[SL + 6].substr(0, 15), L"Полный расход: ");
  EXPECT_EQ(lines[SL + 6].size(), 22u);
  rep.totalFlow = field(lines[SL + 6], 15, 7);
  EXPECT_EQ(lines[SL + 7], L"");
  EXPECT_EQ(lines[SL + 8], L"Параметры концов рядков:");
  EXPECT_EQ(lines[SL + 9], L"           Напоры         Расход     Расход        Напоры");
  EXPECT_EQ(lines[SL + 10], L"           слева          слева      справа        справа");
  std::size_t k = SL + 11;
  if (r.RingPipeK) {
    const std::wstring& l = lines[k++];
    EXPECT_EQ(l.size(), 53u) << to_utf8(l);
    EXPECT_EQ(l.substr(0, 5), L"маг  ");
    rep.ring = {field(l, 5, 8), field(l, 23, 8), field(l, 45, 8)};
    gap(l, 13, 10);
    gap(l, 31, 14);
  }
  for (std::size_t i = 0; i < q; ++i) {
    const std::wstring& l = lines[k++];
    EXPECT_EQ(l.size(), 61u) << to_utf8(l);
    if (l.size() != 61u) continue;
    EXPECT_EQ(field(l, 0, 2), static_cast<double>(i + 1));  // the far-end line is number 1
    gap(l, 2, 3);
    gap(l, 21, 2);
    gap(l, 31, 3);
    gap(l, 42, 3);
    rep.rows.push_back({field(l, 5, 8), field(l, 13, 8), field(l, 23, 8), field(l, 34, 8), field(l, 45, 8),
                        field(l, 53, 8)});
  }
  if (r.CrossPipeK) {
    const std::wstring& l = lines[k++];
    EXPECT_EQ(l.size(), 53u) << to_utf8(l);
    EXPECT_EQ(l.substr(0, 5), L"маг  ");
    rep.cross = {field(l, 5, 8), field(l, 24, 8), field(l, 35, 8), field(l, 45, 8)};
    gap(l, 13, 11);
    gap(l, 32, 3);
    gap(l, 43, 2);
  }
  return rep;
}

// Printed with two decimals: the relaxation may be 0.02 m off, the print 0.005.
constexpr double kHead = 0.025;
// Flows: 0.5 % of the exact value, and the print's 0.0005.
double flow_tolerance(double exact) { return 0.005 * std::fabs(exact) + 0.0006; }

void expect_matches(const Report& rep, const dorv::testing::ReferenceSolution& ref, double minHead) {
  ASSERT_EQ(rep.squareRows.size(), ref.squareRows.size());
  for (std::size_t i = 0; i < ref.squareRows.size(); ++i)
    for (std::size_t j = 0; j < ref.squareRows[i].size(); ++j)
      EXPECT_NEAR(rep.squareRows[i][j], ref.squareRows[i][j], kHead) << "square row " << i << " column " << j;
  for (std::size_t j = 0; j < ref.partialRow.size(); ++j)
    EXPECT_NEAR(rep.partialRow[j], ref.partialRow[j], kHead) << "partial row column " << j;
  EXPECT_NEAR(rep.totalHead, ref.totalHead, kHead);
  EXPECT_NEAR(rep.totalFlow, ref.totalFlow, flow_tolerance(ref.totalFlow));
  ASSERT_EQ(rep.rows.size(), ref.rows.size());
  for (std::size_t i = 0; i < ref.rows.size(); ++i) {
    const auto& e = ref.rows[i];
    const auto& g = rep.rows[i];
    SCOPED_TRACE(::testing::Message() << "end table row " << i + 1);
    EXPECT_NEAR(g[0], e.head1, kHead);
    EXPECT_NEAR(g[1], e.end1, kHead);
    EXPECT_NEAR(g[2], e.flow1, flow_tolerance(e.flow1));
    EXPECT_NEAR(g[3], e.flow2, flow_tolerance(e.flow2));
    EXPECT_NEAR(g[4], e.head2, kHead);
    EXPECT_NEAR(g[5], e.end2, kHead);
  }
  ASSERT_EQ(rep.ring.empty(), !ref.ring);
  if (ref.ring) {
    EXPECT_NEAR(rep.ring[0], (*ref.ring)[0], kHead);
    EXPECT_NEAR(rep.ring[1], (*ref.ring)[1], flow_tolerance((*ref.ring)[1]));
    EXPECT_NEAR(rep.ring[2], (*ref.ring)[2], kHead);
  }
  ASSERT_EQ(rep.cross.empty(), !ref.cross);
  if (ref.cross) {
    EXPECT_NEAR(rep.cross[0], (*ref.cross)[0], kHead);
    EXPECT_NEAR(rep.cross[1], (*ref.cross)[1], flow_tolerance((*ref.cross)[1]));
    EXPECT_NEAR(rep.cross[2], (*ref.cross)[2], flow_tolerance((*ref.cross)[2]));
    EXPECT_NEAR(rep.cross[3], (*ref.cross)[3], kHead);
  }
  // The dictating sprinkler has the required head, no open sprinkler less.
  double weakestFar = 1e300, weakest = 1e300;
  for (double h : rep.squareRows.front()) weakestFar = std::min(weakestFar, h);
  for (const auto& row : rep.squareRows)
    for (double h : row) weakest = std::min(weakest, h);
  for (double h : rep.partialRow)
    if (h > 0) weakest = std::min(weakest, h);
  EXPECT_NEAR(weakestFar, minHead, 0.0051);
  EXPECT_GE(weakest, minHead - 0.0051);
  EXPECT_NEAR(ref.weakestOpen, minHead, 1e-9);
  // What enters the branch lines through the risers is the whole flow.
  double rowSum = 0;
  for (const auto& row : rep.rows) rowSum += row[2] + row[3];
  EXPECT_NEAR(rowSum, rep.totalFlow, 0.005 * rep.totalFlow + 0.001 * rep.rows.size());
}

}  // namespace

// ------------------------------------------------------------ whole runs

TEST(GridSolveProgram, ReportsTheWorstShiftOfAnExactSolve) {
  struct Case {
    const char* what;
    std::vector<double> values;
  };
  auto plain = plain_grid();
  // 5 lines, a dead end beyond each main, fed 4 m along the cross-pipe, main 2
  // thinner than main 1 so that the ring carries water across.
  auto ringCross = plain_grid();
  ringCross[3] = 5, ringCross[8] = 6, ringCross[10] = 110, ringCross[11] = 4, ringCross[13] = 28, ringCross[14] = 40,
  ringCross[16] = 1;
  auto deadEnds = plain_grid();  // 3 dead-end positions beyond each main: squares wholly beyond either
  deadEnds[0] = 3, deadEnds[1] = 3, deadEnds[2] = 9, deadEnds[3] = 3, deadEnds[8] = 4, deadEnds[15] = 3,
  deadEnds[16] = 3;
  auto single = plain_grid();  // one sprinkler: a column of one, no partial line
  single[8] = 1, single[3] = 3, single[2] = 5;
  auto hanging = plain_grid();  // lines 1.5 m below the mains
  hanging[12] = -1.5;
  const Case cases[] = {{"plain", plain},
                        {"ring and cross-pipe", ringCross},
                        {"dead ends", deadEnds},
                        {"single sprinkler", single},
                        {"lines below the mains", hanging}};
  for (Case c : cases) {
    SCOPED_TRACE(c.what);
    // A tenth of the form's tolerance: at 0.01 the small flows that lines
    // outside the square carry from main to main can be 2 % off.
    c.values[9] = 0.001;
    ProgramFolder f;
    f.put("spr.in", grid_parameter_text(c.values));
    std::string console;
    ASSERT_EQ(run_grid_solve(f, &console), 0) << console;
    const ParameterRecord r = sized(c.values);
    const Report rep = read_report(f.get("spr.out"), r);
    // Every shift solved exactly: the report must be of the worst one.
    double worst = 0;
    for (int s = 1; s <= r.SprinklersPerLine - r.SquareWidth + 1; ++s) {
      const auto ref = dorv::testing::solve_grid_exactly(r, s);
      ASSERT_TRUE(ref.converged) << "shift " << s;
      worst = std::max(worst, ref.measure);
    }
    ASSERT_GE(rep.shift, 1);
    const auto ref = dorv::testing::solve_grid_exactly(r, rep.shift);
    EXPECT_GE(ref.measure, worst * (1 - 1e-3)) << "reported shift " << rep.shift;
    expect_matches(rep, ref, r.MinHead);
  }
}

TEST(GridSolveProgram, SameSeedSameRun) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(plain_grid()));
  std::string first, second;
  ASSERT_EQ(run_grid_solve(f, &first), 0);
  const std::string report = f.get("spr.out");
  ASSERT_EQ(run_grid_solve(f, &second), 0);
  EXPECT_EQ(f.get("spr.out"), report);
  EXPECT_EQ(first, second);
  EXPECT_NE(first.find(to_utf8(L"    Программа расчета решеточной спринклерной системы\n\n")), std::string::npos);
  EXPECT_NE(first.find(to_utf8(L"\nСдвиг: 4, погрешность: ")), std::string::npos);
}

TEST(GridSolveProgram, RefusalsLeaveSprOutEmpty) {
  struct Case {
    const char* what;
    int line;  // 0: no spr.in at all
    double value;
    int code;
    std::wstring message;
  };
  const std::wstring bad = L"\n\n\nНедопустимые параметры в файле  spr.in !\n\n";
  const Case cases[] = {
      {"no spr.in", 0, 0, 2, L"\n\n\nНе найден файл  spr.in !\n\n"},
      {"one branch line", 4, 1, 3, bad},
      {"feed on main 1", 12, -0.5, 3, bad},
      {"no height", 13, 0, 3, bad},
      {"no dead end", 16, 0, 3, bad},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramFolder f;
    auto values = plain_grid();
    if (c.line) {
      values[static_cast<std::size_t>(c.line - 1)] = c.value;
      f.put("spr.in", grid_parameter_text(values));
    }
    f.put("spr.out", "earlier");
    std::string console;
    EXPECT_EQ(run_grid_solve(f, &console), c.code);
    EXPECT_EQ(console, to_utf8(c.message));
    EXPECT_EQ(f.get("spr.out"), "");  // an earlier grid's report is no result for this one
  }
}

TEST(GridSolveProgram, RelaxationThatCannotConvergeEndsWithEmptySprOut) {
  ProgramFolder f;
  auto values = plain_grid();
  values[9] = 1e-300;  // below anything the arithmetic can reach
  f.put("spr.in", grid_parameter_text(values));
  f.put("spr.out", "earlier report");
  std::string console;
  EXPECT_EQ(run_grid_solve(f, &console), kExitNoConvergence);
  EXPECT_EQ(f.get("spr.out"), "");
  EXPECT_NE(console.find(to_utf8(L"Расчет не сходится: сдвиг 1, погрешность ")), std::string::npos) << console;
  EXPECT_NE(console.find(to_utf8(L"Погрешность перестала уменьшаться.\nРезультат не получен, файл  spr.out  пуст.")),
            std::string::npos)
      << console;
}

TEST(GridSolveProgram, SprOutThatCannotBeWritten) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(plain_grid()));
  std::filesystem::create_directory(f / "spr.out");
  std::string console;
  EXPECT_EQ(run_grid_solve(f, &console), kExitNoOutput);
  const std::string message = to_utf8(L"\n\n\nНе удается записать файл  spr.out !\n\n");
  ASSERT_GE(console.size(), message.size());
  EXPECT_EQ(console.substr(console.size() - message.size()), message);
}

// ------------------------------------------------------------ the command file

namespace {
// A program folder as the form leaves it before it starts prom2.bat.
void prepare_command_run(const ProgramFolder& f, const std::vector<double>& values) {
  f.install(GRIDSOLVE_EXE, "gridsolve");
  f.install(PROM2_BAT, "prom2.bat");
  f.put("spr.in", grid_parameter_text(values));
  f.put("spr.out", "stale");
  f.put("prom.in", "");
}
}  // namespace

TEST(Prom2Bat, RemovesTheFlagOnEveryPath) {
  auto refused = plain_grid();
  refused[12] = 0;
  for (const auto& [values, code] : {std::pair{plain_grid(), 0}, std::pair{refused, 3}}) {
    ProgramFolder f;
    prepare_command_run(f, values);
    EXPECT_EQ(f.run("/bin/sh prom2.bat"), code);
    EXPECT_FALSE(f.has("prom.in"));
    const std::wstring report = from_cp866(f.get("spr.out"));
    if (code == 0) EXPECT_EQ(report.substr(0, 36), L"Давления во вскрывшихся спринклерах:");
    else EXPECT_EQ(report, L"");
  }
}

TEST(Prom2Bat, StoppedWhileTheSolverRuns) {
  // A grid slow enough to be stopped halfway; the whole group is signalled,
  // as closing the console window does.
  ProgramFolder f;
  prepare_command_run(f, {3, 3, 20, 40, 13.97, 110, 10, 0.47, 24, 1e-9, 0, 0, 1.5, 110, 0, 2, 1});
  ASSERT_TRUE(f.run_and_stop("prom2.bat", std::chrono::milliseconds(300)))
      << "the solver ended before it could be stopped";
  EXPECT_FALSE(f.has("prom.in"));
  EXPECT_EQ(f.get("spr.out"), "");
}

// ------------------------------------------------------------ parts of the solver

TEST(GridSolveParts, DrawReachesEveryNode) {
  for (int R : {9, 602, 603, 5000}) {
    const NodeDraw draw(R);
    EXPECT_EQ(draw.favoursEnds(), R <= 602) << R;
    RelaxRandom random(12345);
    std::vector<char> seen(static_cast<std::size_t>(R) + 1, 0);
    for (long i = 0; i < 2000000; ++i) {
      const int node = draw.next(random);
      ASSERT_GE(node, 1);
      ASSERT_LE(node, R);
      seen[static_cast<std::size_t>(node)] = 1;
    }
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), R) << R;
  }
  // The generator itself: state * 22695477 + 1, bits 16..30.
  RelaxRandom random(1);
  EXPECT_EQ(random.next(), static_cast<int>(((1u * 22695477u + 1u) >> 16) & 0x7FFF));
}

TEST(GridSolveParts, NetworkOfASquareSpanningBothMains) {
  // 8 a line, one dead end beyond main 1 and two beyond main 2; 3 lines;
  // a square of the whole of line 3.
  auto values = plain_grid();
  values[2] = 8, values[3] = 3, values[8] = 8, values[15] = 1, values[16] = 2;
  ParameterRecord r = sized(values);
  r.SquareWidth = 8, r.SquareLines = 1, r.PartialCount = 0, r.ShiftAlong = 1;
  GridNetwork net(r);
  BuildNetwork(net);
  const LinkTable& t = net.table;
  const int M = net.M;  // 6 + 8 = 14; sprinklers 7..14 at positions 1..8
  ASSERT_EQ(M, 14);
  auto k = [&](int u, int v) { return t.conductance_at(u, t.FindLink(u, v)); };
  const double a = 3, K5 = 13.97;
  // Main 1's branch end of line 3 (M+3): riser, the dead-end sprinkler half a
  // spacing away and the first sprinkler between the mains, half a spacing.
  EXPECT_EQ(t.CountLinks(M + 3), 3);
  EXPECT_DOUBLE_EQ(k(M + 3, 3), std::sqrt(K5 / 1.5));
  EXPECT_DOUBLE_EQ(k(M + 3, 7), std::sqrt(K5 / (0.5 * a)));
  EXPECT_DOUBLE_EQ(k(M + 3, 8), std::sqrt(K5 / (0.5 * a)));
  EXPECT_EQ(t.CountLinks(M + 6), 3);  // main 2's end: riser, positions 6 and 7
  EXPECT_DOUBLE_EQ(k(M + 6, 12), std::sqrt(K5 / (0.5 * a)));
  EXPECT_DOUBLE_EQ(k(M + 6, 13), std::sqrt(K5 / (0.5 * a)));
  EXPECT_DOUBLE_EQ(k(13, 14), std::sqrt(K5 / a));  // the chain beyond main 2
  EXPECT_EQ(t.CountLinks(14), 2);                    // the line's last sprinkler: neighbour and outlet
  EXPECT_DOUBLE_EQ(k(14, M + 14), 0.47);
  // Lines 1 and 2 lie outside the square: one pipe between their ends.
  EXPECT_DOUBLE_EQ(k(M + 1, M + 4), std::sqrt(K5 / (5 * a)));
  EXPECT_DOUBLE_EQ(k(M + 5, M + 2), std::sqrt(K5 / (5 * a)));
  // The feed: half a spacing of main 1, no cross-pipe.
  EXPECT_EQ(t.CountLinks(0), 1);
  EXPECT_DOUBLE_EQ(k(0, 1), std::sqrt(2 * 110 / 3.5));
}

TEST(GridSolveParts, FeedAndRingLinks) {
  auto values = plain_grid();  // L = 5 * 3 = 15
  values[10] = 50, values[14] = 40;
  for (double offset : {0.0, 6.0, 15.0}) {
    values[11] = offset;
    ParameterRecord r = sized(values);
    r.ShiftAlong = 1;
    GridNetwork net(r);
    BuildNetwork(net);
    const LinkTable& t = net.table;
    auto k = [&](int u, int v) { return t.conductance_at(u, t.FindLink(u, v)); };
    auto series = [](double s1, double s2) { return 1 / std::sqrt(s1 + s2); };  // resistances add
    EXPECT_EQ(t.FindLink(0, 1), 0);
    EXPECT_EQ(t.FindLink(0, 5), 1);
    EXPECT_NEAR(k(0, 1), series(3.5 / 220, offset / 50), 1e-12) << offset;
    EXPECT_NEAR(k(5, 0), series(3.5 / 220, (15 - offset) / 50), 1e-12) << offset;
    EXPECT_NEAR(k(4, 8), series(3.5 / 220 + 15.0 / 40, 3.5 / 220), 1e-12);
  }
}

TEST(GridSolveParts, RelaxationLimitAndHighTolerance) {
  auto values = plain_grid();
  ParameterRecord r = sized(values);
  r.ShiftAlong = 1;
  GridNetwork net(r);
  set_start_heads(net);
  BuildNetwork(net);
  const NodeDraw draw(net.R);
  RelaxRandom random(3);
  const auto quiet = [](std::wstring_view) {};
  const RelaxResult cut = RelaxNetwork(net, draw, random, quiet, 50);
  EXPECT_FALSE(cut.converged);
  EXPECT_EQ(cut.stop, RelaxStop::Limit);
  EXPECT_EQ(cut.relaxations, 50);
  // A tolerance above the start residual still relaxes up to the first check
  // instead of passing the start heads off as a solution.
  net.record.Tolerance = 50;
  set_start_heads(net);
  const RelaxResult loose = RelaxNetwork(net, draw, random, quiet, kRelaxationLimit);
  EXPECT_TRUE(loose.converged);
  EXPECT_GT(loose.relaxations, 100LL * net.R);
  EXPECT_NEAR(loose.residual, residual(net), 1e-12);
}

TEST(GridSolveParts, NetworkBeyondAFewHundredNodes) {
  // 300 lines, 600 open: 2400 nodes with the outlets, far beyond what fixed
  // tables of 1400 nodes held; every node is drawn.
  auto values = plain_grid();
  values[2] = 10, values[3] = 300, values[8] = 600;
  ParameterRecord r = sized(values);
  r.ShiftAlong = 1;
  GridNetwork net(r);
  ASSERT_EQ(net.M, 1200);
  ASSERT_EQ(net.R, 1800);
  set_start_heads(net);
  BuildNetwork(net);
  EXPECT_EQ(net.table.CountLinks(net.R), 2);  // main 2's branch end of the far-end line
  EXPECT_EQ(net.table.FindLink(net.M, 2 * net.M), 0);  // the last sprinkler's outlet
  const NodeDraw draw(net.R);
  RelaxRandom random(5);
  const RelaxResult run = RelaxNetwork(net, draw, random, [](std::wstring_view) {}, 200 * net.R);
  EXPECT_EQ(run.relaxations, 200 * net.R);
  for (double h : net.heads) ASSERT_TRUE(std::isfinite(h));
  EXPECT_LT(net.heads[net.R], 10.0);  // the relaxation reached the last node
}
