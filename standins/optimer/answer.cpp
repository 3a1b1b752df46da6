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
  const auto imbalance = node_imbalance(s);
  // A part goes once it has grown past kPart. The numbers are written in
  // place: a line of them takes at most kLine characters, and a value the
  // quick road does not write (its whole part beyond 2^53: the heads are
  // bounded by the solver, the flows by nothing but the network) makes room
  // for itself.
  constexpr std::size_t kPart = std::size_t{60} << 10, kLine = 24 + 3 * (1 + kFixedExactRoom) + 2;
  std::string part(kPart + kLine, '\0');
  char* at = part.data();
  auto used = [&] { return static_cast<std::size_t>(at - part.data()); };
  auto make_room = [&](std::size_t more) {
    const std::size_t now = used();
    if (now + more > part.size()) {
      part.resize(now + more);
      at = part.data() + now;
    }
  };
  auto number = [&](long long v) { at = std::to_chars(at, at + 24, v).ptr; };
  auto decimal = [&](double v, int decimals) {
    const double x = v == 0.0 ? 0.0 : v;  // no "-0"
    *at++ = ' ';
    if (char* end = put_fixed(at, x, decimals)) {
      at = end;
      return;
    }
    std::string wide;
    append_fixed(wide, x, decimals);
    make_room(wide.size() + kLine);
    at = std::copy(wide.begin(), wide.end(), at);
  };
  auto line_end = [&] {
    *at++ = '\r';
    *at++ = '\n';
  };
  number(0);
  decimal(s.feed_head, 10);
  decimal(s.feed_flow, 10);
  line_end();
  for (std::size_t i = 1; i < n; ++i) {
    if (used() >= kPart) {
      put(std::string_view(part.data(), used()));
      at = part.data();
    }
    make_room(kLine);
    const auto& node = nodes[i];
    number(static_cast<long long>(i));
    decimal(s.heads[i], 10);
    if (node.kind == NodeKind::Fixed) {
      decimal(inflow[i], 10);
      line_end();
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
    line_end();
  }
  if (used() > 0) put(std::string_view(part.data(), used()));
}

}  // namespace dorv::optimer
