#include "platform/command_wait.h"

#include "platform/host.h"

namespace dorv::ui {
namespace {

bool flag_exists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

}  // namespace

CommandWaitEnd run_command_file_until_flag_removed(const std::filesystem::path& folder, const std::wstring& command,
                                                   const std::filesystem::path& flag, const CommandFileCalls& calls) {
  const bool started = calls.start ? calls.start(command) : host().start_command_file(folder, command);
  if (!started) return CommandWaitEnd::NotStarted;
  for (;;) {
    if (calls.pause)
      calls.pause();
    else
      host().wait_one_second();
    if (!flag_exists(flag)) return CommandWaitEnd::FlagRemoved;
    const bool running = calls.running ? calls.running() : host().command_file_running();
    // Looked at once more: the command file may have removed the flag just
    // before it ended.
    if (!running) return flag_exists(flag) ? CommandWaitEnd::EndedWithFlag : CommandWaitEnd::FlagRemoved;
  }
}

}  // namespace dorv::ui
