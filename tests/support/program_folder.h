// A scratch program folder for tests that run the console programs and the
// command files the way the desktop program does: in the folder itself,
// through the command interpreter.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
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
