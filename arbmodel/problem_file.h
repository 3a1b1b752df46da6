// The solver problem file spr.in of an arbitrary network: the network section
// of the network data file, checked for nodes with more than four pipes, and
// given a junction behind the feed when the network has none.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace dorv::arb {

// One row of the node number map: the drawn number of a node (what the
// drawing and the messages show) and its number in the solver network.
struct NodeNumber {
  double drawn = 0;
  double network = 0;
};
// From the node lines between "#####3" and "#####4".
std::vector<NodeNumber> node_number_map(const std::vector<std::wstring>& lines);

struct ProblemLines {
  std::vector<std::wstring> lines;  // spr.in as written (up to a refused line, included)
  // The network number of a node line with more than four links; the import
  // stops there.
  std::optional<double> refused_node;
  bool has_junction = false;
  double last_node = 0;
};
// The network section: the lines after the line after the 15 head lines up
// to the first line that contains "#####2" (or the end of the file).
ProblemLines network_section(const std::vector<std::wstring>& lines);

// The warnings for a node with too many pipes: one per map row that names
// the node, or, when none does, one that names its network number.
std::vector<std::wstring> node_check_messages(const std::vector<NodeNumber>& map, double network_node);
// The same message for a drawn node number.
std::wstring too_many_pipes(double drawn_node);

// A network without junction: the feed's links move to a new junction (one
// above the last node), which the feed alone now feeds with conductance 100;
// every non-fixed node that named the feed as neighbour names the junction.
std::vector<std::wstring> add_feed_node(const std::vector<std::wstring>& problem, double last_node);

}  // namespace dorv::arb
