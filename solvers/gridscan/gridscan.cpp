#include "solvers/gridscan/gridscan.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "solvers/common/gridparams.h"
#include "solvers/common/resultfile.h"
#include "solvers/gridio/gridio.h"
#include "solvers/gridio/position.h"
#include "text/codepage.h"
#include "text/linefile.h"

extern char** environ;

namespace fs = std::filesystem;

namespace dorv::solvers {

std::vector<int> ScanRows(char mode, int Y, bool feedOnMain1) {
  switch (mode) {
    case 'd':
      return {Y};
    case 'a': {
      std::vector<int> rows;
      for (int y = 1; y <= Y; ++y) rows.push_back(y);
      return rows;
    }
    case 'b':
      return Y > 1 ? std::vector<int>{1, Y} : std::vector<int>{1};
    case 'c':
      return (feedOnMain1 && Y > 1) ? std::vector<int>{1, Y} : std::vector<int>{1};
    default:  // 'u'
      return {1};
  }
}

namespace {

// Starts a program of the current folder with its arguments, directly (no
// command interpreter: a start costs one process), and waits; its exit
// code, or -1 when it could not be started or did not end normally.
int Run(std::vector<std::string> args) {
  const std::string program = "./" + args[0];
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunScan(const std::vector<std::string>& args, const ConsoleOut& out) {
  const auto parsed = ParseGridScanArguments(args);
  if (!parsed) {
    out(kGridScanUsage);
    return kExitUsage;
  }
  const ParameterLoad load = LoadGridParameters("spr.in", GridProgram::GridScan);
  if (load.exitCode != kExitDone) {
    out(load.message);
    return load.exitCode;
  }
  const ParameterRecord& r = load.record;
  const bool keep = parsed->keepFiles;
  const int X = r.SprinklersPerLine - r.SquareWidth + 1;
  const int Y = r.LineCount - r.SquareLines + 1 - (r.PartialCount != 0 ? 1 : 0);

  out(L"\n\n\n      Расчет спринклерной системы\n\n");
  // A position that cannot be computed ends the scan: the worst position
  // found so far is not the answer, so spr.out is left empty.
  auto fail = [&](int x, int y, const std::string& stem) {
    if (!keep) {
      std::error_code ec;
      fs::remove(stem + ".in", ec);
      fs::remove(stem + ".out", ec);
    }
    out(CFormat("\n\n\nНе получен расчет положения квадрата пожара  x=%d, y=%d !\n\n", x, y));
    return kExitNoAnswer;
  };
  double best = 0.0;
  for (const int y : ScanRows(parsed->mode, Y, r.FeedOffset < 0)) {
    for (int x = 1; x <= X; ++x) {
      const std::string xs = std::to_string(x), ys = std::to_string(y);
      const std::string stem = PositionStem(xs, ys);
      // An answer left from an earlier run must not stand in for this one.
      std::error_code ec;
      fs::remove(stem + ".out", ec);
      if (Run({"gridio", "i", xs, ys}) != 0) return fail(x, y, stem);
      Run({"optimer", stem + ".in"});
      const auto bytes = try_read_bytes(stem + ".out");
      const auto answer = bytes ? ReadPositionAnswer(*bytes, PositionNetwork(r, x, y)) : std::nullopt;
      if (!answer) return fail(x, y, stem);
      if (!keep) fs::remove(stem + ".in", ec);
      out(CFormat("\nСдвиг:  x=%d, y=%d   напор:  %lf\n", x, y, answer->feedHead));
      if (answer->feedHead > best) {
        best = answer->feedHead;
        if (Run({"gridio", "o", xs, ys}) != 0) return fail(x, y, stem);
      }
      if (!keep) fs::remove(stem + ".out", ec);
    }
  }
  return kExitDone;
}

}  // namespace

int RunGridScan(const std::vector<std::string>& args, const ConsoleOut& out) {
  const int code = RunScan(args, out);
  // Whatever ended the scan, the report of an earlier grid or of the worst
  // position so far must not pass for the result.
  if (code != kExitDone) EmptyResultFile("spr.out");
  return code;
}

}  // namespace dorv::solvers
