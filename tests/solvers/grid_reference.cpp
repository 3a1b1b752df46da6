#include "tests/solvers/grid_reference.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace dorv::testing {

namespace {

struct Pipe {
  int u, v;
  double resistance;  // head loss = resistance * Q * |Q|
};

constexpr double kLinearZone = 1e-12;  // below this head difference the flow law is taken linear

double pipe_flow(double dh, double s) {
  if (std::fabs(dh) > kLinearZone) return std::copysign(std::sqrt(std::fabs(dh) / s), dh);
  return dh / std::sqrt(kLinearZone * s);
}
double pipe_slope(double dh, double s) {
  if (std::fabs(dh) > kLinearZone) return 0.5 / std::sqrt(std::fabs(dh) * s);
  return 1.0 / std::sqrt(kLinearZone * s);
}

struct Model {
  std::vector<Pipe> pipes;
  std::map<int, double> outletK;  // sprinkler node -> K
  int nodes = 1;                  // node 0 is the feed
  int add() { return nodes++; }
};

// Solves for all heads with the feed at head 1 (damped Newton, dense).
bool solve(const Model& m, std::vector<double>& h) {
  const int n = m.nodes;
  h.assign(static_cast<std::size_t>(n), 0.9);
  h[0] = 1.0;
  auto residual = [&](const std::vector<double>& x, std::vector<double>& f) {
    f.assign(static_cast<std::size_t>(n), 0.0);
    for (const Pipe& p : m.pipes) {
      const double q = pipe_flow(x[p.u] - x[p.v], p.resistance);
      f[p.u] -= q;
      f[p.v] += q;
    }
    for (const auto& [node, k] : m.outletK) f[node] -= k * std::sqrt(std::max(x[node], 0.0));
    f[0] = 0.0;
    double norm = 0;
    for (double v : f) norm += v * v;
    return std::sqrt(norm);
  };
  std::vector<double> f, trialF;
  double norm = residual(h, f);
  for (int iteration = 0; iteration < 500 && norm > 1e-13; ++iteration) {
    // Jacobian of the unknowns 1..n-1.
    const int u = n - 1;
    std::vector<double> J(static_cast<std::size_t>(u * u), 0.0), rhs(static_cast<std::size_t>(u));
    auto at = [&](int r, int c) -> double& { return J[static_cast<std::size_t>((r - 1) * u + (c - 1))]; };
    for (const Pipe& p : m.pipes) {
      const double g = pipe_slope(h[p.u] - h[p.v], p.resistance);
      if (p.u) at(p.u, p.u) -= g;
      if (p.v) at(p.v, p.v) -= g;
      if (p.u && p.v) at(p.u, p.v) += g, at(p.v, p.u) += g;
    }
    for (const auto& [node, k] : m.outletK) at(node, node) -= 0.5 * k / std::sqrt(std::max(h[node], 1e-12));
    for (int r = 1; r < n; ++r) rhs[static_cast<std::size_t>(r - 1)] = -f[r];
    // Gaussian elimination with partial pivoting.
    for (int c = 0; c < u; ++c) {
      int pivot = c;
      for (int r = c + 1; r < u; ++r)
        if (std::fabs(J[r * u + c]) > std::fabs(J[pivot * u + c])) pivot = r;
      for (int k = 0; k < u; ++k) std::swap(J[c * u + k], J[pivot * u + k]);
      std::swap(rhs[c], rhs[pivot]);
      for (int r = c + 1; r < u; ++r) {
        const double factor = J[r * u + c] / J[c * u + c];
        for (int k = c; k < u; ++k) J[r * u + k] -= factor * J[c * u + k];
        rhs[r] -= factor * rhs[c];
      }
    }
    std::vector<double> dx(static_cast<std::size_t>(u));
    for (int r = u - 1; r >= 0; --r) {
      double s = rhs[r];
      for (int k = r + 1; k < u; ++k) s -= J[r * u + k] * dx[k];
      dx[r] = s / J[r * u + r];
    }
    double step = 1.0;
    std::vector<double> trial;
    for (; step > 1e-12; step *= 0.5) {
      trial = h;
      for (int r = 1; r < n; ++r) trial[r] += step * dx[r - 1];
      if (residual(trial, trialF) < (1 - 1e-4 * step) * norm) break;
    }
    if (step <= 1e-12) break;
    h = trial;
    norm = residual(h, f);
  }
  return norm <= 1e-9;
}

}  // namespace

ReferenceSolution solve_grid_exactly(const solvers::ParameterRecord& r, int shift) {
  const int q = r.LineCount;
  const double a = r.SprinklerSpacing, b = r.LineSpacing;
  const double L = (r.SprinklersPerLine - r.DeadEnds1 - r.DeadEnds2) * a;
  const double rise = r.RiserHeight;
  Model m;
  std::vector<int> main1(q + 1), main2(q + 1), end1(q + 1), end2(q + 1);
  for (int i = 1; i <= q; ++i) main1[i] = m.add(), main2[i] = m.add(), end1[i] = m.add(), end2[i] = m.add();
  for (int i = 1; i < q; ++i) {
    m.pipes.push_back({main1[i], main1[i + 1], b / r.MainPipeK});
    m.pipes.push_back({main2[i], main2[i + 1], b / r.SecondMainK});
  }
  for (int i = 1; i <= q; ++i) {
    m.pipes.push_back({main1[i], end1[i], std::fabs(rise) / r.LinePipeK});
    m.pipes.push_back({main2[i], end2[i], std::fabs(rise) / r.LinePipeK});
  }
  // The feed, half a spacing before line 1 on main 1 (and on main 2 through
  // the cross-pipe, f12 along it from main 1).
  m.pipes.push_back({0, main1[1], b / (2 * r.MainPipeK) + (r.CrossPipeK ? r.FeedOffset / r.CrossPipeK : 0)});
  if (r.CrossPipeK) m.pipes.push_back({0, main2[1], b / (2 * r.SecondMainK) + (L - r.FeedOffset) / r.CrossPipeK});
  if (r.RingPipeK)
    m.pipes.push_back({main1[q], main2[q], b / (2 * r.MainPipeK) + L / r.RingPipeK + b / (2 * r.SecondMainK)});

  // Open sprinklers by line and position.
  std::map<std::pair<int, int>, int> open;
  for (int line = q - r.SquareLines + 1; line <= q; ++line)
    for (int p = shift; p < shift + r.SquareWidth; ++p) open[{line, p}] = m.add();
  for (int j = 0; j < r.PartialCount; ++j) open[{q - r.SquareLines, shift + r.PartialOffset + j}] = m.add();
  for (const auto& [key, node] : open) m.outletK[node] = r.SprinklerK;

  // Along each line, from one open point to the next: sprinkler p lies at p
  // spacings, the mains half a spacing after the last dead-end position.
  for (int line = 1; line <= q; ++line) {
    std::vector<std::pair<double, int>> points = {{r.DeadEnds1 + 0.5, end1[line]},
                                                  {r.SprinklersPerLine - r.DeadEnds2 + 0.5, end2[line]}};
    for (const auto& [key, node] : open)
      if (key.first == line) points.push_back({static_cast<double>(key.second), node});
    std::sort(points.begin(), points.end());
    for (std::size_t k = 0; k + 1 < points.size(); ++k)
      m.pipes.push_back({points[k].second, points[k + 1].second, (points[k + 1].first - points[k].first) * a / r.LinePipeK});
  }

  ReferenceSolution s;
  std::vector<double> h;
  s.converged = solve(m, h);
  auto flow = [&](int u, int v) {
    for (const Pipe& p : m.pipes) {
      if (p.u == u && p.v == v) return pipe_flow(h[u] - h[v], p.resistance);
      if (p.u == v && p.v == u) return -pipe_flow(h[v] - h[u], p.resistance);
    }
    return 0.0;
  };
  double weakest = h[0];
  for (int p = shift; p < shift + r.SquareWidth; ++p) weakest = std::min(weakest, h[open[{q, p}]]);
  s.measure = h[0] / weakest;
  const double c = r.MinHead / weakest, rc = std::sqrt(c);
  auto head = [&](int node) { return c * h[node] + rise; };

  s.weakestOpen = 1e300;
  for (const auto& [key, node] : open) s.weakestOpen = std::min(s.weakestOpen, c * h[node]);
  for (int line = q; line > q - r.SquareLines; --line) {
    std::vector<double> row;
    for (int p = shift; p < shift + r.SquareWidth; ++p) row.push_back(c * h[open[{line, p}]]);
    s.squareRows.push_back(row);
  }
  s.partialRow.assign(static_cast<std::size_t>(r.SquareWidth), 0.0);
  for (int j = 0; j < r.PartialCount; ++j)
    s.partialRow[static_cast<std::size_t>(r.PartialOffset + j)] = c * h[open[{q - r.SquareLines, shift + r.PartialOffset + j}]];
  double total = flow(0, main1[1]);
  if (r.CrossPipeK) total += flow(0, main2[1]);
  s.totalFlow = rc * total;
  s.totalHead = r.CrossPipeK ? head(0) : head(main1[1]);
  for (int line = q; line >= 1; --line)
    s.rows.push_back({head(main1[line]), head(end1[line]), rc * flow(main1[line], end1[line]),
                      rc * flow(main2[line], end2[line]), head(main2[line]), head(end2[line])});
  if (r.RingPipeK) {
    const double qr = flow(main1[q], main2[q]);
    s.ring = std::vector<double>{c * (h[main1[q]] - qr * std::fabs(qr) * b / (2 * r.MainPipeK)) + rise, rc * qr,
                                 c * (h[main2[q]] + qr * std::fabs(qr) * b / (2 * r.SecondMainK)) + rise};
  }
  if (r.CrossPipeK) {
    const double q1 = flow(0, main1[1]), q2 = flow(0, main2[1]);
    s.cross = std::vector<double>{c * (h[0] - q1 * std::fabs(q1) * r.FeedOffset / r.CrossPipeK) + rise, rc * q1,
                                  rc * q2, c * (h[0] - q2 * std::fabs(q2) * (L - r.FeedOffset) / r.CrossPipeK) + rise};
  }
  return s;
}

}  // namespace dorv::testing
