#include "standins/optimer/answer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "text/number.h"

namespace dorv::optimer {

std::string format_answer(const Problem& problem, const Solution& solution) {
  std::string text;
  write_answer(problem, solution, [&](std::string_view part) { text += part; });
  return text;
}

void write_answer(const Problem& problem, const Solution& s, const ByteSink& put) {
  const auto& nodes = problem.nodes;
  const std::size_t n = nodes.size();
  std::vector<double> inflow(n, 0.0), through(n, 0.0);
  for (std::size_t l = 0; l < s.links.size(); ++l) {
    const double q = s.flows[l];
    inflow[s.links[l].b] += q;
    inflow[s.links[l].a] -= q;
    through[q >= 0 ? s.links[l].b : s.links[l].a] += std::abs(q);
  }
  // The imbalance that the solve checked, when it is still this solution's.
  const std::vector<double> computed = s.imbalance.size() == s.heads.size() ? std::vector<double>() : node_imbalance(s);
  const std::vector<double>& imbalance = computed.empty() ? s.imbalance : computed;
  // A part goes once it has grown past this; a line seldom needs the slack.
  constexpr std::size_t kPart = std::size_t{60} << 10, kSlack = std::size_t{4} << 10;
  std::string out;
  out.reserve(kPart + kSlack);
  // Every number goes straight into the text, as long as it takes: the
  // heads are bounded by the solver, the flows by nothing but the network.
  auto number = [&](long long v) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
  };
  auto decimal = [&](double v, int decimals) {
    out += ' ';
    append_fixed(out, v == 0.0 ? 0.0 : v, decimals);  // no "-0"
  };
  number(0);
  decimal(s.feed_head, 10);
  decimal(s.feed_flow, 10);
  out += "\r\n";
  for (std::size_t i = 1; i < n; ++i) {
    if (out.size() >= kPart) {
      put(out);
      out.clear();
    }
    const auto& node = nodes[i];
    number(static_cast<long long>(i));
    decimal(s.heads[i], 10);
    if (node.kind == NodeKind::Fixed) {
      decimal(inflow[i], 10);
      out += "\r\n";
      continue;
    }
    double third = through[i];
    if (node.kind == NodeKind::Sprinkler) {
      const auto& out_link = problem.links_of(static_cast<int>(i))[0];
      const double dh = s.heads[i] - s.heads[out_link.neighbour];
      third = out_link.conductance * (dh >= 0 ? std::sqrt(dh) : -std::sqrt(-dh));
    }
    decimal(third, 10);
    decimal(std::max(std::abs(imbalance[i]), kLeastErrorEstimate), 12);
    out += "\r\n";
  }
  if (!out.empty()) put(out);
}

}  // namespace dorv::optimer
