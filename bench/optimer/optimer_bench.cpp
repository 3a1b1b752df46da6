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
//                   start);
//   SolveVsLibraryLdl (built where Eigen is installed) the limit a solve is
//                   measured against: in turn with each solve, a library
//                   LDL^T (Eigen's SimplicialLDLT, AMD ordering) analyses the
//                   same Newton matrix once and factorises it as many times
//                   as the solve took Newton steps (library_ms). ratio is the
//                   solve's time over that (target at 300x300: 1.3 or less);
//                   the library's triangular solves for as many steps are
//                   shown apart (library_solves_ms).
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

#ifdef DORV_BENCH_EIGEN
#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>

#include <chrono>
#endif

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

#ifdef DORV_BENCH_EIGEN
// The Newton matrix of the free nodes as the first step builds it: every
// link adds its weight to the diagonal of its free ends and its negative
// between two free ends.
Eigen::SparseMatrix<double> newton_matrix(const Problem& pr) {
  const int n = static_cast<int>(pr.nodes.size());
  std::vector<int> free_index(n, -1);
  int nf = 0;
  for (int i = 0; i < n; ++i)
    if (pr.nodes[i].kind != NodeKind::Fixed) free_index[i] = nf++;
  std::vector<Eigen::Triplet<double>> entries;
  for (int i = 0; i < n; ++i)
    for (const auto& l : pr.links_of(i)) {
      const int fa = free_index[i], fb = free_index[l.neighbour];
      if (fa < 0) continue;
      const double w = l.conductance / 2.0;
      entries.emplace_back(fa, fa, w);
      if (fb >= 0) entries.emplace_back(fa, fb, -w);
    }
  Eigen::SparseMatrix<double> a(nf, nf);
  a.setFromTriplets(entries.begin(), entries.end());
  return a;
}

void BM_OptimerSolveVsLibraryLdl(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const int side = static_cast<int>(state.range(0));
  const Problem pr = parse_problem(grid_text(side, side));
  const Eigen::SparseMatrix<double> a = newton_matrix(pr);
  const Eigen::VectorXd b = Eigen::VectorXd::Ones(a.rows());
  std::chrono::duration<double> ours{}, library{}, library_solves{};
  Solution s;
  std::size_t library_nonzeros = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    s = solve_problem(pr);
    const auto t1 = Clock::now();
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower, Eigen::AMDOrdering<int>> ldl;
    ldl.analyzePattern(a);
    for (int step = 0; step < s.iterations; ++step) ldl.factorize(a);
    const auto t2 = Clock::now();
    Eigen::VectorXd x;
    for (int step = 0; step < s.iterations; ++step) x = ldl.solve(b);
    benchmark::DoNotOptimize(x.data());
    const auto t3 = Clock::now();
    ours += t1 - t0;
    library += t2 - t1;
    library_solves += t3 - t2;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    library_nonzeros = static_cast<std::size_t>(ldl.matrixL().nestedExpression().nonZeros());
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["newton_steps"] = s.iterations;
  state.counters["library_ms"] = 1e3 * library.count() / runs;
  state.counters["library_solves_ms"] = 1e3 * library_solves.count() / runs;
  state.counters["ratio"] = ours.count() / library.count();
  state.counters["library_fill"] = static_cast<double>(library_nonzeros);
}
#endif

}  // namespace

#ifdef DORV_BENCH_EIGEN
BENCHMARK(BM_OptimerSolveVsLibraryLdl)->Arg(100)->Arg(300)->UseManualTime()->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_OptimerGridSolve)->Arg(10)->Arg(30)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimerReadParseWrite)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimerWholeFile)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
