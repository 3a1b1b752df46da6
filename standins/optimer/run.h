// The whole program on one problem file, as the command line runs it: the
// answer beside it is emptied first, then the problem is read, solved and
// the answer written.
#pragma once
#include <filesystem>
#include <string>

namespace dorv::optimer {

// Exit codes: 0 solved, 2 problem file not readable, 5 invalid problem,
// 6 no solution, 7 answer file not writable. message gets what the program
// prints (empty when solved).
int run_optimer(const std::filesystem::path& problem_path, std::wstring& message);

}  // namespace dorv::optimer
