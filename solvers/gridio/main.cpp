#include <filesystem>
#include <string>
#include <vector>

#include "solvers/gridio/gridio.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return dorv::solvers::run_grid_io(args, std::filesystem::current_path(), dorv::solvers::stdout_console());
}
