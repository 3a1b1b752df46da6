// gridscan: finds the worst position of the fire square. For every position
// it runs "gridio i", then the network solver, reads the feed head from the
// answer and keeps the position that needs the highest; each new worst
// position's report goes to spr.out at once through "gridio o". The two
// programs lie in the current (program) folder and are started directly,
// with the command lines and file names a command interpreter would get. A
// few positions are on their way at once, each with its own files; they
// are reported, and their programs' console output shown, in scan order.
#pragma once
#include <string>
#include <vector>

#include "solvers/common/console.h"

namespace dorv::solvers {

// The rows (positions across the lines, 1 = far end) that a mode scans, in
// scan order; Y rows exist; feed_on_main1 when the feed lies on main 1.
std::vector<int> scan_rows(char mode, int Y, bool feed_on_main1);

// The whole program in the current folder; args after the program name.
int run_grid_scan(const std::vector<std::string>& args, const ConsoleOut& out);

}  // namespace dorv::solvers
