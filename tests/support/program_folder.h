// A scratch program folder for tests that run the console programs and the
// command files the way the desktop program does: in the folder itself,
// through the command interpreter.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "text/codepage.h"
#include "text/linefile.h"

namespace dorv::testing {

class ProgramFolder {
 public:
  ProgramFolder() {
    static int count = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("dorv_program_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ProgramFolder() { std::filesystem::remove_all(dir_); }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  bool has(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
  void put(const std::string& name, const std::string& bytes) const { write_bytes(dir_ / name, bytes); }
  std::string get(const std::string& name) const { return read_bytes(dir_ / name); }
  // A file the console programs write (code page 866), as program text.
  std::wstring text(const std::string& name) const { return from_cp866(get(name)); }
  // Copies a program (or command file) into the folder under the given name.
  void install(const std::filesystem::path& from, const std::string& name) const {
    std::filesystem::copy_file(from, dir_ / name, std::filesystem::copy_options::overwrite_existing);
  }
  // Runs a command in the folder; its exit code, and its console output in out.
  int run(const std::string& command, std::string* out = nullptr) const {
    const int rc = std::system(("cd '" + dir_.string() + "' && " + command + " > console.txt 2>&1").c_str());
    if (out) *out = get("console.txt");
    std::filesystem::remove(dir_ / "console.txt");
    return (rc != -1 && WIFEXITED(rc)) ? WEXITSTATUS(rc) : -1;
  }
  // Starts a command file with /bin/sh in the folder as a process group of
  // its own, lets it run for `after`, then signals the whole group with
  // SIGTERM, as closing the console window does, and waits for the command
  // file to end. False when it had ended before it could be stopped.
  bool run_and_stop(const std::string& script, std::chrono::milliseconds after) const {
    const pid_t pid = fork();
    if (pid == -1) return false;
    if (pid == 0) {
      setpgid(0, 0);
      if (chdir(dir_.c_str()) != 0) _exit(127);
      if (!freopen("/dev/null", "w", stdout)) _exit(127);
      execl("/bin/sh", "sh", script.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    setpgid(pid, pid);
    std::this_thread::sleep_for(after);
    int status = 0;
    const bool running = waitpid(pid, &status, WNOHANG) == 0;
    if (running) {
      kill(-pid, SIGTERM);
      waitpid(pid, &status, 0);
    }
    return running;
  }
  // Names of the files in the folder, sorted.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path dir_;
};

// The whitespace-separated fields of each line of a text.
inline std::vector<std::vector<std::string>> fields_by_line(const std::string& text) {
  std::vector<std::vector<std::string>> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::vector<std::string> f;
    for (std::string x; ls >> x;) f.push_back(x);
    out.push_back(f);
  }
  return out;
}

}  // namespace dorv::testing
