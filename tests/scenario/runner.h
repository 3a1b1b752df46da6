// dorv-scenario: acts out a script of user actions on the desktop program's
// forms on the headless host, and prints every box as it is answered, so that
// a whole-program test is a plain script with its expected output.
#pragma once
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace dorv::scenario {

// Exit codes of the runner besides 0 (the script ran out).
enum ExitCode {
  kBadCommandLine = 1,
  kUnansweredBox = 3,   // a box came with no answer queued
  kScriptError = 4,     // unknown form, control or action, or one that cannot be done now
  kProcedureError = 5,  // an error escaped an event procedure
  kStoppedInSave = 9,   // stopped dead inside a save (stop-after-save-step)
};

// Runs the program in `folder` and acts out the script's lines (UTF-8 text).
// The transcript goes to `out`, diagnostics to `err`. Returns the exit code.
// The program's one-second pause is shortened unless real_wait is set.
int run_scenario(const std::filesystem::path& folder, const std::vector<std::string>& script, std::ostream& out,
                 std::ostream& err, bool real_wait = false);

}  // namespace dorv::scenario
