// The network solver on whole sprinkler grids: lines x sprinklers all open
// between two mains, fed at the first line through a cross-pipe, every
// sprinkler with its outlet. The pipes are sized with the grid (specific
// characteristics growing with its side) so that the heads stay in the range
// of real installations. Reports Newton iterations and the time per node,
// which stays about flat when the cost of a solve grows linearly.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"

using namespace dorv::optimer;

namespace {

Problem grid(int lines, int per_line) {
  const int n = lines * per_line;
  // Numbering as the grid writer numbers: feed, outlets, sprinklers, mains.
  const int main1 = 2 * n + 1, main2 = main1 + lines;
  Problem pr;
  pr.nodes.resize(main2 + lines);
  auto link = [&](int a, int b, double k) {
    pr.nodes[a].links.push_back({b, k});
    pr.nodes[b].links.push_back({a, k});
  };
  const double side = std::max(lines, per_line);
  const double line_kt = 0.5 * side * side * side, main_kt = std::pow(side, 5);
  const double K = 0.47, line_k = std::sqrt(line_kt / 3.0), main_k = std::sqrt(main_kt / 3.0);
  for (int s = 1; s <= n; ++s) {
    pr.nodes[s].kind = NodeKind::Fixed;
    pr.nodes[n + s].kind = NodeKind::Sprinkler;
    pr.nodes[n + s].head = 10.0;
    link(n + s, s, K);
  }
  pr.nodes[0].kind = NodeKind::Fixed;
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
  return pr;
}

void BM_OptimerGridSolve(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const Problem pr = grid(side, side);
  Solution s;
  for (auto _ : state) {
    s = solve_problem(pr);
    benchmark::DoNotOptimize(s.feed_head);
  }
  const double nodes = static_cast<double>(pr.nodes.size());
  state.counters["nodes"] = nodes;
  state.counters["iterations"] = s.iterations;
  // Seconds of one solve per node of the network.
  state.counters["per_node"] =
      benchmark::Counter(nodes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["feed_head"] = s.feed_head;
}

// The whole program's work on the same grids: read the problem text, solve,
// write the answer text.
void BM_OptimerWholeFile(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const Problem pr = grid(side, side);
  std::string text = "0.0005  0.0005  200000\n";
  char buf[64];
  for (std::size_t i = 0; i < pr.nodes.size(); ++i) {
    const auto& nd = pr.nodes[i];
    const char kind = nd.kind == NodeKind::Fixed ? 'p' : nd.kind == NodeKind::Sprinkler ? 'o' : 'v';
    text += std::to_string(i) + "  " + kind + "  " + std::to_string(nd.head) + "  " + std::to_string(nd.links.size());
    for (const auto& l : nd.links) {
      std::snprintf(buf, sizeof buf, "  %d  %.8f", l.neighbour, l.conductance);
      text += buf;
    }
    text += "\n";
  }
  std::size_t answer_size = 0;
  for (auto _ : state) {
    const Problem read = parse_problem(text);
    const std::string answer = format_answer(read, solve_problem(read));
    answer_size = answer.size();
    benchmark::DoNotOptimize(answer.data());
  }
  state.counters["nodes"] = static_cast<double>(pr.nodes.size());
  state.counters["answer_bytes"] = static_cast<double>(answer_size);
  state.counters["per_node"] = benchmark::Counter(static_cast<double>(pr.nodes.size()),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_OptimerWholeFile)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimerGridSolve)->Arg(10)->Arg(30)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
