// gridio: "gridio i A B [pog]" writes the problem file spr<A>_<B>.in of one
// fire-square position for the network solver; "gridio o A B" turns the
// solver's answer spr<A>_<B>.out into spr.out.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "solvers/common/console.h"

namespace dorv::solvers {

// Exit code of mode o when the solver's answer is missing, short, not
// finite or not the answer to this position's problem; spr.out is then left
// empty.
inline constexpr int kExitNoAnswer = 7;

// True for a shift text that is a whole number as the file names need it:
// digits only.
bool is_shift_text(const std::string& text);

// The whole program; args are the arguments after the program name, folder
// the program folder (the current folder of a real run). Every exit other
// than 0 in mode o leaves spr.out empty, in mode i no problem file of the
// position; a problem or report that would hold a number beyond the
// arithmetic, or beyond any installation, is not written (exit 5).
int run_grid_io(const std::vector<std::string>& args, const std::filesystem::path& folder, const ConsoleOut& out);

}  // namespace dorv::solvers
