#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solvers/common/gridparams.h"
#include "solvers/gridio/gridio.h"
#include "solvers/gridio/position.h"
#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "tests/support/comma_locale.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"

namespace fs = std::filesystem;
using namespace dorv;
using namespace dorv::solvers;
using dorv::testing::grid_parameter_text;
using dorv::testing::ProgramFolder;

namespace {

// Two lines of three sprinklers 3 m apart, two open: the square is one line
// of two, line 1 a plain pipe; fed on the cross-pipe end of main 1.
const std::vector<double> kSmallGrid = {3, 3, 3, 2, 110, 572, 10, 0.47, 2, 0.0005, 0, 0, 0, 572, 0, 0, 0};

std::string console;
const ConsoleOut kOut = [](std::wstring_view t) { console += to_utf8(t); };

int gridio(const ProgramFolder& f, std::vector<std::string> args) {
  console.clear();
  return run_grid_io(args, f.dir(), kOut);
}

ParameterRecord record(const std::vector<double>& values) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(values));
  const auto load = load_grid_parameters(f / "spr.in", GridProgram::GridIo);
  EXPECT_EQ(load.exit_code, kExitDone);
  return load.record;
}

// The rows of the branch-line table of a position report: number, head, Q1, Q2, head.
std::vector<std::vector<double>> end_rows(const std::wstring& report) {
  std::vector<std::vector<double>> rows;
  for (const auto& f : dorv::testing::fields_by_line(to_utf8(report))) {
    if (f.size() == 5 && std::isdigit(static_cast<unsigned char>(f[0][0])) && f[0].find('.') == std::string::npos) {
      std::vector<double> v;
      for (const auto& x : f) v.push_back(std::stod(x));
      rows.push_back(v);
    }
  }
  return rows;
}

// Solves the position's problem file with the network solver and leaves its
// answer, as the scan does.
void solve_position(const ProgramFolder& f, const std::string& stem) {
  const auto problem = optimer::parse_problem(f.get(stem + ".in"));
  f.put(stem + ".out", optimer::format_answer(problem, optimer::solve_problem(problem)));
}

}  // namespace

TEST(GridIoProblem, ProblemFileOfAKnownPosition) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(kSmallGrid));
  ASSERT_EQ(gridio(f, {"i", "1", "1"}), 0) << console;
  EXPECT_EQ(console, "");
  // By hand: feed k = sqrt(2*572/3); square line 2: main 1 to column 1 over
  // half a spacing sqrt(110/1.5), column to column sqrt(110/3), column 2 to
  // main 2 over one and a half spacings sqrt(110/4.5); line 1 plain
  // sqrt(110/9); mains sqrt(572/3).
  EXPECT_EQ(f.get("spr1_1.in"),
            "0.000500000000000  0.000500000000000  200000\r\n"
            " 0  p  100.00000000  1   5  19.52775802  \r\n"
            " 1  p             0  1   3   0.47000000\r\n"
            " 2  p             0  1   4   0.47000000\r\n"
            " 3  o   10.00000000  3   1   0.47000000   6   8.56348839   4   6.05530071  \r\n"
            " 4  o   10.00000000  3   2   0.47000000   3   6.05530071   8   4.94413232  \r\n"
            " 5  v   10.00000000  3   7   3.49602949   6  13.80821012   0  19.52775802  \r\n"
            " 6  v   10.00000000  2   3   8.56348839   5  13.80821012  \r\n"
            " 7  v   10.00000000  2   5   3.49602949   8  13.80821012  \r\n"
            " 8  v   10.00000000  2   4   4.94413232   7  13.80821012  \r\n");
  ASSERT_EQ(gridio(f, {"i", "1", "1", "0.01"}), 0);
  EXPECT_EQ(f.get("spr1_1.in").substr(0, 46), "0.010000000000000  0.000500000000000  200000\r\n");
}

TEST(GridIoProblem, NumbersKeepTheirPointUnderACommaDecimalLocale) {
  dorv::testing::CommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no comma-decimal locale here";
  // Every value with a fraction where its field takes one.
  const std::vector<double> v = {2.75, 3.125, 12, 5, 13.97, 110.5, 10.25, 0.47, 14, 0.0005, 572.3, -6.35, 0, 36.9, 0.5, 0, 0};
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(v));
  ASSERT_EQ(f.get("spr.in").find(','), std::string::npos);
  const auto load = load_grid_parameters(f / "spr.in", GridProgram::GridIo);
  ASSERT_EQ(load.exit_code, kExitDone);
  const ParameterRecord& r = load.record;
  const double read[] = {r.SprinklerSpacing, r.LineSpacing, double(r.SprinklersPerLine), double(r.LineCount),
                         r.LinePipeK, r.MainPipeK, r.MinHead, r.SprinklerK, double(r.OpenCount), r.Tolerance,
                         r.CrossPipeK, r.FeedOffset, r.RiserHeight, r.SecondMainK, r.RingPipeK,
                         double(r.DeadEnds1), double(r.DeadEnds2)};
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_EQ(read[i], v[i]) << "line " << i + 1;
  // What the program writes keeps the point too, the tolerance argument read
  // with it.
  ASSERT_EQ(gridio(f, {"i", "1", "1", "0.0025"}), 0) << console;
  const std::string problem = f.get("spr1_1.in");
  EXPECT_EQ(problem.substr(0, 46), "0.002500000000000  0.000500000000000  200000\r\n");
  EXPECT_EQ(problem.find(','), std::string::npos);
}

TEST(GridIoProblem, FeedPositionsOnMainOne) {
  struct Case {
    double offset, b;
    int Lf;
    double Md;
    int feed_node;
  };
  const Case cases[] = {
      {-9, 3, 3, 1.5, 0},   // between main nodes 3 and 4
      {-6.1, 4, 2, 0, 2},   // within 0.2 m of node 2: node 2 is the feed
      {-0.3, 3, 0, 1.8, 0}, // before node 1
      {0, 3, 0, 0, 0},      // on the cross-pipe
  };
  for (const auto& c : cases) {
    auto v = kSmallGrid;
    v[1] = c.b, v[3] = 6, v[11] = c.offset;
    const auto feed = locate_feed(record(v));
    EXPECT_EQ(feed.Lf, c.Lf) << c.offset;
    EXPECT_NEAR(feed.Md, c.Md, 1e-12) << c.offset;
    EXPECT_EQ(feed.FeedNode, c.feed_node) << c.offset;
  }
  auto v = kSmallGrid;
  v[3] = 6, v[11] = -9;
  const PositionNetwork between(record(v), 1, 1);
  for (int node : {3, 4}) {
    const int s = between.table.FindLink(node, 0);
    ASSERT_GE(s, 0) << node;
    EXPECT_DOUBLE_EQ(between.table.conductance_at(node, s), std::sqrt(572 / 1.5));
    EXPECT_LT(between.table.FindLink(node, node == 3 ? 4 : 3), 0);  // the feed node sits between them
  }
  v[1] = 4, v[11] = -6.1;
  const PositionNetwork snapped(record(v), 1, 1);
  // Main node 2 is written as node 0; the main numbers after it close up.
  const int n = snapped.M - 2 * 6;
  EXPECT_EQ(RenumberNode(2, snapped.M, 6, 2), 0);
  EXPECT_EQ(RenumberNode(1, snapped.M, 6, 2), 2 * n + 1);
  EXPECT_EQ(RenumberNode(3, snapped.M, 6, 2), 2 * n + 2);
  const std::wstring text = problem_file_text(snapped, 0.0005);
  EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 1 + 2 * n + 12);  // header, feed, outlets, sprinklers, 11 mains
}

TEST(GridIoProblem, FeedAtTheFarEndOfMainOneAsTyped) {
  // The feed at the far end of main 1 (offset -q*b, typed to two decimals)
  // with a ring there: half a spacing beyond node q is the ring's own end,
  // whatever the rounding of q*b. Neither a refusal nor a conductance from
  // the root of a rounding error below 0.
  for (int q = 2; q <= 30; ++q) {
    for (double b : {1.5, 2.05, 2.4, 2.5, 3.0, 3.3, 3.6, 4.1}) {
      auto v = kSmallGrid;
      v[1] = b, v[3] = q, v[14] = 572;
      v[11] = -std::round(q * b * 100) / 100;
      SCOPED_TRACE(::testing::Message() << q << " lines at " << b << " m, offset " << v[11]);
      ProgramFolder f;
      f.put("spr.in", grid_parameter_text(v));
      const auto load = load_grid_parameters(f / "spr.in", GridProgram::GridIo);
      ASSERT_EQ(load.exit_code, kExitDone);
      const PositionNetwork net(load.record, 1, 1);
      ASSERT_EQ(net.feed.Lf, q);
      const int s = net.table.FindLink(2 * q, 0);
      ASSERT_GE(s, 0);
      const double ring = SeriesRule(std::sqrt(2 * 572 / b), std::sqrt(572 / 9.0));  // L = 3 * 3 m
      if (std::fabs(0.5 * b - net.feed.Md) < 1e-6) EXPECT_DOUBLE_EQ(net.table.conductance_at(2 * q, s), ring);
      else EXPECT_LT(net.table.conductance_at(2 * q, s), ring);
      const std::wstring text = problem_file_text(net, 0.0005);
      EXPECT_EQ(text.find(L"nan"), std::wstring::npos) << to_utf8(text);
    }
  }
}

TEST(GridIoProblem, FeedBeforeNodeOneWithACrossPipeGetsNoCrossPipeShare) {
  // The offset is negative here; its square root must not reach the file.
  auto v = kSmallGrid;
  v[10] = 572, v[11] = -0.3;
  const PositionNetwork net(record(v), 1, 1);
  const int s = net.table.FindLink(1, 0);
  ASSERT_GE(s, 0);
  EXPECT_DOUBLE_EQ(net.table.conductance_at(1, s), std::sqrt(572 / 1.2));
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(v));
  ASSERT_EQ(gridio(f, {"i", "1", "1"}), 0);
  const std::string text = f.get("spr1_1.in");
  EXPECT_EQ(text.find("nan"), std::string::npos) << text;
  EXPECT_NO_THROW(optimer::parse_problem(text));
}

TEST(GridIoProblem, RefusedShiftsWriteNothing) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(kSmallGrid));  // 2 positions along, 2 across
  const std::vector<std::vector<std::string>> refused = {
      {"i", "0", "1"}, {"i", "1", "0"}, {"i", "-1", "1"}, {"i", "1.5", "1"}, {"i", "1x", "1"},
      {"i", "+1", "1"}, {"i", "3", "1"}, {"i", "1", "3"}, {"o", "1", "0"}};
  for (const auto& args : refused) {
    EXPECT_EQ(gridio(f, args), kExitBadShift) << args[1] << " " << args[2];
    EXPECT_NE(console.find("Недопустимые значения сдвига"), std::string::npos);
  }
  EXPECT_EQ(f.files(), std::vector<std::string>{"spr.in"});
  EXPECT_EQ(gridio(f, {"x", "1", "1"}), kExitUsage);
  EXPECT_EQ(gridio(f, {"i", "1"}), kExitUsage);
}

TEST(GridIoReport, ReportOfAFixedAnswer) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(kSmallGrid));
  f.put("spr1_1.out",
        "0 10.1180789884 2.9733328574\r\n1 0.0000000000 1.4870623571\r\n2 0.0000000000 1.4862705003\r\n"
        "3 10.0106584607 1.4870623571 0.000000000001\r\n4 10.0000000000 1.4862705003 0.000000000001\r\n"
        "5 10.0948953129 2.9733328574 0.000000000001\r\n6 10.0714961873 2.1122105209 0.000000000001\r\n"
        "7 10.0342245391 0.8611223365 0.000000000001\r\n8 10.0303353869 0.8611223365 0.000000000002\r\n");
  ASSERT_EQ(gridio(f, {"o", "1", "1"}), 0) << console;
  EXPECT_EQ(f.text("spr.out"),
            L"Давления во вскрывшихся спринклерах:\r\n"
            L" 10.01    10.00   \r\n"
            L"\r\n\r\nСмещение квадрата пожара:\r\n вправо  -   1,        вниз  -   1\r\n"
            L"\r\nПолный напор:    10.12\r\nПолный расход:   2.973\r\nПогрешность:    0.00000000\r\n"
            L"\r\nПараметры концов рядков:\r\n        Напор     Расход     Расход      Напор\r\n"
            L"        слева     слева      справа      справа\r\n"
            L" 1      10.07      2.112      0.861      10.03\r\n"
            L" 2      10.09      0.861     -0.861      10.03\r\n");
}

TEST(GridIoReport, RowsOfDeadEndLinesAddUpToTheTotalFlow) {
  // Five sprinklers a line, one beyond each main, a cross-pipe and a ring:
  // at A = 1 the square holds the dead end beyond main 1, at A = 3 the one
  // beyond main 2. Every drop that enters the grid enters a branch line.
  const std::vector<double> v = {3, 3, 5, 3, 110, 572, 10, 0.47, 4, 0.0005, 572, 4, 0, 572, 572, 1, 1};
  for (const char* along : {"1", "3"}) {
    ProgramFolder f;
    f.put("spr.in", grid_parameter_text(v));
    ASSERT_EQ(gridio(f, {"i", along, "1"}), 0) << console;
    const std::string stem = std::string("spr") + along + "_1";
    solve_position(f, stem);
    ASSERT_EQ(gridio(f, {"o", along, "1"}), 0) << console;
    const auto report = f.text("spr.out");
    const auto rows = end_rows(report);
    ASSERT_EQ(rows.size(), 3u) << to_utf8(report);
    double intake = 0;
    for (const auto& r : rows) intake += r[2] + r[3];
    const auto total = report.find(L"Полный расход:");
    EXPECT_NEAR(intake, std::stod(to_utf8(report.substr(total + 14, 10))), 0.003) << to_utf8(report);
  }
}

TEST(GridIoReport, MissingShortOrForeignAnswerLeavesSprOutEmpty) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(kSmallGrid));
  ASSERT_EQ(gridio(f, {"i", "1", "1"}), 0);
  solve_position(f, "spr1_1");
  const std::string good = f.get("spr1_1.out");
  const std::string bad[] = {
      "",                                       // the solver failed
      good.substr(0, good.rfind("8 ")),         // cut short
      good.substr(0, good.find(' ')) + " nan" + good.substr(good.find(' ', 2)),  // not finite
      good + "9 10.0 1.0 0.1\r\n",              // one node more: another problem's answer
  };
  for (const auto& answer : bad) {
    f.put("spr.out", "report of an earlier run");
    f.put("spr1_1.out", answer);
    EXPECT_EQ(gridio(f, {"o", "1", "1"}), kExitNoAnswer) << answer;
    EXPECT_NE(console.find("spr1_1.out"), std::string::npos);
    EXPECT_EQ(f.get("spr.out"), "");
  }
  fs::remove(f / "spr1_1.out");
  f.put("spr.out", "report of an earlier run");
  EXPECT_EQ(gridio(f, {"o", "1", "1"}), kExitNoAnswer);
  EXPECT_EQ(f.get("spr.out"), "");
}

TEST(GridIoReport, RingAndCrossPipeRowsUseTheirOwnLinks) {
  // Feed on main 1 between nodes 1 and 2, a cross-pipe and a ring; the square
  // one row in from the far end, so lines 1 and 6 are plain pipes that join
  // the same main nodes as the cross-pipe and the ring do.
  const std::vector<double> v = {3, 3, 8, 6, 110, 572, 10, 0.47, 12, 0.0005, 300, -4, 0, 400, 200, 0, 0};
  const PositionNetwork net(record(v), 1, 2);
  ASSERT_EQ(net.feed.Lf, 1);
  PositionAnswer a;
  a.heads.assign(static_cast<std::size_t>(net.M) + 1, 10.0);
  a.heads[1] = 20, a.heads[7] = 16;   // main 1 and main 2 at line 1
  a.heads[6] = 15, a.heads[12] = 12;  // main 1 and main 2 at line 6
  const std::wstring report = position_report(net, a);
  const double L = 24, b = 3;
  const double k_cross = SeriesRule(SeriesRule(std::sqrt(2 * 400 / b), std::sqrt(300 / L)), std::sqrt(2 * 572 / b));
  const double k_ring = SeriesRule(SeriesRule(std::sqrt(2 * 400 / b), std::sqrt(200 / L)), std::sqrt(2 * 572 / b));
  const double k_line = std::sqrt(110 / L);
  std::vector<std::vector<double>> mains;  // the two "маг" rows: ring first, cross-pipe last
  for (const auto& f : dorv::testing::fields_by_line(to_utf8(report)))
    if (!f.empty() && f[0] == "маг") mains.push_back({std::stod(f[2]), std::stod(f[3])});
  ASSERT_EQ(mains.size(), 2u) << to_utf8(report);
  EXPECT_NEAR(mains[0][1], -k_ring * std::sqrt(3.0), 0.0006);     // from main 2 into the ring
  EXPECT_NEAR(mains[1][1], -k_cross * std::sqrt(4.0), 0.0006);    // from main 2 into the cross-pipe
  const auto rows = end_rows(report);
  EXPECT_NEAR(rows[0][2], k_line * std::sqrt(3.0), 0.0006);       // line 6, plain
  EXPECT_NEAR(rows[5][2], k_line * std::sqrt(4.0), 0.0006);       // line 1, plain
}
