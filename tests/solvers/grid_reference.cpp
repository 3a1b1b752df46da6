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

struct Model {
  std::vector<Pipe> pipes;
  std::map<int, double> outlet_k;  // sprinkler node -> K
  int nodes = 1;                  // node 0 is the feed
  int add() { return nodes++; }
};

// Solves for all heads with the feed at head 1 and the flows of all pipes,
// by Newton's method on heads and flows together (dense): a pipe's head loss
// s Q |Q| has a finite slope at zero flow, where the flow k sqrt(dh) has
// none, so a pipe of almost no flow slows nothing. Converged when every
// pipe's head loss matches its heads to rounding.
bool solve(const Model& m, std::vector<double>& h, std::vector<double>& flows) {
  const int n = m.nodes;
  const int u = n - 1;  // unknown heads 1..n-1
  struct Link {
    int from, to;  // to -1: an outlet, head 0
    double s;
  };
  std::vector<Link> links;
  for (const Pipe& p : m.pipes) links.push_back({p.u, p.v, p.resistance});
  for (const auto& [node, k] : m.outlet_k) links.push_back({node, -1, 1 / (k * k)});
  h.assign(static_cast<std::size_t>(n), 0.9);
  h[0] = 1.0;
  std::vector<double> q(links.size(), 0.1);
  auto head = [&](int node) { return node < 0 ? 0.0 : h[static_cast<std::size_t>(node)]; };
  double worst_error = 1;
  for (int iteration = 0; iteration < 200 && worst_error > 1e-13; ++iteration) {
    double largest = 0;
    for (double v : q) largest = std::max(largest, std::fabs(v));
    std::vector<double> J(static_cast<std::size_t>(u * u), 0.0), rhs(static_cast<std::size_t>(u), 0.0);
    std::vector<double> w(links.size()), e(links.size());
    auto at = [&](int r, int c) -> double& { return J[static_cast<std::size_t>((r - 1) * u + (c - 1))]; };
    worst_error = 0;
    for (std::size_t l = 0; l < links.size(); ++l) {
      const Link& k = links[l];
      w[l] = 1 / (std::max(2 * std::fabs(q[l]), 1e-12 * largest) * k.s);
      e[l] = head(k.from) - head(k.to) - k.s * q[l] * std::fabs(q[l]);
      worst_error = std::max(worst_error, std::fabs(e[l]));
      // Flow balance of the corrected flows q + w (e + dh_from - dh_to).
      if (k.from > 0) at(k.from, k.from) += w[l], rhs[static_cast<std::size_t>(k.from - 1)] -= q[l] + w[l] * e[l];
      if (k.to > 0) at(k.to, k.to) += w[l], rhs[static_cast<std::size_t>(k.to - 1)] += q[l] + w[l] * e[l];
      if (k.from > 0 && k.to > 0) at(k.from, k.to) -= w[l], at(k.to, k.from) -= w[l];
    }
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
    auto correction = [&](int node) { return node > 0 ? dx[static_cast<std::size_t>(node - 1)] : 0.0; };
    for (std::size_t l = 0; l < links.size(); ++l)
      q[l] += w[l] * (e[l] + correction(links[l].from) - correction(links[l].to));
    for (int r = 1; r < n; ++r) h[r] += dx[r - 1];
  }
  flows.assign(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(m.pipes.size()));
  return worst_error <= 1e-13;
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
  for (const auto& [key, node] : open) m.outlet_k[node] = r.SprinklerK;

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
  std::vector<double> h, flows;
  s.converged = solve(m, h, flows);
  auto flow = [&](int u, int v) {
    for (std::size_t i = 0; i < m.pipes.size(); ++i) {
      const Pipe& p = m.pipes[i];
      if (p.u == u && p.v == v) return flows[i];
      if (p.u == v && p.v == u) return -flows[i];
    }
    return 0.0;
  };
  double weakest = h[0];
  for (int p = shift; p < shift + r.SquareWidth; ++p) weakest = std::min(weakest, h[open[{q, p}]]);
  s.measure = h[0] / weakest;
  const double c = r.MinHead / weakest, rc = std::sqrt(c);
  auto head = [&](int node) { return c * h[node] + rise; };

  s.weakest_open = 1e300;
  for (const auto& [key, node] : open) s.weakest_open = std::min(s.weakest_open, c * h[node]);
  for (int line = q; line > q - r.SquareLines; --line) {
    std::vector<double> row;
    for (int p = shift; p < shift + r.SquareWidth; ++p) row.push_back(c * h[open[{line, p}]]);
    s.square_rows.push_back(row);
  }
  s.partial_row.assign(static_cast<std::size_t>(r.SquareWidth), 0.0);
  for (int j = 0; j < r.PartialCount; ++j)
    s.partial_row[static_cast<std::size_t>(r.PartialOffset + j)] =
        c * h[open[{q - r.SquareLines, shift + r.PartialOffset + j}]];
  double total = flow(0, main1[1]);
  if (r.CrossPipeK) total += flow(0, main2[1]);
  s.total_flow = rc * total;
  s.total_head = r.CrossPipeK ? head(0) : head(main1[1]);
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
