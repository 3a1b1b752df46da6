// The network solver on whole sprinkler grids: lines x sprinklers all open
// between two mains, fed at the first line through a cross-pipe, every
// sprinkler with its outlet. The pipes are sized with the grid (specific
// characteristics growing with its side) so that the heads stay in the range
// of real installations. The problem text is written in the grid writer's
// layout. Three cases on the same grids:
//   GridSolve       the solve alone (Newton iterations, time per node, which
//                   stays about flat when the cost of a solve grows linearly);
//   ReadParseWrite  the text work alone: read the problem file, parse it,
//                   format the answer and write it;
//   WholeFile       the program's whole run on a problem file, answer file
//                   written, as the command line starts it (less the process
//                   start).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "standins/optimer/run.h"
#include "text/linefile.h"
#include "text/number.h"

using namespace dorv;
using namespace dorv::optimer;
namespace fs = std::filesystem;

namespace {

std::string grid_text(int lines, int per_line) {
  const int n = lines * per_line;
  // Numbering as the grid writer numbers: feed, outlets, sprinklers, mains.
  const int main1 = 2 * n + 1, main2 = main1 + lines, count = main2 + lines;
  std::vector<std::vector<std::pair<int, double>>> adj(count);
  auto link = [&](int a, int b, double k) {
    adj[a].emplace_back(b, k);
    adj[b].emplace_back(a, k);
  };
  const double side = std::max(lines, per_line);
  const double line_kt = 0.5 * side * side * side, main_kt = std::pow(side, 5);
  const double K = 0.47, line_k = std::sqrt(line_kt / 3.0), main_k = std::sqrt(main_kt / 3.0);
  for (int s = 1; s <= n; ++s) link(n + s, s, K);
  for (int r = 0; r < lines; ++r) {
    const int first = n + 1 + r * per_line;
    link(main1 + r, first, std::sqrt(line_kt / 1.5));
    for (int c = 0; c + 1 < per_line; ++c) link(first + c, first + c + 1, line_k);
    link(first + per_line - 1, main2 + r, std::sqrt(line_kt / 1.5));
    if (r + 1 < lines) {
      link(main1 + r, main1 + r + 1, main_k);
      link(main2 + r, main2 + r + 1, main_k);
    }
  }
  link(0, main1, std::sqrt(2 * main_kt / 3.0));
  link(0, main2, 1.0 / std::sqrt(1.5 / main_kt + per_line * 3.0 / main_kt));
  std::string text = cformat("%.15lf  %.15lf  200000\n", 0.0005, 0.0005);
  for (int i = 0; i < count; ++i) {
    const char kind = i <= n ? 'p' : i <= 2 * n ? 'o' : 'v';
    const double head = i == 0 ? 100.0 : kind == 'o' ? 10.0 : 0.0;
    text += cformat("%2d  %c  %12.8lf  %d  ", i, kind, head, static_cast<int>(adj[i].size()));
    for (const auto& [nb, k] : adj[i]) text += cformat("%2d  %11.8lf  ", nb, k);
    text += "\n";
  }
  return text;
}

// A scratch folder holding the problem file of one grid.
struct GridFile {
  fs::path dir, problem, answer;
  explicit GridFile(int side) {
    dir = fs::temp_directory_path() / ("optimer_bench_" + std::to_string(::getpid()) + "_" + std::to_string(side));
    fs::create_directories(dir);
    problem = dir / "spr1_1.in";
    answer = dir / "spr1_1.out";
    write_bytes(problem, grid_text(side, side));
  }
  ~GridFile() { fs::remove_all(dir); }
};

void per_node(benchmark::State& state, double nodes) {
  state.counters["nodes"] = nodes;
  // Seconds of one run per node of the network.
  state.counters["per_node"] =
      benchmark::Counter(nodes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_OptimerGridSolve(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const Problem pr = parse_problem(grid_text(side, side));
  Solution s;
  for (auto _ : state) {
    s = solve_problem(pr);
    benchmark::DoNotOptimize(s.feed_head);
  }
  per_node(state, static_cast<double>(pr.nodes.size()));
  state.counters["iterations"] = s.iterations;
  state.counters["feed_head"] = s.feed_head;
}

void BM_OptimerReadParseWrite(benchmark::State& state) {
  const GridFile file(static_cast<int>(state.range(0)));
  const Problem first = parse_problem(read_bytes(file.problem));
  const Solution s = solve_problem(first);
  for (auto _ : state) {
    const Problem pr = parse_problem(read_bytes(file.problem));
    write_bytes(file.answer, format_answer(pr, s));
  }
  per_node(state, static_cast<double>(first.nodes.size()));
  state.counters["problem_bytes"] = static_cast<double>(fs::file_size(file.problem));
}

void BM_OptimerWholeFile(benchmark::State& state) {
  const GridFile file(static_cast<int>(state.range(0)));
  std::wstring message;
  for (auto _ : state) {
    if (run_optimer(file.problem, message) != 0) state.SkipWithError("not solved");
  }
  per_node(state, static_cast<double>(parse_problem(read_bytes(file.problem)).nodes.size()));
  state.counters["answer_bytes"] = static_cast<double>(fs::file_size(file.answer));
}

}  // namespace

BENCHMARK(BM_OptimerGridSolve)->Arg(10)->Arg(30)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimerReadParseWrite)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimerWholeFile)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
