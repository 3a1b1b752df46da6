// Random solvable networks of the kind a drawing hands the solver: dead-end
// stubs, loops, parallel links, outlets and other nodes of given head on
// different levels (some below the rest, draining the network), nodes
// numbered in any order. Every answer is checked by the laws themselves,
// computed here from the problem file's own links, not by the solver's code.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"
#include "text/number.h"

using namespace dorv;
using namespace dorv::optimer;
using dorv::testing::fields_by_line;

namespace {

struct RandomNetwork {
  std::string text;
  int nodes = 0;
};

// Node kinds before numbering: the feed, sprinklers with their outlets,
// junctions and extra nodes of given head, joined by a random spanning tree
// of the free nodes and the feed, then extra links that close loops.
RandomNetwork random_network(std::mt19937& rng) {
  auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
  auto conductance = [&] { return std::exp(uniform(std::log(1.0), std::log(60.0))); };

  const int sprinklers = pick(1, 8);
  const int junctions = pick(0, 20);
  const int extra_fixed = pick(0, 2);
  enum Kind { Feed, Sprinkler, Outlet, Junction, Fixed };
  std::vector<Kind> kind{Feed};
  for (int s = 0; s < sprinklers; ++s) kind.push_back(Sprinkler);
  for (int s = 0; s < sprinklers; ++s) kind.push_back(Outlet);
  for (int j = 0; j < junctions; ++j) kind.push_back(Junction);
  for (int f = 0; f < extra_fixed; ++f) kind.push_back(Fixed);
  const int n = static_cast<int>(kind.size());

  std::vector<std::vector<std::pair<int, double>>> adj(n);
  auto link = [&](int a, int b, double k) {
    adj[a].emplace_back(b, k);
    adj[b].emplace_back(a, k);
  };
  // The outlet link comes first in a sprinkler's line.
  for (int s = 0; s < sprinklers; ++s) link(1 + s, 1 + sprinklers + s, uniform(0.3, 1.2));
  auto room = [&](int v) { return adj[v].size() < 4; };

  // Spanning tree over the feed, sprinklers and junctions.
  std::vector<int> tree{0};
  std::vector<int> pending;
  for (int v = 1; v < n; ++v)
    if (kind[v] == Sprinkler || kind[v] == Junction) pending.push_back(v);
  std::shuffle(pending.begin(), pending.end(), rng);
  for (int v : pending) {
    std::vector<int> open;
    for (int t : tree)
      if (room(t)) open.push_back(t);
    if (open.empty()) open = tree;  // a crowded tree: allow a fifth link
    link(v, open[pick(0, static_cast<int>(open.size()) - 1)], conductance());
    tree.push_back(v);
  }
  // Loops and the odd parallel link.
  const int extra_links = pick(0, 1 + static_cast<int>(tree.size()) / 3);
  for (int e = 0; e < extra_links; ++e) {
    const int a = tree[pick(0, static_cast<int>(tree.size()) - 1)];
    const int b = tree[pick(0, static_cast<int>(tree.size()) - 1)];
    if (a != b && room(a) && room(b)) link(a, b, conductance());
  }
  // Extra nodes of given head hang on one or two free nodes, through links
  // no wider than a large outlet's: a wider drain would need a feed head no
  // building has.
  for (int v = 1; v < n; ++v) {
    if (kind[v] != Fixed) continue;
    const int ends = pick(1, 2);
    for (int e = 0; e < ends; ++e) {
      int t = tree[pick(1, static_cast<int>(tree.size()) - 1)];
      if (tree.size() == 1) t = 0;
      link(v, t, uniform(0.2, 2.0));
    }
  }

  // Heads: the feed's is a start value; outlets and extra nodes lie low or
  // on a level of their own; required heads are those of real sprinklers.
  const bool one_level = pick(0, 3) == 0;
  std::vector<double> head(n, 0.0);
  for (int v = 0; v < n; ++v) {
    switch (kind[v]) {
      case Feed: head[v] = uniform(20, 150); break;
      case Outlet: head[v] = one_level ? 0.0 : uniform(-3, 3); break;
      case Fixed: head[v] = uniform(-5, 20); break;
      case Sprinkler: head[v] = uniform(5, 40); break;
      case Junction: head[v] = uniform(0, 30); break;  // ignored by the solver
    }
  }
  // At least one sprinkler must need more than its outlet gives it.
  head[1] = std::max(head[1], head[1 + sprinklers] + 1.0);

  // Numbering: the feed stays 0, the rest in any order.
  std::vector<int> number(n);
  for (int v = 0; v < n; ++v) number[v] = v;
  std::shuffle(number.begin() + 1, number.end(), rng);
  std::vector<int> at(n);
  for (int v = 0; v < n; ++v) at[number[v]] = v;

  RandomNetwork out;
  out.nodes = n;
  out.text = "0.0005  0.0005  200000\r\n";
  for (int num = 0; num < n; ++num) {
    const int v = at[num];
    const char letter = kind[v] == Sprinkler ? 'o' : kind[v] == Junction ? 'v' : 'p';
    out.text += std::to_string(num) + "  " + letter + "  " + format_fixed(head[v], 8) + "  " +
                std::to_string(adj[v].size());
    for (const auto& [nb, k] : adj[v]) out.text += "  " + std::to_string(number[nb]) + "  " + format_fixed(k, 8);
    out.text += "  \r\n";
  }
  return out;
}

// The laws an answer must meet, computed from the problem's own link lists:
// every link of the problem carries the flow of the square law at the
// solution's heads (checked as a head loss, which stays well conditioned at
// zero flow), the flows balance at every free node, the feed's inflow is what
// leaves through the other nodes of given head, and every sprinkler has its
// required head, the dictating one exactly.
void expect_laws_hold(const Problem& pr, const Solution& s, const std::string& text) {
  const int n = static_cast<int>(pr.nodes.size());
  double hmax = 0.0, qmax = 0.0;
  for (double h : s.heads) hmax = std::max(hmax, std::abs(h));
  // Flows per listed link, matched to the solution's links by their ends.
  std::vector<double> balance(n, 0.0);
  std::size_t next = 0;
  for (int i = 0; i < n; ++i) {
    for (const auto& l : pr.links_of(i)) {
      if (l.neighbour < i) continue;
      ASSERT_LT(next, s.links.size()) << text;
      ASSERT_EQ(s.links[next].a, i) << text;
      ASSERT_EQ(s.links[next].b, l.neighbour) << text;
      const double q = s.flows[next++];
      const double dh = s.heads[i] - s.heads[l.neighbour];
      EXPECT_NEAR(q * std::abs(q) / (l.conductance * l.conductance), dh, 1e-9 * std::max(hmax, 1.0))
          << "link " << i << "-" << l.neighbour << "\n" << text;
      balance[i] -= q;
      balance[l.neighbour] += q;
      qmax = std::max(qmax, std::abs(q));
    }
  }
  ASSERT_EQ(next, s.links.size());
  double drained = 0.0;
  for (int i = 0; i < n; ++i) {
    if (pr.nodes[i].kind == NodeKind::Fixed) {
      if (i > 0) {
        EXPECT_EQ(s.heads[i], pr.nodes[i].head) << i;
        drained += balance[i];
      }
      continue;
    }
    EXPECT_LE(std::abs(balance[i]), 1e-10 * std::max(qmax, 1.0)) << "node " << i << "\n" << text;
  }
  EXPECT_NEAR(-balance[0], s.feed_flow, 1e-10 * std::max(qmax, 1.0));
  EXPECT_NEAR(drained, s.feed_flow, 1e-9 * std::max(qmax, 1.0));
  EXPECT_EQ(s.heads[0], s.feed_head);
  ASSERT_GE(s.dictating, 0);
  ASSERT_EQ(pr.nodes[s.dictating].kind, NodeKind::Sprinkler);
  const double head_tol = 1e-9 * std::max(hmax, 1.0);
  EXPECT_NEAR(s.heads[s.dictating], pr.nodes[s.dictating].head, head_tol) << text;
  for (int i = 0; i < n; ++i)
    if (pr.nodes[i].kind == NodeKind::Sprinkler) {
      EXPECT_GE(s.heads[i], pr.nodes[i].head - head_tol) << i << "\n" << text;
    }
}

}  // namespace

TEST(OptimerRandomNetworks, EveryAnswerMeetsTheLaws) {
  std::mt19937 rng(20);
  const int count = 400;
  // What the networks held, so that a change of the generator that loses
  // the hard cases shows.
  int nodes = 0, with_stub = 0, with_loop = 0, draining = 0, refused = 0;
  double highest_feed = 0.0;
  const auto start = std::chrono::steady_clock::now();
  for (int c = 0; c < count; ++c) {
    const auto net = random_network(rng);
    const auto pr = parse_problem(net.text);
    const int n = static_cast<int>(pr.nodes.size());
    nodes += n;
    int link_count = 0;
    bool stub = false;
    for (const auto& node : pr.nodes) {
      link_count += node.link_count;
      stub |= node.kind == NodeKind::Junction && node.link_count == 1;
    }
    with_stub += stub;
    with_loop += link_count / 2 > n - 1;
    try {
      const auto s = solve_problem(pr);
      expect_laws_hold(pr, s, net.text);
      highest_feed = std::max(highest_feed, s.feed_head);
      // A node of given head below the feed that takes water in other than
      // through a sprinkler: the network drains into it.
      for (std::size_t l = 0; l < s.links.size(); ++l) {
        const auto& ln = s.links[l];
        const int into = s.flows[l] > 0 ? ln.b : ln.a, from = s.flows[l] > 0 ? ln.a : ln.b;
        if (into != 0 && std::abs(s.flows[l]) > 1e-6 && pr.nodes[into].kind == NodeKind::Fixed &&
            pr.nodes[from].kind != NodeKind::Sprinkler) {
          ++draining;
          break;
        }
      }
    } catch (const ProblemError& e) {
      ++refused;
      ADD_FAILURE() << "network " << c << ": " << to_utf8(e.text()) << "\n" << net.text;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "%d random networks, %d nodes in all: %d with dead-end stubs, %d with loops, %d draining into a node of given "
      "head; highest feed head %.1f m; solved and checked in %.3f s, %d refused\n",
      count, nodes, with_stub, with_loop, draining, highest_feed, seconds, refused);
}

// Two networks the solver once gave up on, though each has a solution: dead-end
// stubs off the feed and off junctions (no flow, where the square law's slope
// vanishes), a loop that carries nothing, and an outlet below the rest into
// which the network drains.
TEST(OptimerLaws, StubsStagnantLoopsAndALowOutletAreSolved) {
  struct Case {
    const char* text;
    int dictating;
  };
  const Case cases[] = {
      {"0.0005  0.0005  200000\r\n"
       "0  p  109.96800000  4  8  1.96676000  1  3.59865000  5  34.84993000  4  1.61781000  \r\n"
       "1  v  15.34500000  1  0  3.59865000  \r\n"
       "2  v  29.46800000  1  6  1.54043000  \r\n"
       "3  v  24.37500000  2  6  2.82565000  9  1.16347000  \r\n"
       "4  v  9.94000000  2  8  1.63721000  0  1.61781000  \r\n"
       "5  v  18.19600000  1  0  34.84993000  \r\n"
       "6  v  9.08100000  3  8  5.70032000  3  2.82565000  2  1.54043000  \r\n"
       "7  p  1.21400000  1  9  0.35840000  \r\n"
       "8  v  27.84000000  4  0  1.96676000  9  0.51026000  4  1.63721000  6  5.70032000  \r\n"
       "9  o  14.06000000  3  7  0.35840000  8  0.51026000  3  1.16347000  \r\n",
       9},
      {"0.0005  0.0005  200000\r\n"
       "0  p  149.72200000  4  5  2.35504000  3  57.70801000  4  34.10381000  6  13.28903000  \r\n"
       "1  p  -1.14300000  1  2  0.65460000  \r\n"
       "2  o  7.27300000  2  1  0.65460000  5  0.67429000  \r\n"
       "3  v  12.75800000  2  0  57.70801000  7  28.06738000  \r\n"
       "4  v  6.11200000  2  7  9.67458000  0  34.10381000  \r\n"
       "5  v  19.76200000  3  0  2.35504000  6  1.25806000  2  0.67429000  \r\n"
       "6  v  10.90700000  2  5  1.25806000  0  13.28903000  \r\n"
       "7  v  10.37300000  2  3  28.06738000  4  9.67458000  \r\n",
       2},
  };
  dorv::testing::ProgramFolder folder;
  for (const auto& c : cases) {
    const auto pr = parse_problem(c.text);
    const auto s = solve_problem(pr);
    expect_laws_hold(pr, s, c.text);
    EXPECT_EQ(s.dictating, c.dictating);

    // The program's answer file: the feed's inflow leaves through the other
    // nodes of given head to the printed precision, every sprinkler has its
    // head, the dictating one exactly as printed.
    folder.put("spr.in", c.text);
    ASSERT_EQ(folder.run("'" OPTIMER_EXE "' spr.in"), 0) << c.text;
    const auto lines = fields_by_line(folder.get("spr.out"));
    ASSERT_EQ(lines.size(), pr.nodes.size());
    double out = 0.0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i][0], std::to_string(i));
      const auto& node = pr.nodes[i];
      ASSERT_EQ(lines[i].size(), node.kind == NodeKind::Fixed ? 3u : 4u);
      if (node.kind == NodeKind::Fixed) out += std::stod(lines[i][2]);
      if (node.kind == NodeKind::Sprinkler) {
        EXPECT_GE(std::stod(lines[i][1]), node.head - 1e-10) << i;
        if (static_cast<int>(i) == c.dictating) {
          EXPECT_EQ(lines[i][1], format_fixed(node.head, 10));
        }
      }
    }
    EXPECT_NEAR(out, std::stod(lines[0][2]), 2e-10);
  }
}

// A link that carries nothing, with heads two units of their last place
// apart: the square law would make that difference a flow of its square root
// (here 30 * sqrt(2.8e-14) = 5e-6), a false imbalance of the kind that once
// made the solver reject its own correct answers.
TEST(OptimerLaws, RoundingOverAStagnantLinkIsNoImbalance) {
  Solution s;
  s.heads = {100.0, std::nextafter(std::nextafter(100.0, 200.0), 200.0), 90.0};
  s.links = {{0, 1, 30.0}, {0, 2, 2.0}};
  s.flows = {0.0, 2.0 * std::sqrt(10.0)};
  s.head_scale = 10.0;
  const auto imbalance = node_imbalance(s);
  EXPECT_LT(std::abs(imbalance[1]), 1e-9);
  EXPECT_NEAR(imbalance[0], s.flows[1], 1e-9);
  EXPECT_NEAR(imbalance[2], -s.flows[1], 1e-9);
}
