#include "solvers/gridsolve/newtonsolver.h"

#include <algorithm>
#include <cmath>

#include "solvers/gridsolve/gridsolve.h"

namespace dorv::solvers {

namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

// The steps stop when this many in a row found no lower residual: near the
// solution each step doubles the correct digits, so three steps without a
// new lowest residual mean that rounding alone moves it.
constexpr int kStepsWithoutProgress = 3;
constexpr int kMaxSteps = 60;

// A fire square of thousands of sprinklers on hundreds of lines makes the
// rows of the step's matrix reach back hundreds of columns; beyond this many
// entries (128 MB) the network is left to the relaxation alone.
constexpr std::size_t kMaxEnvelope = std::size_t{1} << 24;

// The head loss Q|Q|/k^2 has the slope 2|Q|/k^2, which vanishes at zero flow.
// It is taken no flatter than at this share of the largest flow of the
// network, so that the step's matrix stays well within the arithmetic; a link
// below it converges to its own flow all the same, if more slowly, as the
// steps' fixed point is the exact balance whatever the slope.
constexpr double kLeastFlowShare = 1e-10;

// The unknowns (nodes 1..R as 0..R-1) in reverse Cuthill-McKee order: a
// breadth-first walk from an end of the network, neighbours of fewer links
// first, reversed. Rows of the step's matrix then reach back only a few
// columns along the ladder of mains and branch lines.
std::vector<int> elimination_order(int n, const std::vector<std::vector<int>>& neighbours) {
  std::vector<int> order;
  order.reserve(at(n));
  std::vector<int> level(at(n), -1);
  auto degree = [&](int u) { return neighbours[at(u)].size(); };
  // Breadth-first from start over the unvisited nodes; returns the nodes in
  // the order reached and leaves their levels.
  auto walk = [&](int start, std::vector<int>& reached) {
    reached.clear();
    reached.push_back(start);
    level[at(start)] = 0;
    for (std::size_t i = 0; i < reached.size(); ++i) {
      const int u = reached[i];
      std::vector<int> next;
      for (int v : neighbours[at(u)])
        if (level[at(v)] < 0) next.push_back(v);
      std::stable_sort(next.begin(), next.end(), [&](int a, int b) { return degree(a) < degree(b); });
      for (int v : next) {
        level[at(v)] = level[at(u)] + 1;
        reached.push_back(v);
      }
    }
  };
  std::vector<int> reached;
  for (int seed = 0; seed < n; ++seed) {
    if (level[at(seed)] >= 0) continue;
    // A node far from the seed, of fewest links in the last level: an end of
    // the component, where the walk starts.
    walk(seed, reached);
    const int last = level[at(reached.back())];
    int start = reached.back();
    for (int u : reached)
      if (level[at(u)] == last && degree(u) < degree(start)) start = u;
    for (int u : reached) level[at(u)] = -1;
    walk(start, reached);
    order.insert(order.end(), reached.begin(), reached.end());
  }
  std::reverse(order.begin(), order.end());
  return order;
}

}  // namespace

NewtonSolver::NewtonSolver(const GridNetwork& net) : unknowns_(net.R) {
  const LinkTable& t = net.table;
  const int n = unknowns_;
  std::vector<std::vector<int>> neighbours(at(n));
  for (int u = 1; u <= net.R; ++u) {
    for (int s = 0; s < t.slots(); ++s) {
      const double k = t.conductance_at(u, s);
      if (k == 0.0) break;
      const int v = t.neighbour_at(u, s);
      if (v >= 1 && v <= net.R) {
        // Between two relaxed nodes a link is held by both, with one
        // conductance; each pair is taken once.
        const int back = t.FindLink(v, u);
        if (back < 0 || t.conductance_at(v, back) != k) usable_ = false;
        if (u < v) {
          links_.push_back({u - 1, v - 1, 0, k});
          neighbours[at(u - 1)].push_back(v - 1);
          neighbours[at(v - 1)].push_back(u - 1);
        }
      } else {
        links_.push_back({u - 1, -1, v, k});  // to the feed or an outlet
      }
    }
  }
  const std::vector<int> order = elimination_order(n, neighbours);
  position_.assign(at(n), 0);
  for (int p = 0; p < n; ++p) position_[at(order[at(p)])] = p;
  first_.resize(at(n));
  for (int p = 0; p < n; ++p) first_[at(p)] = p;
  for (const Link& l : links_) {
    if (l.to < 0) continue;
    const int a = position_[at(l.from)];
    const int b = position_[at(l.to)];
    int& f = first_[at(std::max(a, b))];
    f = std::min(f, std::min(a, b));
  }
  row_start_.resize(at(n) + 1);
  row_start_[0] = 0;
  for (int p = 0; p < n; ++p) {
    const double width = p - first_[at(p)];
    row_start_[at(p) + 1] = row_start_[at(p)] + at(p - first_[at(p)] + 1);
    work_ += width * (width + 1) / 2 + width + 1;
  }
  if (row_start_[at(n)] > kMaxEnvelope) usable_ = false;
  if (usable_) envelope_.assign(row_start_[at(n)], 0.0);
}

bool NewtonSolver::factor() {
  // Row by row: for j < i, t_j = A(i,j) - sum over k < j of t_k L(j,k),
  // where t_k = L(i,k) D(k) is held in the row until the row is done.
  for (int i = 0; i < unknowns_; ++i) {
    const int fi = first_[at(i)];
    for (int j = fi; j < i; ++j) {
      const int from = std::max(fi, first_[at(j)]);
      double s = entry(i, j);
      for (int k = from; k < j; ++k) s -= entry(i, k) * entry(j, k);
      entry(i, j) = s;
    }
    double d = entry(i, i);
    for (int j = fi; j < i; ++j) {
      const double l = entry(i, j) / entry(j, j);
      d -= entry(i, j) * l;
      entry(i, j) = l;
    }
    if (!(d > 0) || !std::isfinite(d)) return false;
    entry(i, i) = d;
  }
  return true;
}

void NewtonSolver::solve_factored(std::vector<double>& x) const {
  for (int i = 0; i < unknowns_; ++i) {
    double s = x[at(i)];
    for (int j = first_[at(i)]; j < i; ++j) s -= entry(i, j) * x[at(j)];
    x[at(i)] = s;
  }
  for (int i = 0; i < unknowns_; ++i) x[at(i)] /= entry(i, i);
  for (int i = unknowns_ - 1; i >= 0; --i) {
    const double xi = x[at(i)];
    for (int j = first_[at(i)]; j < i; ++j) x[at(j)] -= entry(i, j) * xi;
  }
}

NewtonResult NewtonSolver::solve(GridNetwork& net, double tolerance) {
  std::vector<double>& h = net.heads;
  NewtonResult result;
  result.residual = residual(net);
  if (!usable_ || unknowns_ == 0) return result;
  auto head_at = [&](int unknown) { return h[at(unknown + 1)]; };
  auto far_head = [&](const Link& l) { return l.to >= 0 ? head_at(l.to) : h[at(l.fixed_node)]; };

  // The flows start as the heads give them: the first step is Newton's step
  // on the heads alone.
  std::vector<double> flow(links_.size());
  for (std::size_t l = 0; l < links_.size(); ++l)
    flow[l] = link_flow(links_[l].k, head_at(links_[l].from), far_head(links_[l]));

  std::vector<double> best = h;
  std::vector<double> rhs(at(unknowns_));
  std::vector<double> weight(links_.size());
  std::vector<double> head_error(links_.size());
  int without_progress = 0;
  while (result.residual >= tolerance && result.steps < kMaxSteps && without_progress < kStepsWithoutProgress) {
    ++result.steps;
    double largest = 0;
    for (double q : flow) largest = std::max(largest, std::fabs(q));
    const double least = largest > 0 ? 2 * kLeastFlowShare * largest : 1.0;
    // A step solves, to first order, the head balance of every link,
    // H_from - H_to = Q|Q|/k^2, and the flow balance of every node at once:
    // the flow correction w (e + dH_from - dH_to) of a link, with w the
    // inverse slope of its head loss and e its head-balance error, put into
    // the flow balances gives the symmetric system in the head corrections.
    std::fill(envelope_.begin(), envelope_.end(), 0.0);
    std::fill(rhs.begin(), rhs.end(), 0.0);
    for (std::size_t l = 0; l < links_.size(); ++l) {
      const Link& link = links_[l];
      const double q = flow[l];
      const double kk = link.k * link.k;
      const double w = kk / std::max(2 * std::fabs(q), least);
      const double e = head_at(link.from) - far_head(link) - q * std::fabs(q) / kk;
      weight[l] = w;
      head_error[l] = e;
      const int a = position_[at(link.from)];
      entry(a, a) += w;
      rhs[at(a)] -= q + w * e;
      if (link.to >= 0) {
        const int b = position_[at(link.to)];
        entry(b, b) += w;
        entry(std::max(a, b), std::min(a, b)) -= w;
        rhs[at(b)] += q + w * e;
      }
    }
    if (!factor()) break;
    solve_factored(rhs);
    for (int u = 0; u < unknowns_; ++u) h[at(u + 1)] += rhs[at(position_[at(u)])];
    for (std::size_t l = 0; l < links_.size(); ++l) {
      const Link& link = links_[l];
      const double d_from = rhs[at(position_[at(link.from)])];
      const double d_to = link.to >= 0 ? rhs[at(position_[at(link.to)])] : 0.0;
      flow[l] += weight[l] * (head_error[l] + d_from - d_to);
    }
    const double g = residual(net);
    if (!std::isfinite(g)) break;
    if (g < result.residual) {
      result.residual = g;
      best = h;
      without_progress = 0;
    } else {
      ++without_progress;
    }
  }
  h = best;
  result.stalled = without_progress >= kStepsWithoutProgress;
  return result;
}

}  // namespace dorv::solvers
