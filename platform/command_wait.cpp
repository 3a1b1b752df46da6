#include "platform/command_wait.h"

#include "platform/host.h"

namespace dorv::ui {
namespace {

bool flag_exists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

// The wait in progress, for the pause to look at. The program has one window
// thread, and a wait does not nest in another (the form is busy during it);
// should one do so all the same, the inner wait is looked at until it ends.
struct ActiveWait {
  const std::filesystem::path& flag;
  const std::function<bool()>& running;
};
const ActiveWait* active_wait = nullptr;

bool command_file_running(const std::function<bool()>& running) {
  return running ? running() : host().command_file_running();
}

}  // namespace

CommandWaitEnd run_command_file_until_flag_removed(const std::filesystem::path& folder, const std::wstring& command,
                                                   const std::filesystem::path& flag, const CommandFileCalls& calls) {
  const bool started = calls.start ? calls.start(command) : host().start_command_file(folder, command);
  if (!started) return CommandWaitEnd::NotStarted;
  const ActiveWait wait{flag, calls.running};
  struct Scope {
    const ActiveWait* outer;
    explicit Scope(const ActiveWait* w) : outer(active_wait) { active_wait = w; }
    ~Scope() { active_wait = outer; }
  } scope(&wait);
  for (;;) {
    if (calls.pause)
      calls.pause();
    else
      host().wait_one_second();
    if (!flag_exists(flag)) return CommandWaitEnd::FlagRemoved;
    const bool running = command_file_running(calls.running);
    // Looked at once more: the command file may have removed the flag just
    // before it ended.
    if (!running) return flag_exists(flag) ? CommandWaitEnd::EndedWithFlag : CommandWaitEnd::FlagRemoved;
  }
}

bool command_wait_may_end() {
  if (!active_wait) return false;
  return !flag_exists(active_wait->flag) || !command_file_running(active_wait->running);
}

}  // namespace dorv::ui
