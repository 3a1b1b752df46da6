// dorv-scenario [--real-wait] FOLDER SCRIPT: runs the desktop program's forms in
// the laid-out program folder FOLDER on the headless host and acts out SCRIPT.
// --real-wait keeps the program's one-second pause as it is, so that a whole
// run can be timed as a user sees it.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/scenario/runner.h"

int main(int argc, char** argv) {
  const bool real_wait = argc > 1 && std::string(argv[1]) == "--real-wait";
  if (real_wait) --argc, ++argv;
  if (argc != 3) {
    std::cerr << "usage: dorv-scenario [--real-wait] FOLDER SCRIPT\n";
    return dorv::scenario::kBadCommandLine;
  }
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::cerr << "dorv-scenario: cannot read the script " << argv[2] << "\n";
    return dorv::scenario::kBadCommandLine;
  }
  std::vector<std::string> script;
  for (std::string line; std::getline(in, line);) script.push_back(line);
  return dorv::scenario::run_scenario(argv[1], script, std::cout, std::cerr, real_wait);
}
