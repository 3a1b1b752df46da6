// The console solvers under bad input: the inputs that once gave a non-finite
// result reported as success, a stale result after a refusal or a run that
// did not end, and a bounded fuzz test of every program on mutations of the
// test grids.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "solvers/common/gridparams.h"
#include "solvers/common/resultfile.h"
#include "solvers/gridio/gridio.h"
#include "solvers/gridsolve/gridsolve.h"
#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"
#include "text/number.h"

namespace fs = std::filesystem;
using namespace dorv;
using dorv::testing::grid_parameter_text;
using dorv::testing::ProgramFolder;

namespace {

// ------------------------------------------------------------ running a program

struct Outcome {
  int code = -1;       // exit code when the program ended by itself
  int signal = 0;      // the signal that ended it (a crash)
  bool hung = false;   // still running at the time limit (then killed)
  double seconds = 0;
};

// Runs argv[0] from the folder with the given arguments, console output
// thrown away, in a process group of its own so that a hang is ended with
// everything it started.
Outcome run_in(const fs::path& dir, const std::vector<std::string>& argv, double limit_seconds) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (chdir(dir.c_str()) != 0) _exit(126);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  Outcome o;
  if (pid < 0) return o;
  setpgid(pid, pid);
  const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  pollfd p{fd, POLLIN, 0};
  const int ready = fd >= 0 ? poll(&p, 1, static_cast<int>(limit_seconds * 1000)) : 1;
  if (ready == 0) {
    o.hung = true;
    kill(-pid, SIGKILL);
  }
  if (fd >= 0) close(fd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) o.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) o.signal = WTERMSIG(status);
  o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return o;
}

// spr.out and the solver's files: nothing in them but finite numbers of a
// sensible size (code page 866 text).
bool sensible(const std::string& bytes, double bound) {
  return solvers::numbers_sensible(from_cp866(bytes), bound);
}

std::string shorten(const std::string& s) { return s.size() > 1500 ? s.substr(0, 1500) + "..." : s; }

// ------------------------------------------------------------ the grids

// Values in file order, see grid_files.h. A gridsolve grid with a cross-pipe
// and a ring, and a grid of the scan (no height, feed on main 1).
const std::vector<double> kSolveGrid = {3, 3.5, 6, 4, 13.97, 110, 10, 0.47, 5, 0.01, 110, 4, 1.5, 28, 40, 1, 1};
const std::vector<double> kScanGrid = {3, 3, 4, 3, 110, 572, 10, 0.47, 3, 0.0005, 572, -4, 0, 572, 300, 0, 0};

void install_all(const ProgramFolder& f) {
  f.install(GRIDSOLVE_EXE, "gridsolve");
  f.install(GRIDSCAN_EXE, "gridscan");
  f.install(GRIDIO_EXE, "gridio");
  f.install(OPTIMER_EXE, "optimer");
}

// The problem and answer of position 1 1 of the scan grid, as gridio and the
// network solver leave them.
std::pair<std::string, std::string> position_files() {
  ProgramFolder f;
  install_all(f);
  f.put("spr.in", grid_parameter_text(kScanGrid));
  EXPECT_EQ(run_in(f.dir(), {"./gridio", "i", "1", "1"}, 10).code, 0);
  EXPECT_EQ(run_in(f.dir(), {"./optimer", "spr1_1.in"}, 10).code, 0);
  return {f.get("spr1_1.in"), f.get("spr1_1.out")};
}

}  // namespace

// ------------------------------------------------------------ the reproducers

TEST(BadInput, ReproducersAreRefusedWithAnEmptySprOut) {
  auto with = [](std::vector<double> v, std::initializer_list<std::pair<int, double>> changes) {
    for (const auto& [line, value] : changes) v[static_cast<std::size_t>(line - 1)] = value;
    return grid_parameter_text(v);
  };
  const auto [problem, answer] = position_files();
  // The answer with a feed head of 1e308 (its second number).
  const std::size_t head = answer.find(' ') + 1;
  const std::string huge_head = answer.substr(0, head) + "1e308" + answer.substr(answer.find(' ', head));
  std::string blanks = grid_parameter_text(kScanGrid);
  blanks.insert(blanks.find("\r\n") + 2, std::string(300000, ' '));
  std::string infinite = grid_parameter_text(kSolveGrid);
  infinite.replace(infinite.find("13.97"), 5, "1e999");

  struct Case {
    const char* what;
    std::vector<std::string> argv;
    std::string spr_in;
    std::string answer;  // spr1_1.out, when the case needs one
    int code;
    std::string says;    // part of the console text
  };
  const Case cases[] = {
      {"second main of no capacity with a ring", {"./gridsolve"}, with(kSolveGrid, {{14, 0}}), "", 3, "Строка 14:"},
      {"branch-line spacing of 3,000,000 m", {"./gridsolve"}, with(kSolveGrid, {{2, 3e6}}), "", 3, "Строка 2:"},
      {"a number beyond the arithmetic", {"./gridsolve"}, infinite, "", 3, "Строка 5:"},
      {"a riser of 1e-300 m", {"./gridsolve"}, with(kSolveGrid, {{13, 1e-300}}), "", 3, "Строка 13:"},
      {"a tolerance no arithmetic reaches", {"./gridsolve"}, with(kSolveGrid, {{10, 1e-300}}), "", 5,
       "Погрешность перестала уменьшаться."},
      {"no spr.in", {"./gridsolve"}, "", "", 2, "Не найден файл  spr.in !"},
      {"an answer with a feed head of 1e308", {"./gridio", "o", "1", "1"}, grid_parameter_text(kScanGrid), huge_head, 5,
       "не является решением"},
      {"a shift off the grid", {"./gridio", "o", "9", "1"}, grid_parameter_text(kScanGrid), answer, 4,
       "Недопустимые значения сдвига"},
      {"a short answer", {"./gridio", "o", "1", "1"}, grid_parameter_text(kScanGrid), answer.substr(0, 40), 7,
       "Нет полного ответа"},
      {"gridio: second main of no capacity with a cross-pipe", {"./gridio", "o", "1", "1"},
       with(kScanGrid, {{14, 0}}), answer, 3, "Строка 14:"},
      {"gridio: a tolerance that is no number", {"./gridio", "i", "1", "1", "x"}, grid_parameter_text(kScanGrid), "", 1,
       "Неправильные параметры программы gridio.exe!"},
      {"a line of 300,000 blanks before a number", {"./gridscan"}, blanks, "", 0, "Расчет спринклерной системы"},
      {"gridscan: a feed offset of 1e-308 on a grid without cross-pipe", {"./gridscan"},
       with(kScanGrid, {{11, 0}, {12, 1e-308}}), "", 3, "Недопустимые параметры"},
      {"gridscan: a bad command line", {"./gridscan", "x"}, grid_parameter_text(kScanGrid), "", 1,
       "Неправильные параметры программы gridscan.exe!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramFolder f;
    install_all(f);
    if (!c.spr_in.empty()) f.put("spr.in", c.spr_in);
    if (!c.answer.empty()) f.put("spr1_1.out", c.answer);
    f.put("spr.out", "report of an earlier grid");
    std::string console;
    std::string command;
    for (const auto& a : c.argv) command += a + " ";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(f.run(command, &console), c.code) << console;
    // A refusal ends at once; the bound only tells a refusal from a solver
    // that went on to compute (or hung), with room for a loaded machine
    // running the sanitizer build.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 60.0);
    EXPECT_NE(console.find(c.says), std::string::npos) << console;
    if (c.code == 0)
      EXPECT_TRUE(sensible(f.get("spr.out"), solvers::kMaxResultValue)) << f.get("spr.out");
    else if (c.argv.size() > 1 && c.argv[1] == "i")  // a problem file is refused; spr.out is not its business
      EXPECT_EQ(f.get("spr.out"), "report of an earlier grid");
    else
      EXPECT_EQ(f.get("spr.out"), "");
  }

  // A feed offset of 1e-308 along a cross-pipe is the feed at its end: a
  // finite report, as for the offset 0.
  ProgramFolder f;
  install_all(f);
  f.put("spr.in", with(kSolveGrid, {{12, 1e-308}}));
  ASSERT_EQ(f.run("GRIDSOLVE_SEED=3 ./gridsolve"), 0);
  const std::string tiny = f.get("spr.out");
  f.put("spr.in", with(kSolveGrid, {{12, 0}}));
  ASSERT_EQ(f.run("GRIDSOLVE_SEED=3 ./gridsolve"), 0);
  EXPECT_EQ(tiny, f.get("spr.out"));
  EXPECT_TRUE(sensible(tiny, solvers::kMaxResultValue));
}

// ------------------------------------------------------------ the fuzz test

namespace {

// Mutations of a text: a number replaced by an edge value, bytes changed,
// cut, repeated or inserted, long runs of blanks or digits.
class Mutator {
 public:
  explicit Mutator(unsigned seed) : rng_(seed) {}

  std::string mutated(std::string s) {
    const int count = 1 + pick(3);
    for (int i = 0; i < count; ++i) mutate_once(s);
    return s;
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  void mutate_once(std::string& s) {
    static const char* const kValues[] = {"0",     "-0",     "-1",    "1e-308", "1e308", "3000000", "inf",
                                          "nan",   "1e999",  "-1e999", "1e-7",  "0.0000001", "99999999999999999999",
                                          "",      "-",      ".",     "2.5e3",  "1e-300", "0.5",    "-12",
                                          "1e200", "-1e200", "7",     "1",      "2"};
    static const char kBytes[] = " \t\r\n-.e+0123456789xq\0\xff";
    const std::size_t size = s.size();
    switch (pick(8)) {
      case 0:
      case 1:
      case 2: {  // a number token replaced
        std::vector<std::pair<std::size_t, std::size_t>> tokens;
        for (std::size_t i = 0; i < size;) {
          if (std::string_view("0123456789.-+eE").find(s[i]) == std::string_view::npos) {
            ++i;
            continue;
          }
          std::size_t j = i;
          while (j < size && std::string_view("0123456789.-+eE").find(s[j]) != std::string_view::npos) ++j;
          tokens.push_back({i, j - i});
          i = j;
        }
        if (tokens.empty()) break;
        const auto [at, length] = tokens[static_cast<std::size_t>(pick(static_cast<int>(tokens.size())))];
        s.replace(at, length, kValues[pick(static_cast<int>(std::size(kValues)))]);
        break;
      }
      case 3:  // a byte changed
        if (size) s[static_cast<std::size_t>(pick(static_cast<int>(size)))] = kBytes[pick(sizeof kBytes - 1)];
        break;
      case 4:  // a span cut out
        if (size) {
          const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(size)));
          s.erase(at, static_cast<std::size_t>(1 + pick(40)));
        }
        break;
      case 5:  // a span repeated elsewhere
        if (size) {
          const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(size)));
          const std::string span = s.substr(at, static_cast<std::size_t>(1 + pick(60)));
          s.insert(static_cast<std::size_t>(pick(static_cast<int>(size) + 1)), span);
        }
        break;
      case 6:  // cut short
        s.resize(static_cast<std::size_t>(pick(static_cast<int>(size) + 1)));
        break;
      default:  // a long run
        s.insert(static_cast<std::size_t>(pick(static_cast<int>(size) + 1)),
                 std::string(static_cast<std::size_t>(100 + pick(5000)), pick(2) ? ' ' : '9'));
        break;
    }
  }

  std::mt19937 rng_;
};

// A grid too big for a fuzz run's few seconds: a valid grid of that size is
// honest work, not a hang, and another mutation takes its place.
bool too_big_to_fuzz(const std::string& spr_in, int max_positions) {
  const auto r = solvers::record_from_values(solvers::read_parameter_values(spr_in, false));
  return r && std::int64_t{r->SprinklersPerLine} * r->LineCount > max_positions;
}

struct FuzzRun {
  std::function<Outcome()> run;       // runs the program on the input in place
  std::string output;                 // the file it writes
  std::set<int> codes;                // its documented exit codes
  double bound = solvers::kMaxResultValue;  // numbers of a successful output, 0: finite only
};

// Seconds beyond which a run counts as a hang. A fuzz input runs in well under
// a second; the margin is for the sanitizer build on a loaded machine, where
// an honest scan of the largest fuzzed grid has taken 10 s.
constexpr double kRunLimit = 60.0;

// A program run inside the test, through the function its main() calls:
// thousands of runs in seconds, and every fault under the sanitizers of the
// test build. A run beyond the limit ends the test process with a message,
// as nothing else can stop it.
Outcome in_process(const std::function<int()>& program) {
  const auto start = std::chrono::steady_clock::now();
  std::mutex m;
  std::condition_variable ended;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(m);
    if (!ended.wait_for(lock, std::chrono::duration<double>(kRunLimit), [&] { return done; })) {
      std::fputs("a fuzz run is still running after the time limit\n", stderr);
      std::abort();
    }
  });
  Outcome o;
  o.code = program();
  {
    std::lock_guard<std::mutex> lock(m);
    done = true;
  }
  ended.notify_one();
  watchdog.join();
  o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return o;
}

const solvers::ConsoleOut kQuiet = [](std::wstring_view) {};

// Runs `count` mutated inputs; `prepare` puts the input in place and names
// the run. Checks: no crash, no hang, a documented exit code, the output
// empty (or absent) after a refusal and sensible after success.
void fuzz(const char* program, int count, unsigned seed, const std::string& seed_input,
          const std::function<FuzzRun(const std::string&)>& make, const ProgramFolder& f, int max_positions = 0) {
  Mutator mutate(seed);
  std::map<int, int> codes;
  int failures = 0;
  double slowest = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count && failures < 5; ++i) {
    std::string input = mutate.mutated(seed_input);
    while (max_positions && too_big_to_fuzz(input, max_positions)) input = mutate.mutated(seed_input);
    const FuzzRun run = make(input);
    f.put(run.output, "stale output of an earlier run");
    const Outcome o = run.run();
    slowest = std::max(slowest, o.seconds);
    ++codes[o.code];
    std::string fault;
    const std::string out = f.has(run.output) ? f.get(run.output) : std::string();
    if (o.signal) fault = "ended by signal " + std::to_string(o.signal);
    else if (o.hung) fault = "still running after " + std::to_string(kRunLimit) + " s";
    else if (!run.codes.count(o.code)) fault = "exit code " + std::to_string(o.code) + " outside the documented set";
    else if (o.code != 0 && !out.empty()) fault = "exit " + std::to_string(o.code) + " left " + run.output + " not empty";
    else if (o.code == 0 && (out.empty() || !sensible(out, run.bound)))
      fault = "exit 0 with " + run.output + ": " + shorten(out);
    if (!fault.empty()) {
      ++failures;
      ADD_FAILURE() << program << " input " << i << ": " << fault << "\ninput:\n" << shorten(input);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string summary;
  for (const auto& [code, n] : codes) summary += " exit " + std::to_string(code) + ": " + std::to_string(n) + ";";
  std::cout << program << ": " << count << " inputs in " << seconds << " s, slowest run " << slowest << " s;"
            << summary << "\n";
}

// In-process runs are cheap; the scan and the network solver run as
// programs, each scan several program starts.
constexpr int kInputs = 3000;
constexpr int kProgramInputs = 1000;
constexpr int kScanInputs = 500;
constexpr int kSolveInputs = 2000;  // each a relaxation of every shift
// A valid grid may converge slowly enough to relax for minutes; within a
// fuzz run's few seconds such a shift is given up (exit 5) instead.
constexpr long long kSolveRelaxations = 10'000'000;

}  // namespace

TEST(fuzz, GridSolve) {
  ProgramFolder f;
  fuzz("gridsolve", kSolveInputs, 101, grid_parameter_text(kSolveGrid),
       [&](const std::string& input) {
         f.put("spr.in", input);
         return FuzzRun{[&] { return in_process([&] { return solvers::RunGridSolveProgram(f.dir(), 7, kQuiet, kSolveRelaxations); }); },
                        "spr.out",
                        {0, 2, 3, 5, 6}};
       },
       f, 60);
}

TEST(fuzz, GridIoProblem) {
  ProgramFolder f;
  fuzz("gridio i", kInputs, 202, grid_parameter_text(kScanGrid),
       [&](const std::string& input) {
         f.put("spr.in", input);
         return FuzzRun{[&] { return in_process([&] { return solvers::run_grid_io({"i", "1", "1"}, f.dir(), kQuiet); }); },
                        "spr1_1.in",
                        {0, 1, 2, 3, 4, 5, 6, 7},
                        0};
       },
       f, 400);
}

TEST(fuzz, GridIoAnswer) {
  ProgramFolder f;
  f.put("spr.in", grid_parameter_text(kScanGrid));
  fuzz("gridio o", kInputs, 303, position_files().second,
       [&](const std::string& input) {
         f.put("spr1_1.out", input);
         return FuzzRun{[&] { return in_process([&] { return solvers::run_grid_io({"o", "1", "1"}, f.dir(), kQuiet); }); },
                        "spr.out",
                        {0, 1, 2, 3, 4, 5, 6, 7}};
       },
       f);
}

TEST(fuzz, GridScan) {
  ProgramFolder f;
  install_all(f);
  fuzz("gridscan", kScanInputs, 404, grid_parameter_text(kScanGrid),
       [&](const std::string& input) {
         f.put("spr.in", input);
         return FuzzRun{[&] { return run_in(f.dir(), {"./gridscan", "a"}, kRunLimit); }, "spr.out", {0, 1, 2, 3, 5, 6, 7}};
       },
       f, 24);
}

TEST(fuzz, Optimer) {
  ProgramFolder f;
  install_all(f);
  fuzz("optimer", kProgramInputs, 505, position_files().first,
       [&](const std::string& input) {
         f.put("spr1_1.in", input);
         return FuzzRun{[&] { return run_in(f.dir(), {"./optimer", "spr1_1.in"}, kRunLimit); },
                        "spr1_1.out",
                        {0, 1, 2, 5, 6, 7},
                        0};
       },
       f);
}

TEST(fuzz, OptimerAnswerWriter) {
  // The writer on solutions of the position with heads and flows anywhere in
  // the range of the arithmetic: plain decimals, nothing else, every one read
  // back whole.
  const auto problem = optimer::parse_problem(position_files().first);
  const optimer::Solution solved = optimer::solve_problem(problem);
  std::mt19937 rng(606);
  // Anything from far below the arithmetic's resolution up to heads and
  // flows the solver itself refuses (above 1e5).
  std::uniform_real_distribution<double> exponent(-300, 5);
  auto extreme = [&] { return (rng() % 2 ? 1 : -1) * std::pow(10.0, exponent(rng)); };
  for (int i = 0; i < kInputs; ++i) {
    optimer::Solution s = solved;
    for (auto& h : s.heads)
      if (rng() % 4 == 0) h = extreme();
    for (auto& q : s.flows)
      if (rng() % 4 == 0) q = extreme();
    if (rng() % 2) s.feed_head = extreme();
    if (rng() % 2) s.feed_flow = extreme();
    std::string text;
    try {
      text = optimer::format_answer(problem, s);
    } catch (const std::exception& e) {
      continue;  // refusing a value is sound; writing garbage is not
    }
    bool clean = true;
    for (std::size_t p = 0; p < text.size() && clean;) {
      if (text[p] == ' ' || text[p] == '\r' || text[p] == '\n') {
        ++p;
        continue;
      }
      std::size_t end = text.find_first_of(" \r\n", p);
      if (end == std::string::npos) end = text.size();
      double x = 0;
      clean = scan_decimal(std::string_view(text).substr(p, end - p), x) == end - p && std::isfinite(x);
      p = end;
    }
    ASSERT_TRUE(clean) << "solution " << i << ":\n" << shorten(text);
  }
}
