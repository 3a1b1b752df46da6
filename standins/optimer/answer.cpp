#include "standins/optimer/answer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dorv::optimer {

std::string format_answer(const Problem& problem, const Solution& s) {
  const auto& nodes = problem.nodes;
  const std::size_t n = nodes.size();
  std::vector<double> inflow(n, 0.0), through(n, 0.0);
  for (std::size_t l = 0; l < s.links.size(); ++l) {
    const double q = s.flows[l];
    inflow[s.links[l].b] += q;
    inflow[s.links[l].a] -= q;
    through[q >= 0 ? s.links[l].b : s.links[l].a] += std::abs(q);
  }
  const auto imbalance = node_imbalance(s);
  std::string out;
  out.reserve(n * 64);
  char buf[160];
  auto line = [&](int len) {
    out.append(buf, static_cast<std::size_t>(len));
    out += "\r\n";
  };
  auto clean = [](double v) { return v == 0.0 ? 0.0 : v; };  // no "-0"
  line(std::snprintf(buf, sizeof buf, "0 %.10f %.10f", clean(s.feed_head), clean(s.feed_flow)));
  for (std::size_t i = 1; i < n; ++i) {
    const auto& node = nodes[i];
    const int num = static_cast<int>(i);
    if (node.kind == NodeKind::Fixed) {
      line(std::snprintf(buf, sizeof buf, "%d %.10f %.10f", num, clean(s.heads[i]), clean(inflow[i])));
      continue;
    }
    double third = through[i];
    if (node.kind == NodeKind::Sprinkler) {
      const auto& out_link = node.links[0];
      const double dh = s.heads[i] - s.heads[out_link.neighbour];
      third = out_link.conductance * (dh >= 0 ? std::sqrt(dh) : -std::sqrt(-dh));
    }
    const double err = std::max(std::abs(imbalance[i]), kLeastErrorEstimate);
    line(std::snprintf(buf, sizeof buf, "%d %.10f %.10f %.12f", num, clean(s.heads[i]), clean(third), err));
  }
  return out;
}

}  // namespace dorv::optimer
