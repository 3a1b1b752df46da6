// Whole scans as the desktop program has them run: gridscan in a program
// folder with gridio and the network solver beside it, every position two
// program starts (three at a new worst position). Grids of 20 and 60 branch lines of 20 sprinklers, twelve
// open, in mode a (every row) and mode b (the far and the feed row; "mode"
// shows the letter's code). Most of a position's time is the three program
// starts, so each case also times the start of a trivial program (/bin/true)
// in the same run: per_position over start_trivial compares across machines.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"

extern char** environ;

namespace {

// The mean time to start /bin/true and wait for it, in milliseconds.
double trivial_start_milliseconds() {
  constexpr int kStarts = 200;
  char name[] = "true";
  char* argv[] = {name, nullptr};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kStarts; ++i) {
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/true", nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kStarts;
}

void BM_GridScanRun(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const char mode = static_cast<char>(state.range(1));
  dorv::testing::ProgramFolder f;
  f.install(GRIDSCAN_EXE, "gridscan");
  f.install(GRIDIO_EXE, "gridio");
  f.install(OPTIMER_EXE, "optimer");
  f.put("spr.in", dorv::testing::grid_parameter_text(
                      {3, 3, 20, static_cast<double>(lines), 110, 4322, 10, 0.47, 12, 0.0005, 4322, 6, 0, 4322, 0, 0, 0}));
  std::string out;
  for (auto _ : state) {
    if (f.run(std::string("./gridscan ") + mode, &out) != 0) {
      state.SkipWithError("gridscan failed");
      break;
    }
  }
  std::size_t positions = 0;
  for (std::size_t p = out.find("Сдвиг:"); p != std::string::npos; p = out.find("Сдвиг:", p + 1)) ++positions;
  state.counters["positions"] = static_cast<double>(positions);
  state.counters["start_trivial_ms"] = trivial_start_milliseconds();
  state.counters["per_position"] = benchmark::Counter(static_cast<double>(positions),
                                                      benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_GridScanRun)
    ->Args({20, 'b'})
    ->Args({60, 'b'})
    ->Args({20, 'a'})
    ->Args({60, 'a'})
    ->ArgNames({"lines", "mode"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

BENCHMARK_MAIN();
