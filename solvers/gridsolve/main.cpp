// gridsolve: no arguments; works on spr.in in the current folder and leaves
// spr.out there.
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "solvers/gridsolve/gridsolve.h"
#include "text/number.h"

int main() {
  // The relaxation's random order comes from the clock; GRIDSOLVE_SEED fixes
  // it so that a run can be repeated exactly.
  std::uint32_t seed = static_cast<std::uint32_t>(std::time(nullptr));
  if (const char* fixed = std::getenv("GRIDSOLVE_SEED"); fixed && *fixed) {
    long long fixed_seed = 0;
    dorv::scan_whole(fixed, fixed_seed);
    seed = static_cast<std::uint32_t>(fixed_seed);
  }
  std::error_code ec;
  const auto folder = std::filesystem::current_path(ec);
  return dorv::solvers::RunGridSolveProgram(ec ? std::filesystem::path(".") : folder, seed,
                                            dorv::solvers::stdout_console());
}
