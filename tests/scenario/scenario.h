// What a whole-program test needs around dorv-scenario: a laid-out program
// folder (data tables, example pack, command files and solver programs, an
// executor, the all-users mirror off) and a run of the runner on a script.
// Include it in a test built with the definitions that
// tests/scenario/CMakeLists.txt gives scenario_tests.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "text/linefile.h"

namespace dorv::scenario_test {

namespace fs = std::filesystem;

// A memory file system where there is one: on a busy local disk the flushes
// of every save make many runs slow, not what they do any different.
inline fs::path quick_folder() {
  std::error_code ec;
  return fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                             : fs::temp_directory_path();
}

class ScenarioFolder {
 public:
  // A fresh folder in `base`; with `example_pack` the register unpacks the
  // examples on its first start.
  explicit ScenarioFolder(bool example_pack = true, const fs::path& base = fs::temp_directory_path()) {
    static int count = 0;
    root_ = base / ("dorv_scenario_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
    fs::remove_all(root_);
    fs::create_directories(dir());
    for (const char* f : {"trub.inf", "klap.inf", "kltr.inf"}) fs::copy_file(fs::path(DORV_DATA_DIR) / f, dir() / f);
    if (example_pack)
      for (const char* f : {"demo.ini", "demo"}) fs::copy_file(fs::path(DORV_DATA_DIR) / f, dir() / f);
    for (const char* f : {"prom1.bat", "prom2.bat", "prom3.bat"}) fs::copy_file(fs::path(DORV_BATCH_DIR) / f, dir() / f);
    for (const auto& p : programs()) fs::copy_file(p, dir() / p.filename());
    put("sign.txt", L"Иванов И.И.\r\n");
    put("nozapas.txt", L"");
  }
  ~ScenarioFolder() { fs::remove_all(root_); }
  ScenarioFolder(const ScenarioFolder&) = delete;
  ScenarioFolder& operator=(const ScenarioFolder&) = delete;

  fs::path dir() const { return root_ / "prog"; }
  // The all-users mirror on: its folder lies beside the program folder.
  void use_mirror() {
    fs::remove(dir() / "nozapas.txt");
    environment_ = "ALLUSERSPROFILE='" + (root_ / "users").string() + "' ";
  }
  fs::path mirror() const { return root_ / "users" / "VIRN-Dorv" / "Perform"; }
  // The program folder and the mirror of another folder as they stand. The
  // programs, the same in every folder, are not copied again.
  void copy_from(const ScenarioFolder& other) {
    for (const auto& e : fs::directory_iterator(dir())) {
      bool program = false;
      for (const auto& p : programs()) program = program || e.path().filename() == p.filename();
      if (!program) fs::remove_all(e.path());
    }
    fs::copy(other.dir(), dir(), fs::copy_options::recursive | fs::copy_options::skip_existing);
    fs::remove_all(root_ / "users");
    if (fs::exists(other.root_ / "users"))
      fs::copy(other.root_ / "users", root_ / "users", fs::copy_options::recursive);
    if (!other.environment_.empty()) use_mirror();
  }
  // Files of the program folder in windows-1251.
  void put(const std::string& name, std::wstring_view text) const {
    fs::create_directories((dir() / name).parent_path());
    write_bytes(dir() / name, to_cp1251(text));
  }
  std::wstring get(const std::string& name) const {
    const auto bytes = try_read_bytes(dir() / name);
    return bytes ? from_cp1251(*bytes) : L"<missing>";
  }
  bool has(const std::string& name) const { return fs::exists(dir() / name); }
  // The link to the graphics application, set to take netexport's exports:
  // opening a stored network that keeps its drawing asks for it.
  void put_graphics_link() const { put("dorv54.lsp", L"(setq dorv-export \"netexport\")\r\n"); }
#ifdef NETEXPORT_EXE
  // The example network exported by netexport as export/sklad.ko2 (with its
  // scheme and drawing), the register set to take netexport's exports; with
  // a description (netexport's UTF-8 text), that network instead.
  // False when netexport failed.
  bool export_example(const std::string& description = "") const {
    put_graphics_link();
    fs::create_directories(dir() / "export");
    std::string source = NETEXPORT_EXAMPLE;
    if (!description.empty()) {
      source = (root_ / "network.net").string();
      write_bytes(source, description);
    }
    const std::string command = "'" + std::string(NETEXPORT_EXE) + "' -t '" + (dir() / "trub.inf").string() + "' -o '" +
                                (dir() / "export").string() + "' -n sklad -w '" + source + "'";
    return std::system(command.c_str()) == 0;
  }
#endif

  struct Result {
    int exit_code = -1;
    std::string out;  // the transcript, UTF-8
    std::string err;
  };
  // Runs dorv-scenario on a script file; `options` go before the folder.
  Result run_file(const fs::path& script, const std::string& options = "") const {
    const fs::path out = root_ / "out.txt", err = root_ / "err.txt";
    const std::string command = environment_ + "'" + std::string(DORV_SCENARIO) + "' " + options + " '" +
                                dir().string() + "' '" + script.string() + "' > '" + out.string() + "' 2> '" +
                                err.string() + "'";
    const int rc = std::system(command.c_str());
    Result r;
    r.exit_code = (rc != -1 && WIFEXITED(rc)) ? WEXITSTATUS(rc) : -1;
    r.out = try_read_bytes(out).value_or("");
    r.err = try_read_bytes(err).value_or("");
    return r;
  }
  // Runs dorv-scenario on a script given as text (UTF-8).
  Result run(const std::string& script) const {
    const fs::path file = root_ / "script.txt";
    write_bytes(file, script);
    return run_file(file);
  }

 private:
  static std::vector<fs::path> programs() {
    std::vector<fs::path> out;
    std::stringstream list(DORV_PROGRAMS);
    for (std::string p; std::getline(list, p, '|');) out.emplace_back(p);
    return out;
  }

  fs::path root_;
  std::string environment_;  // variables set for the runs
};

}  // namespace dorv::scenario_test
