#include "standins/optimer/network_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace dorv::optimer {

namespace {

// Newton steps stop when every link's head balance r*Q|Q| = dH holds to this
// share of the network's head scale.
constexpr double kEnergyTolerance = 1e-11;
constexpr int kMaxIterations = 100;
// The Newton slope 2r|Q| of a link is kept from vanishing at zero flow: a
// link carries at least this share of k*sqrt(head scale) in the slope. It
// changes the path of the iteration only, never its fixed point.
constexpr double kFlowFloor = 1e-6;
// What the finished answer must meet: node imbalances as a share of the feed
// flow, sprinkler heads as a share of the required heads.
constexpr double kAnswerTolerance = 1e-6;

double sign_sqrt(double dh) { return dh >= 0 ? std::sqrt(dh) : -std::sqrt(-dh); }

}  // namespace

GradientSolver::GradientSolver(std::vector<char> fixed, std::vector<Link> links)
    : fixed_(std::move(fixed)), links_(std::move(links)) {
  const int n = static_cast<int>(fixed_.size());
  free_index_.assign(n, -1);
  for (int i = 0; i < n; ++i) {
    if (!fixed_[i]) {
      free_index_[i] = static_cast<int>(free_node_.size());
      free_node_.push_back(i);
    }
  }
  std::vector<std::pair<int, int>> pairs;
  pair_of_link_.assign(links_.size(), -1);
  for (std::size_t l = 0; l < links_.size(); ++l) {
    const int fa = free_index_[links_[l].a], fb = free_index_[links_[l].b];
    if (fa >= 0 && fb >= 0) {
      pair_of_link_[l] = static_cast<int>(pairs.size());
      pairs.emplace_back(fa, fb);
    }
  }
  ldl_.analyse(static_cast<int>(free_node_.size()), pairs);
  off_.assign(pairs.size(), 0.0);
}

int GradientSolver::solve(std::vector<double>& heads, std::vector<double>& flows, bool warm_start) {
  const std::size_t m = links_.size();
  const int nf = static_cast<int>(free_node_.size());
  failed_node_ = -1;
  double hmin = std::numeric_limits<double>::infinity(), hmax = -hmin;
  for (std::size_t i = 0; i < fixed_.size(); ++i) {
    if (fixed_[i]) {
      hmin = std::min(hmin, heads[i]);
      hmax = std::max(hmax, heads[i]);
    }
  }
  const double hs = hmax > hmin ? hmax - hmin : 1.0;
  const double root_hs = std::sqrt(hs);
  if (!warm_start) flows.assign(m, 0.0);
  diag_.resize(nf);
  rhs_.resize(nf);
  g_.resize(m);
  y_.resize(m);
  qnew_.resize(m);
  bool feasible = warm_start;  // flows keep the balance of every free node

  auto fixed_head = [&](int node) { return fixed_[node] ? heads[node] : 0.0; };
  // The network's content along feasible flows; the Newton direction descends on it.
  auto content = [&](const std::vector<double>& q, double alpha, const std::vector<double>* dir) {
    double p = 0.0;
    for (std::size_t l = 0; l < m; ++l) {
      if (fixed_[links_[l].a] && fixed_[links_[l].b]) continue;
      const double x = q[l] + (dir ? alpha * (*dir)[l] : 0.0);
      const double r = 1.0 / (links_[l].k * links_[l].k);
      p += r * std::abs(x) * x * x / 3.0 - x * (fixed_head(links_[l].a) - fixed_head(links_[l].b));
    }
    return p;
  };

  std::vector<double> dir(m);
  for (int it = 1; it <= kMaxIterations; ++it) {
    std::fill(diag_.begin(), diag_.end(), 0.0);
    std::fill(rhs_.begin(), rhs_.end(), 0.0);
    for (std::size_t l = 0; l < m; ++l) {
      const Link& ln = links_[l];
      const double r = 1.0 / (ln.k * ln.k);
      if (!feasible) {
        // First step from nothing: a linear network of about the right size.
        g_[l] = 2.0 * root_hs / ln.k;
        y_[l] = 0.0;
      } else {
        const double q = flows[l];
        g_[l] = std::max(2.0 * r * std::abs(q), 2.0 * kFlowFloor * root_hs / ln.k);
        y_[l] = q - r * q * std::abs(q) / g_[l];
      }
      const double w = 1.0 / g_[l];
      const int fa = free_index_[ln.a], fb = free_index_[ln.b];
      if (fa >= 0) {
        diag_[fa] += w;
        rhs_[fa] -= y_[l];
        if (fb < 0) rhs_[fa] += w * heads[ln.b];
      }
      if (fb >= 0) {
        diag_[fb] += w;
        rhs_[fb] += y_[l];
        if (fa < 0) rhs_[fb] += w * heads[ln.a];
      }
      if (pair_of_link_[l] >= 0) off_[pair_of_link_[l]] = -w;
    }
    if (nf > 0) {
      if (!ldl_.factor(diag_, off_)) {
        failed_node_ = free_node_[ldl_.failed_unknown()];
        return -1;
      }
      ldl_.solve(rhs_);
      for (int i = 0; i < nf; ++i) heads[free_node_[i]] = rhs_[i];
    }
    double residual = 0.0;
    int worst = -1;
    for (std::size_t l = 0; l < m; ++l) {
      const Link& ln = links_[l];
      const double dh = heads[ln.a] - heads[ln.b];
      if (fixed_[ln.a] && fixed_[ln.b]) {
        qnew_[l] = ln.k * sign_sqrt(dh);
      } else {
        qnew_[l] = y_[l] + dh / g_[l];
      }
      const double e = std::abs(qnew_[l] * std::abs(qnew_[l]) / (ln.k * ln.k) - dh);
      if (e > residual) {
        residual = e;
        worst = fixed_[ln.a] ? ln.b : ln.a;
      }
      dir[l] = qnew_[l] - flows[l];
    }
    double alpha = 1.0;
    if (feasible) {
      double slope = 0.0, size = 0.0;
      for (std::size_t l = 0; l < m; ++l) {
        const Link& ln = links_[l];
        if (fixed_[ln.a] && fixed_[ln.b]) continue;
        const double q = flows[l], r = 1.0 / (ln.k * ln.k);
        const double c = fixed_head(ln.a) - fixed_head(ln.b);
        slope += (r * q * std::abs(q) - c) * dir[l];
        size += r * std::abs(q) * q * q / 3.0 + std::abs(q * c);
      }
      if (slope < -1e-12 * size) {
        const double p0 = content(flows, 0.0, nullptr);
        while (alpha > 1e-10 && content(flows, alpha, &dir) > p0 + 1e-4 * alpha * slope) alpha *= 0.5;
      }
    }
    for (std::size_t l = 0; l < m; ++l) flows[l] += alpha * dir[l];
    feasible = true;
    if (alpha == 1.0 && residual <= kEnergyTolerance * hs) return it;
    failed_node_ = worst;
  }
  return -1;
}

std::vector<double> node_imbalance(const Problem& problem, const std::vector<double>& heads) {
  std::vector<double> out(problem.nodes.size(), 0.0);
  for (std::size_t i = 0; i < problem.nodes.size(); ++i) {
    double s = 0.0;
    for (const auto& l : problem.nodes[i].links) s += l.conductance * sign_sqrt(heads[i] - heads[l.neighbour]);
    out[i] = s;
  }
  return out;
}

namespace {

std::wstring num(long long v) { return std::to_wstring(v); }

[[noreturn]] void no_convergence(int node) {
  throw ProblemError(node, 0,
                     L"решение не сходится" +
                         (node >= 0 ? L"; наибольшая невязка у узла " + num(node) : std::wstring()));
}

}  // namespace

Solution solve_problem(const Problem& problem) {
  const auto& nodes = problem.nodes;
  const int n = static_cast<int>(nodes.size());
  std::vector<char> fixed(n, 0);
  std::vector<Link> links;
  for (int i = 0; i < n; ++i) {
    fixed[i] = nodes[i].kind == NodeKind::Fixed;
    for (const auto& l : nodes[i].links)
      if (l.neighbour > i) links.push_back({i, l.neighbour, l.conductance});
  }
  GradientSolver solver(fixed, links);

  // Sprinklers whose required head lies above their outlet's head dictate.
  struct Demand {
    int node;
    double required, outlet;
  };
  std::vector<Demand> demands;
  bool same_level = true;
  double level = 0.0;
  bool have_level = false;
  for (int i = 1; i < n; ++i) {
    if (nodes[i].kind == NodeKind::Fixed) {
      if (have_level && nodes[i].head != level) same_level = false;
      level = nodes[i].head;
      have_level = true;
    }
    if (nodes[i].kind == NodeKind::Sprinkler) {
      const double outlet = nodes[nodes[i].links[0].neighbour].head;
      if (nodes[i].head > outlet) demands.push_back({i, nodes[i].head, outlet});
    }
  }
  if (demands.empty())
    throw ProblemError(-1, 0, L"ни у одного спринклера требуемый напор не выше напора на его выходе");
  double scale = 0.0;
  for (const auto& d : demands) scale = std::max(scale, d.required - d.outlet);

  Solution s;
  s.links = links;
  s.heads.assign(n, 0.0);
  for (int i = 0; i < n; ++i)
    if (fixed[i]) s.heads[i] = nodes[i].head;

  auto run = [&](double feed_head, bool warm) {
    s.heads[0] = feed_head;
    const int it = solver.solve(s.heads, s.flows, warm);
    if (it < 0) no_convergence(solver.failed_node());
    s.iterations += it;
    ++s.solves;
  };

  if (same_level) {
    // Heads above the common level scale with the feed's, flows with the
    // square root of that factor: one solve gives the exact answer.
    run(level + scale, false);
    double factor = 0.0;
    for (const auto& d : demands) {
      const double got = s.heads[d.node] - level;
      if (!(got > 0.0))
        throw ProblemError(d.node, 0, L"спринклер " + num(d.node) + L" не получает воды от питания");
      const double f = (d.required - level) / got;
      if (f > factor) {
        factor = f;
        s.dictating = d.node;
      }
    }
    for (int i = 0; i < n; ++i) s.heads[i] = level + factor * (s.heads[i] - level);
    const double root = std::sqrt(factor);
    for (auto& q : s.flows) q *= root;
  } else {
    // The lowest margin over the required heads grows with the feed head:
    // bracket its root, then close in by false position (Illinois variant)
    // with bisection as the safeguard.
    auto margin = [&](double feed_head, bool warm) {
      run(feed_head, warm);
      double low = std::numeric_limits<double>::infinity();
      for (const auto& d : demands) {
        const double mgn = s.heads[d.node] - d.required;
        if (mgn < low) {
          low = mgn;
          s.dictating = d.node;
        }
      }
      return low;
    };
    double top = -std::numeric_limits<double>::infinity();
    for (int i = 0; i < n; ++i)
      if (nodes[i].kind != NodeKind::Junction && i != 0) top = std::max(top, nodes[i].head);
    double lo, hi, glo, ghi;
    double x = top + scale;
    double gx = margin(x, false);
    double step = std::max(scale, std::abs(gx));
    int expansions = 0;
    if (gx < 0) {
      lo = x, glo = gx;
      for (;;) {
        hi = lo + step, ghi = margin(hi, true);
        if (ghi >= 0) break;
        lo = hi, glo = ghi, step *= 2;
        if (++expansions > 60) throw ProblemError(s.dictating, 0, L"не удается подобрать напор питания: спринклер " + num(s.dictating) + L" не получает требуемого напора");
      }
    } else {
      hi = x, ghi = gx;
      for (;;) {
        lo = hi - step, glo = margin(lo, true);
        if (glo < 0) break;
        hi = lo, ghi = glo, step *= 2;
        if (++expansions > 60) throw ProblemError(-1, 0, L"не удается подобрать напор питания: напоры спринклеров от него не зависят");
      }
    }
    int side = 0;
    bool done = false;
    for (int k = 0; k < 200 && !done; ++k) {
      x = (lo * ghi - hi * glo) / (ghi - glo);
      if (!(x > lo && x < hi)) x = 0.5 * (lo + hi);
      gx = margin(x, true);
      if (std::abs(gx) <= kEnergyTolerance * 10 * scale || hi - lo <= 1e-13 * (std::abs(x) + scale)) {
        done = true;
      } else if (gx < 0) {
        lo = x, glo = gx;
        if (side == -1) ghi *= 0.5;
        side = -1;
      } else {
        hi = x, ghi = gx;
        if (side == 1) glo *= 0.5;
        side = 1;
      }
    }
    if (!done) throw ProblemError(s.dictating, 0, L"не удается подобрать напор питания");
  }
  s.feed_head = s.heads[0];
  s.feed_flow = 0.0;
  for (std::size_t l = 0; l < links.size(); ++l) {
    if (links[l].a == 0) s.feed_flow += s.flows[l];
    if (links[l].b == 0) s.feed_flow -= s.flows[l];
  }
  // The answer is checked by the laws themselves: a network whose heads span
  // more than double precision can hold gives itself away here.
  const auto imbalance = node_imbalance(problem, s.heads);
  const double flow_scale = std::max(std::abs(s.feed_flow), 1e-300);
  for (int i = 0; i < n; ++i) {
    if (!fixed[i] && !(std::abs(imbalance[i]) <= kAnswerTolerance * flow_scale))
      throw ProblemError(i, 0, L"не достигнута точность решения: невязка расхода у узла " + num(i));
  }
  for (const auto& d : demands) {
    if (!(s.heads[d.node] - d.required >= -kAnswerTolerance * scale))
      throw ProblemError(d.node, 0, L"не достигнута точность решения: напор спринклера " + num(d.node) +
                                        L" ниже требуемого");
  }
  return s;
}

}  // namespace dorv::optimer
