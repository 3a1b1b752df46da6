// The network problem file that the solver reads: a header line, then one
// line per node in node-number order from the feed node 0: number, kind
// ("p" given head, "o" sprinkler, "v" junction), head, link count and the
// (neighbour, conductance) pairs. Conductance k means a flow of
// k*sign(dH)*sqrt(|dH|). Reading stops at the first blank line.
#pragma once
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dorv::optimer {

enum class NodeKind { Fixed, Sprinkler, Junction };

struct ProblemLink {
  int neighbour = 0;
  double conductance = 0.0;
};

struct ProblemNode {
  NodeKind kind = NodeKind::Junction;
  // Fixed node: its head (the feed's is only a start value). Sprinkler: the
  // head it must at least get. Junction: not used.
  double head = 0.0;
  int first_link = 0;  // its links in Problem::links, in the order of its line
  int link_count = 0;
};

// The header line (tolerances of the caller and a constant) is not needed:
// the solver always converges to its own, far tighter bound. The links of all
// nodes lie in one array, node after node, so that a network of any size is
// read into a few allocations.
struct Problem {
  std::vector<ProblemNode> nodes;  // nodes[0] is the feed
  std::vector<ProblemLink> links;

  std::span<const ProblemLink> links_of(int node) const {
    const ProblemNode& nd = nodes[static_cast<std::size_t>(node)];
    return {links.data() + nd.first_link, static_cast<std::size_t>(nd.link_count)};
  }
};

// A problem the solver refuses or cannot solve. node is the node the message
// is about (-1 when none); line is the file line (1-based, 0 when none).
class ProblemError : public std::runtime_error {
 public:
  ProblemError(int node, int line, const std::wstring& text);
  int node() const { return node_; }
  int line() const { return line_; }
  const std::wstring& text() const { return text_; }

 private:
  int node_, line_;
  std::wstring text_;
};

// Reads the file's text (bytes) and checks what a solvable problem needs:
// kinds, consecutive numbering from 0, neighbours that exist, positive finite
// conductances, every link listed on both ends with the same conductance, a
// feed of given head with links, every sprinkler's first link to its outlet
// (a node of given head). Throws ProblemError.
Problem parse_problem(std::string_view bytes);

// A well-formed network has no solution when a part of it hangs loose: every
// sprinkler must be reached from the feed through free nodes, every node
// from some node of given head. Throws ProblemError naming the first node
// that is not.
void check_connected(const Problem& problem);

}  // namespace dorv::optimer
