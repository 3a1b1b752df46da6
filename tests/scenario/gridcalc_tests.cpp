// Whole grid calculations through dorv-scenario: a new calculation typed in
// from the register, "Пуск" answered through the feed pipeline dialogue, the
// real command files and solvers run, and the calculation saved. The four
// results are checked against a hand calculation of the grid.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <sstream>

#include "tests/scenario/scenario.h"
#include "text/number.h"
#include "text/strings.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

// The transcript's own lines: boxes, shown controls, list items and the end,
// without what the solvers print on the console meanwhile, and without the
// results, which are compared with the hand calculation.
std::string transcript(const std::string& out) {
  std::istringstream in(out);
  std::string kept;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Form2.Text5(", 0) == 0) continue;
    if (line.rfind("MSGBOX ", 0) == 0 || line.rfind("INPUTBOX ", 0) == 0 || line.rfind("Form", 0) == 0 ||
        (line.rfind("    ", 0) == 0 && line.find(" | ") != std::string::npos) || line == "END")
      kept += line + "\n";
  }
  return kept;
}

// The value shown in a control, "Form2.Text5(1) =  11.3" -> 11.3.
double shown(const std::string& out, const std::string& control) {
  const std::string key = control + " = ";
  const auto at = out.find(key);
  if (at == std::string::npos) return NAN;
  double v = NAN;
  std::string rest = out.substr(at + key.size());
  while (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
  dorv::scan_decimal(rest, v);
  return v;
}

// Loss coefficient R (loss = R·Q²) of two paths in parallel.
double parallel(double r1, double r2) {
  const double g = 1 / std::sqrt(r1) + 1 / std::sqrt(r2);
  return 1 / (g * g);
}
double round2(double x) { return std::floor(x * 100 + 0.5) / 100; }
double cut2(double x) { return std::floor(x * 100) / 100; }

// The grid of both scripts: 2 branch lines of 2 sprinklers, spacings a = b = 3 m,
// branch lines of 25 mm pipe (K_T 3.44), both mains 40 mm (K_T 28.7), K 0.47,
// free head 10 m, a design area of 9 m² (one sprinkler open); feed 5 m of 50 mm
// pipe (K_T 110) to a 50 mm water-filled valve (ξ 0.0053).
constexpr double a = 3, b = 3, K5 = 3.44, K6 = 28.7, K14 = 28.7, H0 = 10, K = 0.47;
constexpr double FeedLength = 5, FeedK = 110, Xi = 0.0053;

// The four results from the grid's head at its inlet and the rows' height Dz
// over the pipes: the friction loss gets the 20 % reserve.
std::array<double, 4> results(double grid_head, double dz, double xi = Xi) {
  const double head = round2(grid_head);
  const double flow = round2(K * std::sqrt(H0));  // one open sprinkler at the free head
  const double control_unit = round2(head + FeedLength * flow * flow / FeedK);
  const double above = dz + H0 + 1.2 * (control_unit - dz - H0);
  return {flow, cut2(dz + H0 + 1.2 * (head - H0 - dz)), cut2(above), round2(above + xi * flow * flow)};
}

struct ScriptRun {
  std::string script;
  std::array<double, 4> expected;
  double tolerance;  // the solver's own tolerance reaches the second decimal for the relaxation
  std::string options;
  // What the script leaves in the program folder.
  std::function<void(const ScenarioFolder&)> check_files = [](const ScenarioFolder& folder) {
    // Saved: the record with the run's totals and results, and the catalog entry.
    const std::wstring record = folder.get("perform/1in.prr");
    EXPECT_NE(record.find(L"\r\n5d50\r\n"), std::wstring::npos);
    EXPECT_EQ(folder.get("prr.kat"), L" 1-R\r\n5/26\r\nНасосная\r\n");
  };
};

// The English report of the prom2.bat grid printed after a field was edited
// and typed back: the run's input, and its sprinkler read from gridsolve's
// spr.out.
void check_english_report_of_the_run(const ScenarioFolder& folder) {
  const std::wstring report = folder.get("rezangl.txt");
  EXPECT_NE(report.find(L"Number of sprinklers in the left cantilever      - 1\r\n"), std::wstring::npos);
  EXPECT_NE(report.find(L"Number of sprinklers in the right cantilever     - No\r\n"), std::wstring::npos);
  // The open sprinkler at its free head of 10 m (14.2 psi) or a little above.
  const std::size_t row = report.find(L"1  Pressure, psi|");
  ASSERT_NE(row, std::wstring::npos) << dorv::to_utf8(report);
  double psi = 0;
  dorv::scan_decimal(dorv::ltrim(report.substr(report.find(L'|', row) + 1, 10)), psi);
  EXPECT_GT(psi, 14.2);
  EXPECT_LT(psi, 16);
}

TEST(GridCalculation, WholeRunsThroughBothSolversMatchAHandCalculation) {
  const double q2 = K * K * H0;  // the open sprinkler's flow squared
  // prom1.bat: no dead ends, no height; the mains L = 2a apart. The worst
  // position puts the open sprinkler on the far line next to main 2: from
  // main 1's first node, along main 1 and 1.5a of the far line, or across the
  // near line, along main 2 and 0.5a of the far line. The head is the feed's,
  // half a line spacing before main 1's first node.
  const double L1 = 2 * a;
  const double worst1 = parallel(b / K6 + 1.5 * a / K5, L1 / K5 + b / K14 + 0.5 * a / K5);
  const double head1 = H0 + q2 * (b / (2 * K6) + worst1);
  // prom2.bat: one dead-end sprinkler beyond main 1, the lines 1 m above the
  // pipes (risers of 1 m of the branch-line pipe), L = a. The worst shift
  // opens the dead-end sprinkler of the far line: half a spacing from its
  // branch end, which is reached up the far riser from main 1, or up the
  // near riser, across the near line, down and along main 2, up and back
  // across the far line. The head is taken at main 1's first node.
  const double h = 1, L2 = a;
  const double worst2 =
      parallel(b / K6 + h / K5, 3 * h / K5 + 2 * L2 / K5 + b / K14) + 0.5 * a / K5;
  const double head2 = H0 + q2 * worst2 + h;
  // One run with the program's real one-second pause, which ends with the
  // command file.
  const std::vector<ScriptRun> runs{{"grid_run_prom1", results(head1, 0), 0.001, "--real-wait"},
                                    {"grid_run_prom2", results(head2, h), 0.021, ""},
                                    // The valve's coefficient typed as 0,0025.
                                    {"grid_print_after_edit", results(head2, h, 0.0025), 0.021, "",
                                     check_english_report_of_the_run}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.script);
    ScenarioFolder folder(false);
    const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / (run.script + ".txt"), run.options);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(transcript(r.out), dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / (run.script + ".out")));
    for (int i = 0; i < 4; ++i)
      EXPECT_NEAR(shown(r.out, "Form2.Text5(" + std::to_string(i) + ")"), run.expected[i], run.tolerance) << i;
    run.check_files(folder);
    EXPECT_FALSE(folder.has("prom.in"));
  }
}

// Feed pipelines that no building has, or that would be read as some other
// pipeline, a fall that leaves no head at the control unit and a spacing
// longer than any number: each run ends in its message, no result is shown
// and nothing is stored.
TEST(GridCalculation, RefusesFeedSectionsAndValuesNoBuildingHas) {
  ScenarioFolder folder(false);
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "grid_feed_refusals.txt");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(transcript(r.out), dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / "grid_feed_refusals.out"));
  std::size_t empty_results = 0;
  for (std::size_t at = 0; (at = r.out.find("Form2.Text5(3) = \n", at)) != std::string::npos; ++at) ++empty_results;
  EXPECT_EQ(empty_results, 2u);
  EXPECT_FALSE(folder.has("perform/1in.prr"));
  EXPECT_FALSE(folder.has("perform/1res.prr"));
}

}  // namespace
