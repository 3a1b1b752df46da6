// The handshake with a solver command file: the caller creates a flag file,
// the command file is started without waiting, and the program pauses one
// second at a time, keeping the window alive, until the command file has
// removed the flag. A command file that could not be started, or that has
// ended and left its flag behind, ends the wait too: nothing would remove
// the flag any more, and the program would wait for ever.
//
// While such a wait is on, the host's one-second pause ends as soon as the
// command file has ended or its flag is gone (command_wait_may_end), so that
// a quick solver's results are not held back for the rest of a second.
#pragma once
#include <filesystem>
#include <functional>
#include <string>

namespace dorv::ui {

enum class CommandWaitEnd {
  FlagRemoved,    // the command file did its work
  NotStarted,     // the command file could not be started
  EndedWithFlag,  // the command file ended without removing the flag
};

// What the wait needs of the platform; an empty member takes the host's own
// (the one-second wait for the pause).
struct CommandFileCalls {
  std::function<bool(const std::wstring& name)> start;  // starts the command file, false when it could not
  std::function<bool()> running;                        // false once the command file has ended
  std::function<void()> pause;                          // the pause between looks at the flag
};

// Starts `command` in `folder` and waits while `flag` exists.
CommandWaitEnd run_command_file_until_flag_removed(const std::filesystem::path& folder, const std::wstring& command,
                                                   const std::filesystem::path& flag,
                                                   const CommandFileCalls& calls = {});

// True while a wait of run_command_file_until_flag_removed is on and its next
// look would end it: the flag is gone or the command file has ended. False
// outside such a wait. The hosts' one-second pause returns as soon as this
// holds.
bool command_wait_may_end();

}  // namespace dorv::ui
