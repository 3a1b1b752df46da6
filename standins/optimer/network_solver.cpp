#include "standins/optimer/network_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "standins/optimer/link_terms.h"

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
// The backtracking along a Newton step gives up halving here (a step of a
// descent direction that cannot lower the content by this much is rounding).
constexpr double kLeastStep = 1e-12;
// What the finished answer must meet: node imbalances as a share of the feed
// flow, sprinkler heads as a share of the required heads.
constexpr double kAnswerTolerance = 1e-6;

double sign_sqrt(double dh) { return dh >= 0 ? std::sqrt(dh) : -std::sqrt(-dh); }

// The least slope dH/dQ that the Newton step gives a link, times its
// conductance k: the square law's slope vanishes at zero flow, and this keeps
// the step defined there. Flows small enough to sit under it carry a head
// loss far below the solver's tolerance, so it shapes the path of the
// iteration only, never the answer.
double least_slope_times_k(double root_hs) { return 2.0 * kFlowFloor * root_hs; }

// A pass over links [0, m) that computes terms two links at once and then
// sums them link by link, a block at a time: the terms of many links are
// under way together (no link waits for another there), while the sums keep
// the link order their rounding depends on. pair(l, i) computes the terms
// of links l and l + 1 into place i and i + 1 of a block, single(l, i)
// those of a last odd link, and sum(l, i) takes link l from place i.
template <std::size_t kBlock, class Pair, class Single, class Sum>
[[gnu::always_inline]] inline void in_blocks(std::size_t m, Pair&& pair, Single&& single, Sum&& sum) {
  for (std::size_t first = 0; first < m; first += kBlock) {
    const std::size_t count = std::min(kBlock, m - first);
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) pair(first + i, i);
    if (i < count) single(first + i, i);
    for (i = 0; i < count; ++i) sum(first + i, i);
  }
}

}  // namespace

GradientSolver::GradientSolver(std::vector<char> fixed, const std::vector<Link>& links)
    : fixed_(std::move(fixed)), links_(links) {
  const int n = static_cast<int>(fixed_.size());
  std::vector<int> free_index(n, -1);
  for (int i = 0; i < n; ++i) {
    if (!fixed_[i]) {
      free_index[i] = static_cast<int>(free_node_.size());
      free_node_.push_back(i);
    }
  }
  std::vector<std::pair<int, int>> pairs;
  ends_.resize(links_.size());
  for (std::size_t l = 0; l < links_.size(); ++l) {
    const FreeEnds e{free_index[links_[l].a], free_index[links_[l].b]};
    ends_[l] = e;
    if (e.fa >= 0 && e.fb >= 0) pairs.emplace_back(e.fa, e.fb);
  }
  ldl_.analyse(static_cast<int>(free_node_.size()), pairs);
  off_.assign(pairs.size(), 0.0);
  // A step computes the terms of a link between two given heads with the
  // others' and drops them; from these starts they stay finite.
  g_.assign(links_.size(), 1.0);
  e_.assign(links_.size(), 0.0);
}

// A link's part of the Newton system at its flow q: w = 1/g on the diagonal
// of its free ends and negated between them, and its head-balance error e
// turned into flow on the right-hand side.
[[gnu::always_inline]] inline void GradientSolver::add_to_system(std::size_t l, double w, double e, double q,
                                                                 double* diag, double* rhs, int& pair) {
  const auto [fa, fb] = ends_[l];
  if (fa >= 0) {
    diag[fa] += w;
    rhs[fa] += e * w - q;
  }
  if (fb >= 0) {
    diag[fb] += w;
    rhs[fb] += q - e * w;
  }
  if (fa >= 0 && fb >= 0) off_[pair++] = -w;
}

void GradientSolver::assemble(const std::vector<double>& heads, const std::vector<double>& flows, bool linear_step,
                              double root_hs) {
  std::fill(diag_.begin(), diag_.end(), 0.0);
  std::fill(rhs_.begin(), rhs_.end(), 0.0);
  const double least = least_slope_times_k(root_hs);
  int pair = 0;
  for (std::size_t l = 0; l < links_.size(); ++l) {
    const Link& ln = links_[l];
    if (ends_[l].fa < 0 && ends_[l].fb < 0) continue;
    const double q = flows[l], u = q / ln.k;
    g_[l] = linear_step ? 2.0 * root_hs / ln.k : newton_slope(u, ln.k, least);
    e_[l] = head_loss(u) - (heads[ln.a] - heads[ln.b]);
    add_to_system(l, 1.0 / g_[l], e_[l], q, diag_.data(), rhs_.data(), pair);
  }
}

GradientSolver::PassSums GradientSolver::partial_step_pass(const std::vector<double>& heads,
                                                           std::vector<double>& flows, double alpha, double least) {
  std::fill(diag_.begin(), diag_.end(), 0.0);
  std::fill(rhs_.begin(), rhs_.end(), 0.0);
  PassSums sums;
  int pair = 0;
  for (std::size_t l = 0; l < links_.size(); ++l) {
    const Link& ln = links_[l];
    const auto [fa, fb] = ends_[l];
    const bool between_given_heads = fa < 0 && fb < 0;
    flows[l] += (between_given_heads ? 1.0 : alpha) * dir_[l];
    const double q = flows[l], u = q / ln.k;
    const double signed_e = head_loss(u) - (heads[ln.a] - heads[ln.b]);
    const double e = std::abs(signed_e);
    if (!(e <= sums.residual)) {
      sums.residual = e;
      sums.worst = fa < 0 ? ln.b : ln.a;
    }
    if (between_given_heads) continue;
    g_[l] = newton_slope(u, ln.k, least);
    e_[l] = signed_e;
    add_to_system(l, 1.0 / g_[l], signed_e, q, diag_.data(), rhs_.data(), pair);
  }
  return sums;
}

int GradientSolver::solve(std::vector<double>& heads, std::vector<double>& flows, bool warm_start) {
  const std::size_t m = links_.size();
  const int nf = static_cast<int>(free_node_.size());
  failed_node_ = -1;
  const double hs = head_scale(fixed_, heads);
  const double root_hs = std::sqrt(hs);
  const double least = least_slope_times_k(root_hs);
  if (!warm_start) {
    flows.assign(m, 0.0);
    double top = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < fixed_.size(); ++i)
      if (fixed_[i]) top = std::max(top, heads[i]);
    for (int node : free_node_) heads[node] = top;
  }
  diag_.resize(nf);
  rhs_.resize(nf);
  next_diag_.resize(nf);
  next_rhs_.resize(nf);
  g_.resize(m);
  e_.resize(m);
  dir_.resize(m);
  next_flows_.resize(m);
  // The first step from no flow solves a linear network of about the right
  // size: the square law's slope is zero there and says nothing.
  bool linear_step = !warm_start;
  // The system of the coming step is already built (by the last step's pass).
  bool assembled = false;

  for (int it = 1; it <= kMaxIterations; ++it) {
    // The Newton system is solved for corrections of the heads, not for the
    // heads themselves: a link near zero flow has a tiny slope, and flows
    // taken as head differences over it would carry the rounding of the
    // heads multiplied by its inverse. As corrections, continuity holds to
    // the rounding of the flows themselves.
    if (!assembled) assemble(heads, flows, linear_step, root_hs);
    if (nf > 0) {
      if (!ldl_.factor(diag_, off_)) {
        failed_node_ = free_node_[ldl_.failed_unknown()];
        return -1;
      }
      ldl_.solve(rhs_);
      for (int i = 0; i < nf; ++i) heads[free_node_[i]] += rhs_[i];
    }

    // One pass over the links: the flow step, along it the slope of the
    // network's content (with the new heads it is -sum g*d^2, a descent
    // whatever the size of the terms, computed without cancellation), the
    // content's change over the full step, the flows of the full step with
    // their largest head-balance error, and the next step's system at those
    // flows. The line search tries the full step first, and nearly always
    // takes it.
    const PassSums sums = full_step_pass(heads, flows, least);
    double residual = sums.residual;
    int worst = sums.worst;
    double alpha = 1.0;
    if (linear_step || !(sums.full_change > 1e-4 * sums.slope)) {
      flows.swap(next_flows_);
      diag_.swap(next_diag_);
      rhs_.swap(next_rhs_);
      assembled = true;
    } else {
      // Backtrack on the content's change, summed link by link so that it
      // does not drown in the rounding of the content itself.
      alpha = 0.5;
      while (alpha > kLeastStep && content_change(heads, flows, alpha) > 1e-4 * alpha * sums.slope) alpha *= 0.5;
      // The flows of the shorter step, their largest head-balance error
      // and the next step's system at them, in one pass.
      const PassSums taken = partial_step_pass(heads, flows, alpha, least);
      residual = taken.residual;
      worst = taken.worst;
      assembled = true;
    }
    linear_step = false;
    if (!std::isfinite(residual)) break;
    if (alpha == 1.0 && residual <= kEnergyTolerance * hs) return it;
    failed_node_ = worst;
  }
  return -1;
}

inline GradientSolver::PairedLinks GradientSolver::paired_links(std::size_t l, const std::vector<double>& heads,
                                                         const std::vector<double>& flows) const {
  const Link &l0 = links_[l], &l1 = links_[l + 1];
  return {DoublePair{flows[l], flows[l + 1]}, DoublePair{l0.k, l1.k},
          DoublePair{heads[l0.a] - heads[l0.b], heads[l1.a] - heads[l1.b]}};
}

GradientSolver::PassSums GradientSolver::full_step_pass(const std::vector<double>& heads,
                                                        const std::vector<double>& flows, double least) {
  std::fill(next_diag_.begin(), next_diag_.end(), 0.0);
  std::fill(next_rhs_.begin(), next_rhs_.end(), 0.0);
  PassSums sums;
  std::size_t worst_link = links_.size();
  int pair = 0;
  auto correction = [&](int f) __attribute__((always_inline)) { return f >= 0 ? rhs_[f] : 0.0; };
  auto store = [](std::vector<double>& to, std::size_t l, DoublePair v) __attribute__((always_inline)) {
    __builtin_memcpy(to.data() + l, &v, sizeof v);
  };
  // A link between two given heads gets terms too: they stay finite, and
  // the sums pass them over.
  constexpr std::size_t kBlock = 128;
  struct {
    alignas(16) double descent[kBlock], content[kBlock], next[kBlock], signed_e[kBlock], w[kBlock];
  } terms;
  auto pair_terms = [&](std::size_t l, std::size_t i) __attribute__((always_inline)) {
    const FreeEnds e0 = ends_[l], e1 = ends_[l + 1];
    const PairedLinks p = paired_links(l, heads, flows);
    const StepTerms<DoublePair> t = step_terms(
        p.q, p.k, p.dh, DoublePair{correction(e0.fa), correction(e1.fa)},
        DoublePair{correction(e0.fb), correction(e1.fb)}, DoublePair{e_[l], e_[l + 1]}, DoublePair{g_[l], g_[l + 1]},
        DoublePair{least, least});
    store(dir_, l, t.d);
    store(next_flows_, l, t.next);
    store(g_, l, t.g);
    store(e_, l, t.signed_e);
    __builtin_memcpy(terms.descent + i, &t.descent, sizeof t.descent);
    __builtin_memcpy(terms.content + i, &t.content, sizeof t.content);
    __builtin_memcpy(terms.next + i, &t.next, sizeof t.next);
    __builtin_memcpy(terms.signed_e + i, &t.signed_e, sizeof t.signed_e);
    __builtin_memcpy(terms.w + i, &t.w, sizeof t.w);
  };
  auto single_terms = [&](std::size_t l, std::size_t i) {
    const Link& ln = links_[l];
    const StepTerms<double> t = step_terms(flows[l], ln.k, heads[ln.a] - heads[ln.b], correction(ends_[l].fa),
                                           correction(ends_[l].fb), e_[l], g_[l], least);
    dir_[l] = t.d, next_flows_[l] = t.next, g_[l] = t.g, e_[l] = t.signed_e;
    terms.descent[i] = t.descent, terms.content[i] = t.content, terms.next[i] = t.next;
    terms.signed_e[i] = t.signed_e, terms.w[i] = t.w;
  };
  auto sum = [&](std::size_t l, std::size_t i) __attribute__((always_inline)) {
    double e;
    if (ends_[l].fa < 0 && ends_[l].fb < 0) {
      // A link between two given heads takes its law's flow at once; it has
      // no part in the system.
      const Link& ln = links_[l];
      const double dh = heads[ln.a] - heads[ln.b];
      const double d = ln.k * sign_sqrt(dh) - flows[l];
      dir_[l] = d;
      const double next = flows[l] + d;
      next_flows_[l] = next;
      e = std::abs(head_loss(next / ln.k) - dh);
    } else {
      sums.slope -= terms.descent[i];
      sums.full_change += terms.content[i];
      e = std::abs(terms.signed_e[i]);
      add_to_system(l, terms.w[i], terms.signed_e[i], terms.next[i], next_diag_.data(), next_rhs_.data(), pair);
    }
    if (!(e <= sums.residual)) {
      sums.residual = e;
      worst_link = l;
    }
  };
  const std::size_t m = links_.size();
  in_blocks<kBlock>(m, pair_terms, single_terms, sum);
  if (worst_link < m) sums.worst = ends_[worst_link].fa < 0 ? links_[worst_link].b : links_[worst_link].a;
  return sums;
}

double GradientSolver::content_change(const std::vector<double>& heads, const std::vector<double>& flows,
                                      double alpha) const {
  // As in the full step's pass; links between given heads have no part in
  // the content.
  constexpr std::size_t kBlock = 256;
  alignas(16) double terms[kBlock];
  const DoublePair pair_alpha{alpha, alpha};
  double change = 0.0;
  in_blocks<kBlock>(
      links_.size(),
      [&](std::size_t l, std::size_t i) __attribute__((always_inline)) {
        const PairedLinks p = paired_links(l, heads, flows);
        const DoublePair t = content_term(p.q, pair_alpha * DoublePair{dir_[l], dir_[l + 1]}, p.k, p.dh);
        __builtin_memcpy(terms + i, &t, sizeof t);
      },
      [&](std::size_t l, std::size_t i) {
        const Link& ln = links_[l];
        terms[i] = content_term(flows[l], alpha * dir_[l], ln.k, heads[ln.a] - heads[ln.b]);
      },
      [&](std::size_t l, std::size_t i) __attribute__((always_inline)) {
        if (ends_[l].fa >= 0 || ends_[l].fb >= 0) change += terms[i];
      });
  return change;
}

double head_scale(const std::vector<char>& fixed, const std::vector<double>& heads) {
  double hmin = std::numeric_limits<double>::infinity(), hmax = -hmin;
  for (std::size_t i = 0; i < fixed.size(); ++i) {
    if (fixed[i]) {
      hmin = std::min(hmin, heads[i]);
      hmax = std::max(hmax, heads[i]);
    }
  }
  return hmax > hmin ? hmax - hmin : 1.0;
}


std::vector<double> node_imbalance(const Solution& s) {
  std::vector<double> out(s.heads.size(), 0.0);
  const double least = least_slope_times_k(std::sqrt(s.head_scale));
  for (std::size_t l = 0; l < s.links.size(); ++l) {
    const Link& ln = s.links[l];
    const double q = s.flows[l], u = q / ln.k;
    const double ha = s.heads[ln.a], hb = s.heads[ln.b];
    // What the heads cannot tell apart, a few units of their last place,
    // is no departure from the law.
    const double rounding = 4 * std::numeric_limits<double>::epsilon() * std::max(std::abs(ha), std::abs(hb));
    double e = head_loss(u) - (ha - hb);
    e = std::abs(e) <= rounding ? 0.0 : e - std::copysign(rounding, e);
    const double law = q - e / newton_slope(u, ln.k, least);
    out[ln.a] += law;
    out[ln.b] -= law;
  }
  return out;
}

namespace {

std::wstring num(long long v) { return std::to_wstring(v); }

// No head in a building comes near this (metres of water); a problem that
// needs more has no answer worth writing, and the answer's fixed-point
// numbers stay short.
constexpr double kLargestHead = 1e5;

const std::wstring& beyond_any_building() {
  static const std::wstring text = L" больше " + num(static_cast<long long>(kLargestHead)) +
                                   L" м: в здании такого напора не бывает";
  return text;
}

[[noreturn]] void no_convergence(int node) {
  throw ProblemError(node, 0,
                     L"решение не сходится" +
                         (node >= 0 ? L"; наибольшая невязка у узла " + num(node) : std::wstring()));
}

[[noreturn]] void head_unreachable(int sprinkler) {
  throw ProblemError(sprinkler, 0,
                     L"спринклер " + num(sprinkler) + L" не получает требуемого напора: нужный ему напор питания" +
                         beyond_any_building());
}

}  // namespace

Solution solve_problem(const Problem& problem) {
  check_connected(problem);
  const auto& nodes = problem.nodes;
  const int n = static_cast<int>(nodes.size());
  for (int i = 1; i < n; ++i) {
    if (nodes[i].kind != NodeKind::Junction && !(std::abs(nodes[i].head) <= kLargestHead))
      throw ProblemError(i, 0,
                         (nodes[i].kind == NodeKind::Sprinkler ? L"спринклер " + num(i) + L": требуемый напор"
                                                                : L"узел " + num(i) + L": напор") +
                             beyond_any_building());
  }
  Solution s;
  std::vector<char> fixed(n, 0);
  std::vector<Link>& links = s.links;
  links.reserve(problem.links.size() / 2);
  for (int i = 0; i < n; ++i) {
    fixed[i] = nodes[i].kind == NodeKind::Fixed;
    for (const auto& l : problem.links_of(i))
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
      const double outlet = nodes[problem.links_of(i)[0].neighbour].head;
      if (nodes[i].head > outlet) demands.push_back({i, nodes[i].head, outlet});
    }
  }
  if (demands.empty())
    throw ProblemError(-1, 0, L"ни у одного спринклера требуемый напор не выше напора на его выходе");
  double scale = 0.0;
  for (const auto& d : demands) scale = std::max(scale, d.required - d.outlet);

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
    if (!(std::abs(level + factor * (s.heads[0] - level)) <= kLargestHead)) head_unreachable(s.dictating);
    for (int i = 0; i < n; ++i) s.heads[i] = level + factor * (s.heads[i] - level);
    const double root = std::sqrt(factor);
    for (auto& q : s.flows) q *= root;
  } else {
    // The lowest margin over the required heads grows with the feed head,
    // from below every sprinkler's need to above it: bracket its root, then
    // close in by false position (Illinois variant) with bisection as the
    // safeguard. The bracket grows until it holds the root; only a root
    // beyond any building's heads ends it.
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
    for (int i = 1; i < n; ++i)
      if (nodes[i].kind != NodeKind::Junction) top = std::max(top, nodes[i].head);
    double lo, hi, glo, ghi;
    double x = top + scale;
    double gx = margin(x, false);
    double step = std::max(scale, std::abs(gx));
    if (gx < 0) {
      lo = x, glo = gx;
      for (;;) {
        hi = std::min(lo + step, 2 * kLargestHead);
        ghi = margin(hi, true);
        if (ghi >= 0) break;
        if (hi >= 2 * kLargestHead) head_unreachable(s.dictating);
        lo = hi, glo = ghi, step *= 2;
      }
    } else {
      hi = x, ghi = gx;
      for (;;) {
        lo = std::max(hi - step, -2 * kLargestHead);
        glo = margin(lo, true);
        if (glo < 0) break;
        if (lo <= -2 * kLargestHead)
          throw ProblemError(-1, 0,
                             L"спринклеры получают требуемый напор при любом напоре питания: его не из чего подобрать");
        hi = lo, ghi = glo, step *= 2;
      }
    }
    int side = 0;
    bool done = false;
    for (int k = 0; k < 300 && !done; ++k) {
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
  s.head_scale = head_scale(fixed, s.heads);
  if (!(std::abs(s.feed_head) <= kLargestHead)) head_unreachable(s.dictating);
  // The answer is checked by the laws themselves: a network whose heads span
  // more than double precision can hold gives itself away here.
  const auto imbalance = node_imbalance(s);
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
