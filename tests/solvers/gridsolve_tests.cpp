#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "solvers/common/gridparams.h"
#include "solvers/gridsolve/gridsolve.h"
#include "solvers/gridsolve/newtonsolver.h"
#include "tests/solvers/grid_reference.h"
#include "tests/solvers/gridsolve_report.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"
#include "text/linefile.h"

using namespace dorv;
using namespace dorv::solvers;
using dorv::testing::grid_parameter_text;
using dorv::testing::ProgramFolder;
using namespace dorv::testing::gridsolve_report;

namespace {

// spr.in values in file order: a, b, sprinklers a line, lines, line pipe K,
// main 1 K, required head, K-factor, open sprinklers, tolerance, cross-pipe
// K, feed offset, riser height, main 2 K, ring K, dead ends 1, dead ends 2.
std::vector<double> plain_grid() {
  return {3, 3.5, 6, 4, 13.97, 110, 10, 0.47, 5, 0.01, 0, 0, 1.5, 110, 0, 1, 0};
}

// Branch line 3 of this grid carries almost nothing at the sixth shift, its
// mains standing at almost one head there; relaxing one node at a time
// crawls on such a line, and some random orders (17 among them) used to be
// given up as making no progress although the grid converges.
std::vector<double> idle_line_grid() { return {2, 1.5, 8, 4, 1262, 34.5, 13.99, 1.06, 2, 0.01, 0, 0, 0.3, 135, 0, 3, 1}; }

int run_grid_solve(const ProgramFolder& f, std::string* out = nullptr, const char* seed = "7") {
  f.install(GRIDSOLVE_EXE, "gridsolve");
  return f.run(std::string("GRIDSOLVE_SEED=") + seed + " ./gridsolve", out);
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
  auto ring_cross = plain_grid();
  ring_cross[3] = 5, ring_cross[8] = 6, ring_cross[10] = 110, ring_cross[11] = 4, ring_cross[13] = 28,
  ring_cross[14] = 40, ring_cross[16] = 1;
  auto dead_ends = plain_grid();  // 3 dead-end positions beyond each main: squares wholly beyond either
  dead_ends[0] = 3, dead_ends[1] = 3, dead_ends[2] = 9, dead_ends[3] = 3, dead_ends[8] = 4, dead_ends[15] = 3,
  dead_ends[16] = 3;
  auto single = plain_grid();  // one sprinkler: a column of one, no partial line
  single[8] = 1, single[3] = 3, single[2] = 5;
  auto hanging = plain_grid();  // lines 1.5 m below the mains
  hanging[12] = -1.5;
  const Case cases[] = {{"plain", plain},
                        {"ring and cross-pipe", ring_cross},
                        {"dead ends", dead_ends},
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

TEST(GridSolveProgram, ConvergesWhereALineCarriesAlmostNothing) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(idle_line_grid()));
  std::string console;
  ASSERT_EQ(run_grid_solve(f, &console, "17"), 0) << console;
  const ParameterRecord r = sized(idle_line_grid());
  const Report rep = read_report(f.get("spr.out"), r);
  ASSERT_GE(rep.shift, 1);
  expect_matches(rep, dorv::testing::solve_grid_exactly(r, rep.shift), r.MinHead, 0.005);
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
  // A grid slow enough to be stopped halfway, 195 shifts of half a million
  // relaxations each: seconds of work. The whole group is signalled, as
  // closing the console window does, after a second: time enough for the
  // command file to have set up its cleanup on a loaded machine.
  ProgramFolder f;
  prepare_command_run(f, {3, 3, 200, 40, 13.97, 110, 10, 0.47, 24, 0.01, 0, 0, 1.5, 110, 0, 2, 1});
  ASSERT_TRUE(f.run_and_stop("prom2.bat", std::chrono::milliseconds(1000)))
      << "the solver ended before it could be stopped";
  EXPECT_FALSE(f.has("prom.in"));
  EXPECT_EQ(f.get("spr.out"), "");
}

// ------------------------------------------------------------ parts of the solver

TEST(GridSolveParts, DrawReachesEveryNode) {
  for (int R : {9, 602, 603, 5000}) {
    const NodeDraw draw(R);
    EXPECT_EQ(draw.favours_ends(), R <= 602) << R;
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

TEST(GridSolveParts, NewtonStepsSolveALineOfAlmostNoFlow) {
  ParameterRecord r = sized(idle_line_grid());
  r.ShiftAlong = 6;
  GridNetwork net(r);
  set_start_heads(net);
  BuildNetwork(net);
  NewtonSolver newton(net);
  // From the start heads, far from the solution.
  const NewtonResult solved = newton.solve(net, 1e-6);
  EXPECT_LT(solved.residual, 1e-6);
  EXPECT_EQ(solved.residual, residual(net));
  EXPECT_LT(solved.steps, 20);
  const int q = r.LineCount;
  double weakest = net.heads[0];
  for (int j = 1; j <= r.SquareWidth; ++j) weakest = std::min(weakest, net.heads[2 * q + r.SquareLines * j]);
  const auto exact = dorv::testing::solve_grid_exactly(r, 6);
  ASSERT_TRUE(exact.converged);
  EXPECT_NEAR(net.heads[0] / weakest, exact.measure, 1e-9 * exact.measure);
  EXPECT_NEAR(std::sqrt(r.MinHead / weakest) * link_flow(net.table, net.heads, 3, net.M + 3), exact.rows[1].flow1, 1e-6);
  EXPECT_LT(std::fabs(exact.rows[1].flow1), 0.001);  // line 3, the second from the far end, carries almost nothing

  // Asked for more than the arithmetic holds, the steps stop where they no
  // longer lower the residual and leave the best heads they found.
  const NewtonResult floor = newton.solve(net, 0);
  EXPECT_TRUE(floor.stalled);
  EXPECT_LE(floor.residual, solved.residual);
  EXPECT_EQ(floor.residual, residual(net));
  EXPECT_LE(floor.residual, residual_rounding_level(net));
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
