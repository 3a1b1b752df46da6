#include "solvers/gridscan/gridscan.h"

#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <utility>

#include "solvers/common/gridparams.h"
#include "solvers/common/resultfile.h"
#include "solvers/gridio/gridio.h"
#include "solvers/gridio/position.h"
#include "text/codepage.h"
#include "text/linefile.h"

extern char** environ;

namespace fs = std::filesystem;

namespace dorv::solvers {

std::vector<int> scan_rows(char mode, int Y, bool feed_on_main1) {
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
      return (feed_on_main1 && Y > 1) ? std::vector<int>{1, Y} : std::vector<int>{1};
    default:  // 'u'
      return {1};
  }
}

namespace {

// Positions on their way at once: while one position's answer is read and
// reported, the next ones' problems are written and solved. Each position
// has files of its own, and whatever the programs print is held back until
// the position's turn, so the scan reads as one position after another.
constexpr std::size_t kPositionsAhead = 3;

// A program of the current folder started with its arguments, directly (no
// command interpreter: a start costs one process). With `caught`, what it
// prints goes to a file in memory instead of the console.
struct Started {
  pid_t pid = -1;  // -1: not started, or already waited for
  int caught = -1;
};

Started start(std::vector<std::string> args, bool caught) {
  const std::string program = "./" + args[0];
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  Started s;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (caught) {
    s.caught = ::memfd_create("console", MFD_CLOEXEC);
    if (s.caught >= 0) posix_spawn_file_actions_adddup2(&actions, s.caught, STDOUT_FILENO);
  }
  if (posix_spawn(&s.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) s.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return s;
}

int exit_code(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

// Waits for one program; its exit code, or -1 when it could not be started
// or did not end normally.
int wait_for(pid_t pid) {
  if (pid < 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return exit_code(status);
}

// What a started program printed, taken from its file in memory, which is
// closed.
std::string take_caught(Started& s) {
  std::string text;
  if (s.caught < 0) return text;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(s.caught, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  ::close(s.caught);
  s.caught = -1;
  return text;
}

// Shows what the programs printed, where they would have printed it.
void show(const std::string& text) {
  std::fflush(stdout);
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
}

// One position on its way: "gridio i" writes its problem, then the network
// solver answers it.
struct Position {
  int x = 0, y = 0;
  std::string xs, ys, stem;
  Started program;
  bool solving = false;  // the network solver was started
  bool done = false;
  bool written = false;  // gridio wrote the problem
  std::string printed;   // what its programs printed
};

int run_scan(const std::vector<std::string>& args, const ConsoleOut& out) {
  const auto parsed = parse_grid_scan_arguments(args);
  if (!parsed) {
    out(kGridScanUsage);
    return kExitUsage;
  }
  const ParameterLoad load = load_grid_parameters("spr.in", GridProgram::GridScan);
  if (load.exit_code != kExitDone) {
    out(load.message);
    return load.exit_code;
  }
  const ParameterRecord& r = load.record;
  const bool keep = parsed->keep_files;
  const int X = r.SprinklersPerLine - r.SquareWidth + 1;
  const int Y = r.LineCount - r.SquareLines + 1 - (r.PartialCount != 0 ? 1 : 0);

  out(L"\n\n\n      Расчет спринклерной системы\n\n");
  std::vector<std::pair<int, int>> order;
  for (const int y : scan_rows(parsed->mode, Y, r.FeedOffset < 0))
    for (int x = 1; x <= X; ++x) order.emplace_back(x, y);

  std::deque<Position> flight;
  std::size_t next = 0;
  auto launch = [&] {
    while (flight.size() < kPositionsAhead && next < order.size()) {
      Position p;
      p.x = order[next].first, p.y = order[next].second;
      ++next;
      p.xs = std::to_string(p.x), p.ys = std::to_string(p.y);
      p.stem = position_stem(p.xs, p.ys);
      // An answer left from an earlier run must not stand in for this one.
      std::error_code ec;
      fs::remove(p.stem + ".out", ec);
      p.program = start({"gridio", "i", p.xs, p.ys}, true);
      p.done = p.program.pid < 0;
      flight.push_back(std::move(p));
    }
  };
  // A program of a position ended: gridio goes on to the network solver.
  auto ended = [&](Position& p, int status) {
    p.program.pid = -1;
    p.printed += take_caught(p.program);
    if (!p.solving && exit_code(status) == 0) {
      p.written = true;
      p.solving = true;
      p.program = start({"optimer", p.stem + ".in"}, true);
      p.done = p.program.pid < 0;
      if (p.done) p.printed += take_caught(p.program);
    } else {
      p.done = true;
    }
  };
  // A position that cannot be computed ends the scan: the positions after it
  // are dropped with their files, as if never started, and the worst
  // position found so far is not the answer, so spr.out is left empty.
  auto fail = [&](const Position& p) {
    for (std::size_t i = 1; i < flight.size(); ++i) {
      Position& q = flight[i];
      wait_for(q.program.pid);
      take_caught(q.program);
      std::error_code ec;
      fs::remove(q.stem + ".in", ec);
      fs::remove(q.stem + ".out", ec);
    }
    if (!keep) {
      std::error_code ec;
      fs::remove(p.stem + ".in", ec);
      fs::remove(p.stem + ".out", ec);
    }
    out(c_format("\n\n\nНе получен расчет положения квадрата пожара  x=%d, y=%d !\n\n", p.x, p.y));
    return kExitNoAnswer;
  };

  double best = 0.0;
  launch();
  while (!flight.empty()) {
    Position& p = flight.front();
    while (!p.done) {
      // Whichever of the positions' programs ends first: they are the only
      // programs this one starts.
      int status = 0;
      const pid_t pid = waitpid(-1, &status, 0);
      if (pid < 0) {
        if (errno == EINTR) continue;
        p.done = true;  // no program left to wait for
        break;
      }
      for (auto& q : flight) {
        if (q.program.pid == pid) {
          ended(q, status);
          break;
        }
      }
      launch();
    }
    show(p.printed);
    if (!p.written) return fail(p);
    const auto bytes = try_read_bytes(p.stem + ".out");
    const auto answer = bytes ? read_position_answer(*bytes, PositionNetwork(r, p.x, p.y)) : std::nullopt;
    if (!answer) return fail(p);
    std::error_code ec;
    if (!keep) fs::remove(p.stem + ".in", ec);
    out(c_format("\nСдвиг:  x=%d, y=%d   напор:  %lf\n", p.x, p.y, answer->feed_head));
    if (answer->feed_head > best) {
      best = answer->feed_head;
      if (wait_for(start({"gridio", "o", p.xs, p.ys}, false).pid) != 0) return fail(p);
    }
    if (!keep) fs::remove(p.stem + ".out", ec);
    flight.pop_front();
    launch();
  }
  return kExitDone;
}

}  // namespace

int run_grid_scan(const std::vector<std::string>& args, const ConsoleOut& out) {
  const int code = run_scan(args, out);
  // Whatever ended the scan, the report of an earlier grid or of the worst
  // position so far must not pass for the result.
  if (code != kExitDone) empty_result_file("spr.out");
  return code;
}

}  // namespace dorv::solvers
