// Whole gridsolve runs: every shift of the fire square along the lines,
// relaxed to the form's tolerance 0.01, for grids of 10, 20 and 40 branch
// lines of 20 sprinklers and one of 60 lines of 60 (two dead-end positions
// beyond main 1, one beyond main 2, 24 open). The 60 by 60 grid relaxes
// slowly, some 500 million relaxations a shift, for minutes. Reports the
// relaxations of the run besides its time; the random order is fixed so that
// runs compare.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "solvers/gridsolve/gridsolve.h"

namespace {

using namespace dorv::solvers;

void BM_GridSolveRun(benchmark::State& state) {
  ParameterRecord r;
  r.SprinklerSpacing = 3;
  r.LineSpacing = 3;
  r.SprinklersPerLine = static_cast<int>(state.range(1));
  r.LineCount = static_cast<int>(state.range(0));
  r.LinePipeK = 13.97;
  r.MainPipeK = 110;
  r.SecondMainK = 110;
  r.MinHead = 10;
  r.SprinklerK = 0.47;
  r.OpenCount = 24;
  r.Tolerance = 0.01;
  r.RiserHeight = 1.5;
  r.DeadEnds1 = 2;
  r.DeadEnds2 = 1;
  SizeFireSquare(r);
  const auto dir = std::filesystem::temp_directory_path() / ("dorv_gridsolve_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const ConsoleOut quiet = [](std::wstring_view) {};
  ScanResult scan;
  for (auto _ : state) {
    GridNetwork net(r);
    set_start_heads(net);
    RelaxRandom random(1);
    scan = ScanShifts(net, random, dir / "spr.out", quiet);
    if (scan.outcome != ScanOutcome::Done) {
      state.SkipWithError("the relaxation did not converge");
      break;
    }
  }
  std::filesystem::remove_all(dir);
  state.counters["relaxations"] = static_cast<double>(scan.relaxations);
  state.counters["shifts"] = r.SprinklersPerLine - r.SquareWidth + 1;
  state.counters["nodes"] = NodeCount(r) + 2 * r.LineCount;
}

// A 17-line grid, 15 sprinklers a line, seven open, at the form's tolerance:
// a shift that starts from the previous shift's near-solution has a low
// residual that falls slowly beneath the jitter of the random order for
// millions of relaxations. Every seed 1..20 must converge on every shift;
// a relaxation that is not given up is the relaxation without any bound, so
// each run's spr.out is that relaxation's. Counts the seeds that converged.
void BM_SlowShiftsConverge(benchmark::State& state) {
  ParameterRecord r;
  r.SprinklerSpacing = 3;
  r.LineSpacing = 3;
  r.SprinklersPerLine = 15;
  r.LineCount = 17;
  r.LinePipeK = 110;
  r.MainPipeK = 572;
  r.MinHead = 12.86;
  r.SprinklerK = 0.74;
  r.OpenCount = 7;
  r.Tolerance = 0.01;
  r.CrossPipeK = 110;
  r.RiserHeight = 2;
  r.SecondMainK = 572;
  r.DeadEnds2 = 2;
  SizeFireSquare(r);
  const auto dir = std::filesystem::temp_directory_path() / ("dorv_gridsolve_slow_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const ConsoleOut quiet = [](std::wstring_view) {};
  int converged = 0;
  long long relaxations = 0;
  for (auto _ : state) {
    converged = 0;
    relaxations = 0;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
      GridNetwork net(r);
      set_start_heads(net);
      RelaxRandom random(seed);
      const ScanResult scan = ScanShifts(net, random, dir / "spr.out", quiet);
      relaxations += scan.relaxations;
      if (scan.outcome == ScanOutcome::Done) ++converged;
    }
  }
  std::filesystem::remove_all(dir);
  if (converged != 20) state.SkipWithError("a seed was given up");
  state.counters["seeds_converged"] = converged;
  state.counters["relaxations"] = static_cast<double>(relaxations);
}

}  // namespace

BENCHMARK(BM_SlowShiftsConverge)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_GridSolveRun)
    ->Args({10, 20})
    ->Args({20, 20})
    ->Args({40, 20})
    ->Args({60, 60})
    ->ArgNames({"lines", "per_line"})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

BENCHMARK_MAIN();
