#include <string>
#include <vector>

#include "solvers/gridscan/gridscan.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return dorv::solvers::run_grid_scan(args, dorv::solvers::stdout_console());
}
