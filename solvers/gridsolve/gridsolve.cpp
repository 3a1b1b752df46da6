#include "solvers/gridsolve/gridsolve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "solvers/common/nodesolver.h"
#include "solvers/common/resultfile.h"
#include "solvers/gridsolve/newtonsolver.h"

namespace dorv::solvers {

namespace {

constexpr int kRandomRange = NodeDraw::kRange;
constexpr int kSlots = 3;

std::size_t at(int node) { return static_cast<std::size_t>(node); }

}  // namespace

NodeDraw::NodeDraw(int R) : R_(R) {
  std::vector<int> table(kRandomRange);
  std::vector<char> reached(static_cast<std::size_t>(R) + 1, 0);
  for (int r = 0; r < kRandomRange; ++r) {
    const int i = static_cast<int>(std::trunc((std::sin(static_cast<double>(r)) + 0.999999) * R * 0.5 + 1));
    table[at(r)] = std::clamp(i, 1, R);
    reached[at(table[at(r)])] = 1;
  }
  if (std::count(reached.begin() + 1, reached.end(), 1) == R) table_ = std::move(table);
}

GridNetwork::GridNetwork(const ParameterRecord& sized)
    : record(sized),
      M(NodeCount(sized)),
      R(M + 2 * sized.LineCount),
      table(R + 1, kSlots),
      heads(at(2 * M) + 1, 0.0) {}

void set_start_heads(GridNetwork& net) {
  std::fill(net.heads.begin(), net.heads.end(), 0.0);
  net.heads[0] = 100.0;
  std::fill(net.heads.begin() + 1, net.heads.begin() + net.R + 1, 10.0);
}

void BuildNetwork(GridNetwork& net) {
  const ParameterRecord& r = net.record;
  LinkTable& t = net.table;
  const int q = r.LineCount;
  const int M = net.M;
  const int SL = r.SquareLines;
  const int SW = r.SquareWidth;
  const double b = r.LineSpacing;
  const double L = mains_distance(r);
  const double K6 = r.MainPipeK;
  const double K11 = r.CrossPipeK;
  const double K14 = r.SecondMainK;
  const double K15 = r.RingPipeK;
  const double f12 = r.FeedOffset;
  const double plain_line_k = pipe_conductance(r.LinePipeK, L);

  t.clear(net.R);
  for (int s = 2 * q + 1; s <= M; ++s) t.add_link(s, M + s, r.SprinklerK);
  // Lines nearer the feed than the square carry water from main to main.
  if (q - SL - 1 >= 1) t.LinkRange(M + 1, M + q + 1, M + q - SL - 1, plain_line_k);
  if (r.PartialCount == 0) {
    if (SL < q) t.LinkRange(M + q - SL, M + 2 * q - SL, M + q - SL, plain_line_k);
  } else {
    BuildFireLines(2 * q + SL * SW + 1, 1, r.ShiftAlong + r.PartialOffset, r.PartialCount, M + q - SL, r, t);
  }
  BuildFireLines(2 * q + 1, SL, r.ShiftAlong, SW, M + q - SL + 1, r, t);
  // A height below the mains is a riser of the same length as one above.
  t.LinkRange(1, M + 1, 2 * q, pipe_conductance(r.LinePipeK, std::fabs(r.RiserHeight)));
  auto main = [&t, q](int first, double k) {
    const int last = first + q - 1;
    t.add_link(first, first + 1, k);
    for (int i = first + 1; i < last; ++i) {
      t.add_link(i, i + 1, k);
      t.add_link(i, i - 1, k);
    }
    t.add_link(last, last - 1, k);
  };
  main(1, pipe_conductance(K6, b));
  main(q + 1, pipe_conductance(K14, b));
  // The feed lies half a line spacing before node 1 on main 1's line, at
  // f12 along the cross-pipe when there is one.
  double k0 = pipe_conductance(2 * K6, b);
  if (K11 != 0) k0 = in_series_with_pipe(k0, K11, f12);
  t.add_link(1, 0, k0);
  t.add_link(0, 1, k0);
  if (K11 != 0) {
    double k = pipe_conductance(2 * K14, b);
    k = in_series_with_pipe(k, K11, L - f12);
    t.add_link(q + 1, 0, k);
    t.add_link(0, q + 1, k);
  }
  if (K15 != 0) {
    const double k = 1.0 / std::sqrt(L / K15 + b / (2 * K14) + b / (2 * K6));
    t.add_link(q, 2 * q, k);
    t.add_link(2 * q, q, k);
  }
}

namespace {

// sqrt of the sum over nodes 1..R of the squared sum over the node's links
// of term(k, head of the node, head of the neighbour).
template <class Term>
double node_sums_norm(const GridNetwork& net, Term term) {
  double sum = 0.0;
  for (int i = 1; i <= net.R; ++i) {
    double node = 0.0;
    for (int s = 0; s < kSlots; ++s) {
      const double k = net.table.conductance_at(i, s);
      if (k == 0.0) break;
      node += term(k, net.heads[at(i)], net.heads[at(net.table.neighbour_at(i, s))]);
    }
    sum += node * node;
  }
  return std::sqrt(sum);
}

}  // namespace

double residual(const GridNetwork& net) {
  return node_sums_norm(net, [](double k, double hi, double hj) { return link_flow(k, hi, hj); });
}

double residual_rounding_level(const GridNetwork& net) {
  return node_sums_norm(net, [](double k, double hi, double hj) {
    // Each head rounded to its nearest number is off by up to half a unit in
    // its last place: their difference by up to a unit of the larger.
    const double u = std::numeric_limits<double>::epsilon() * std::max(std::fabs(hi), std::fabs(hj));
    const double dh = std::fabs(hi - hj);
    return u > 0 ? k * u / (std::sqrt(dh + u) + std::sqrt(dh)) : 0.0;
  });
}

const wchar_t* relax_stop_text(RelaxStop stop) {
  switch (stop) {
    case RelaxStop::NotFinite: return L"Погрешность вышла за пределы представимых чисел.";
    case RelaxStop::BelowRounding: return L"Погрешность перестала уменьшаться.";
    case RelaxStop::Limit: return L"Достигнуто наибольшее число итераций.";
    case RelaxStop::Converged: break;
  }
  return L"";
}

RelaxResult RelaxNetwork(GridNetwork& net, const NodeDraw& draw, RelaxRandom& random, const ConsoleOut& out,
                         long long limit) {
  const double tolerance = net.record.Tolerance;
  const int R = net.R;
  const LinkTable& t = net.table;
  std::vector<double>& h = net.heads;
  int node = 2;
  long long counter = 0;
  double g = 10.0;
  double previous_g = 0.0;
  double printed_g = 100.0;
  double spacing = 100.0;
  double next_check = std::trunc(R * 100.0);
  // The loop goes on at least to the first residual check: a tolerance above
  // the start residual must not pass the start heads off as a solution.
  bool checked = false;
  // Newton steps finish a relaxation that has not converged after
  // kNewtonAfterPerNode relaxations a node; one that does not reach the
  // tolerance is tried again after as many relaxations again.
  std::optional<NewtonSolver> newton;
  long long newton_from = kNewtonAfterPerNode * R;
  RelaxStop stop = RelaxStop::Converged;
  while (!(checked && g < tolerance)) {
    double nh[kSlots];
    double nk[kSlots];
    for (int s = 0; s < kSlots; ++s) {
      nk[s] = t.conductance_at(node, s);
      nh[s] = nk[s] != 0.0 ? h[at(t.neighbour_at(node, s))] : 0.0;
    }
    NodeWarning warning;
    h[at(node)] = SolveNode(nh[0], nh[1], nh[2], nk[0], nk[1], nk[2], &warning);
    if (warning != NodeWarning::None) out(node_warning_text(warning));
    ++counter;
    if (counter % 100000 == 0 && g != printed_g) {
      out(c_format("\n  итерация %lld - погрешность %f", counter, g));
      printed_g = g;
    }
    node = draw.next(random);
    if (counter > next_check) {
      g = residual(net);
      checked = true;
      if (!std::isfinite(g)) {
        stop = RelaxStop::NotFinite;
        break;
      }
      const double ratio = previous_g / g;
      if (ratio >= 1.5 || g <= 3 * tolerance) {
        if (ratio > 2.5) spacing *= 0.5;
      } else {
        spacing *= 2;
      }
      previous_g = g;
      next_check = std::min(std::trunc(next_check + R * spacing), 9e18);
      if (g >= tolerance && counter >= newton_from) {
        if (!newton) newton.emplace(net);
        // The steps cost no more than the relaxations already made.
        if (newton->step_work() <= kNewtonWorkPerRelaxation * static_cast<double>(counter)) {
          const NewtonResult finish = newton->solve(net, tolerance);
          g = finish.residual;
          // Where the tolerance lies below what rounding the heads may leave
          // in the residual, neither more steps nor more relaxing can be
          // told from rounding.
          if (finish.stalled && g >= tolerance && tolerance < residual_rounding_level(net)) {
            stop = RelaxStop::BelowRounding;
            break;
          }
        }
        newton_from = 2 * counter;
      }
    }
    if (counter >= limit) {
      stop = RelaxStop::Limit;
      break;
    }
  }
  RelaxResult result;
  result.relaxations = counter;
  result.stop = stop;
  if (stop == RelaxStop::Converged) {
    result.converged = true;
    result.residual = g;
  } else {
    result.residual = residual(net);
  }
  out(c_format("\nСдвиг: %d, погрешность: %f, итераций: %6lld", net.record.ShiftAlong, result.residual, counter));
  return result;
}

std::wstring grid_report_text(double c, const GridNetwork& net) {
  const ParameterRecord& r = net.record;
  const std::vector<double>& h = net.heads;
  const int q = r.LineCount;
  const int M = net.M;
  const double rise = r.RiserHeight;
  const double b = r.LineSpacing;
  const double L = mains_distance(r);
  const double f12 = r.FeedOffset;
  const double rc = std::sqrt(c);
  auto head = [&](int node) { return c * h[at(node)] + rise; };
  auto flow = [&](int u, int v) { return link_flow(net.table, h, u, v); };

  std::wstring out = L"Давления во вскрывшихся спринклерах:\n";
  out += square_head_rows(r, [&](int node) { return c * h[at(node)]; }, true);
  out += c_format("\n\nСмещение вправо квадрата пожара: %2d\n", r.ShiftAlong);
  double total = 0.0;
  for (int s = 0; s < kSlots && net.table.conductance_at(0, s) != 0.0; ++s)
    total += flow(0, net.table.neighbour_at(0, s));
  out += c_format("\nПолный напор:   %6.2lf\nПолный расход: %7.3lf\n", r.CrossPipeK == 0 ? head(1) : head(0),
                 rc * total);
  out += L"\nПараметры концов рядков:\n           Напоры         Расход     Расход        Напоры\n"
         L"           слева          слева      справа        справа";
  if (r.RingPipeK != 0) {
    const double ring = flow(q, 2 * q);
    const double loss = std::fabs(ring) * ring * b / 2;
    out += c_format("\nмаг  %8.2lf          %8.3lf              %8.2lf", c * (h[at(q)] - loss / r.MainPipeK) + rise,
                   rc * ring, c * (h[at(2 * q)] + loss / r.SecondMainK) + rise);
  }
  for (int i = q; i >= 1; --i) {
    out += c_format("\n%2d   %8.2lf%8.2lf  %8.3lf   %8.3lf   %8.2lf%8.2lf", q - i + 1, head(i), head(M + i),
                   rc * flow(i, M + i), rc * flow(q + i, M + q + i), head(q + i), head(M + q + i));
  }
  if (r.CrossPipeK != 0) {
    const double q1 = flow(0, 1);
    const double q2 = flow(0, q + 1);
    out += c_format("\nмаг  %8.2lf           %8.3lf   %8.3lf  %8.2lf",
                   c * (h[0] - std::fabs(q1) * q1 * f12 / r.CrossPipeK) + rise, rc * q1, rc * q2,
                   c * (h[0] - std::fabs(q2) * q2 * (L - f12) / r.CrossPipeK) + rise);
  }
  return without_negative_zeros(std::move(out));
}

ScanResult ScanShifts(GridNetwork& net, RelaxRandom& random, const std::filesystem::path& spr_out,
                      const ConsoleOut& out, long long limit) {
  ParameterRecord& r = net.record;
  const int q = r.LineCount;
  const NodeDraw draw(net.R);
  if (limit <= 0) limit = kRelaxationLimit;
  ScanResult scan;
  double worst = 0.0;
  for (int shift = 1; shift <= r.SprinklersPerLine - r.SquareWidth + 1; ++shift) {
    r.ShiftAlong = shift;
    BuildNetwork(net);
    const RelaxResult relax = RelaxNetwork(net, draw, random, out, limit);
    scan.relaxations += relax.relaxations;
    // The dictating sprinkler is the weakest of the square's far-end line;
    // scaling by c gives it exactly the required head.
    double weakest = net.heads[0];
    for (int j = 1; j <= r.SquareWidth; ++j) weakest = std::min(weakest, net.heads[at(2 * q + r.SquareLines * j)]);
    if (!relax.converged) {
      scan.outcome = ScanOutcome::NoConvergence;
      scan.failed = relax;
      scan.failed_shift = shift;
      return scan;
    }
    // A dictating head of 0 or a scale beyond the arithmetic gives no
    // report worth the name: the grid has no solution to print.
    const double c = r.MinHead / weakest;
    const double measure = net.heads[0] / weakest;
    const double feed_head = (r.CrossPipeK == 0 ? net.heads[1] : net.heads[0]) * c;
    if (!(weakest > 0) || !std::isfinite(c) || !std::isfinite(measure) || !std::isfinite(feed_head)) {
      scan.outcome = ScanOutcome::NotFinite;
      scan.failed_shift = shift;
      return scan;
    }
    out(c_format(", напор: %f", feed_head));
    if (measure > worst) {
      worst = measure;
      scan.worst_shift = shift;
      const std::wstring report = grid_report_text(c, net);
      if (!numbers_sensible(report, kMaxResultValue)) {
        scan.outcome = ScanOutcome::NotFinite;
        scan.failed_shift = shift;
        return scan;
      }
      if (!write_result_file(spr_out, report)) {
        scan.outcome = ScanOutcome::NoOutput;
        return scan;
      }
    }
  }
  return scan;
}

int RunGridSolveProgram(const std::filesystem::path& folder, std::uint32_t seed, const ConsoleOut& out,
                        long long relaxation_limit) {
  const std::filesystem::path spr_out = folder / "spr.out";
  const ParameterLoad load = load_grid_parameters(folder / "spr.in", GridProgram::GridSolve);
  if (load.exit_code != kExitDone) {
    // An earlier grid's report must not pass for this one's.
    empty_result_file(spr_out);
    out(load.message);
    return load.exit_code;
  }
  GridNetwork net(load.record);
  set_start_heads(net);
  RelaxRandom random(seed);
  out(L"\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n    Программа расчета решеточной спринклерной системы\n\n");
  const ScanResult scan = ScanShifts(net, random, spr_out, out, relaxation_limit);
  switch (scan.outcome) {
    case ScanOutcome::NoConvergence:
      // A report of an earlier shift is no result: the worst shift is unknown.
      empty_result_file(spr_out);
      out(c_format("\n\n\nРасчет не сходится: сдвиг %d, погрешность %f после %lld итераций.\n",
                  scan.failed_shift, scan.failed.residual, scan.failed.relaxations) +
          relax_stop_text(scan.failed.stop) + L"\nРезультат не получен, файл  spr.out  пуст.\n\n");
      return kExitNoConvergence;
    case ScanOutcome::NotFinite:
      empty_result_file(spr_out);
      out(c_format("\n\n\nРешетка не может быть рассчитана: сдвиг %d дает напоры или расходы вне\n"
                  "пределов представимых чисел.\nРезультат не получен, файл  spr.out  пуст.\n\n",
                  scan.failed_shift));
      return kExitNoConvergence;
    case ScanOutcome::NoOutput:
      empty_result_file(spr_out);
      out(kNoOutputMessage);
      return kExitNoOutput;
    case ScanOutcome::Done:
      break;
  }
  out(L"\n\n    Расчет закончен.\n");
  return kExitDone;
}

}  // namespace dorv::solvers
