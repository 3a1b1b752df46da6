// Starting programs: a command file of the program folder, run by /bin/sh in
// that folder without waiting for it.
#pragma once
#include <filesystem>
#include <string>

namespace dorv::sys {

// Starts "/bin/sh <name>" with the given folder as its current folder and
// returns at once. The child is reaped in the background. False when it
// could not be started.
bool start_command_file(const std::filesystem::path& folder, const std::wstring& name);
// False once the command file last started here has ended; true while it
// runs, and when none was started here (nothing is known of it then).
bool last_command_file_running();

// Opens a file with the desktop's associated application (xdg-open), without
// waiting. False when the request could not be made.
bool open_with_desktop(const std::filesystem::path& file);

}  // namespace dorv::sys
