// gridsolve on grids that converge slowly: each relaxation goes on for as
// long as its residual falls, however many relaxations that takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "solvers/common/gridparams.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"

using namespace dorv;
using namespace dorv::solvers;
using dorv::testing::grid_parameter_text;
using dorv::testing::ProgramFolder;

namespace {

// The largest relaxation count among the console's closing lines of the
// shifts ("Сдвиг: 1, погрешность: 0.008640, итераций: 77066101").
long long most_relaxations(const std::string& console) {
  const std::string mark = to_utf8(L"итераций:");
  long long most = 0;
  for (std::size_t at = console.find(mark); at != std::string::npos; at = console.find(mark, at + 1))
    most = std::max(most, std::stoll(console.substr(at + mark.size())));
  return most;
}

}  // namespace

TEST(GridSolveSlowGrid, RelaxesOnUntilTheResidualReachesTheTolerance) {
  // 27 nodes relaxed; the residual of the first shift falls as 1/relaxations
  // and reaches the tolerance 0.01 only after more than 2 million
  // relaxations a node, where the relaxation used to be given up.
  const std::vector<double> grid{2, 4, 9, 6, 110, 16.5, 5, 0.47, 3, 0.01, 0, 0, 0.3, 16.5, 0, 1, 2};
  for (const char* seed : {"1", "7"}) {
    SCOPED_TRACE(seed);
    ProgramFolder f;
    f.install(GRIDSOLVE_EXE, "gridsolve");
    f.put("spr.in", grid_parameter_text(grid));
    std::string console;
    ASSERT_EQ(f.run(std::string("GRIDSOLVE_SEED=") + seed + " ./gridsolve", &console), kExitDone) << console;
    EXPECT_GT(most_relaxations(console), 2000000LL * 27);
    EXPECT_EQ(from_cp866(f.get("spr.out")).substr(0, 36), L"Давления во вскрывшихся спринклерах:");
  }
}
