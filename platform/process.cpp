#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "text/codepage.h"

extern char** environ;

namespace dorv::sys {
namespace {

std::mutex last_command_mutex;
std::shared_ptr<std::atomic<bool>> last_command_running;

// `running` (when given) turns false once the child has ended.
bool spawn_detached(const std::filesystem::path& folder, std::vector<std::string> args,
                    std::shared_ptr<std::atomic<bool>> running = nullptr) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  // Reap the child when it ends, so that no zombie stays behind.
  std::thread([pid, running] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (running) *running = false;
  }).detach();
  return true;
}

}  // namespace

bool start_command_file(const std::filesystem::path& folder, const std::wstring& name) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(folder / std::filesystem::path(to_utf8(name)), ec)) return false;
  auto running = std::make_shared<std::atomic<bool>>(true);
  if (!spawn_detached(folder, {"/bin/sh", to_utf8(name)}, running)) return false;
  std::lock_guard lock(last_command_mutex);
  last_command_running = running;
  return true;
}

bool last_command_file_running() {
  std::lock_guard lock(last_command_mutex);
  return !last_command_running || *last_command_running;
}

bool open_with_desktop(const std::filesystem::path& file) { return spawn_detached({}, {"xdg-open", file.string()}); }

}  // namespace dorv::sys
