// Whole gridsolve runs: every shift of the fire square along the lines,
// relaxed to the form's tolerance 0.01, for grids of 10, 20 and 40 branch
// lines of 20 sprinklers (two dead-end positions beyond main 1, one beyond
// main 2, 24 open). Reports the relaxations of the run besides its time; the
// random order is fixed so that runs compare.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "solvers/gridsolve/gridsolve.h"

namespace {

using namespace dorv::solvers;

void BM_GridSolveRun(benchmark::State& state) {
  ParameterRecord r;
  r.SprinklerSpacing = 3;
  r.LineSpacing = 3;
  r.SprinklersPerLine = 20;
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
    SetStartHeads(net);
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

}  // namespace

BENCHMARK(BM_GridSolveRun)->Arg(10)->Arg(20)->Arg(40)->ArgName("lines")->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
