// The pipe network of a grid: numbered nodes, each with a few link slots
// (neighbour and conductance). A link of conductance k between heads that
// differ by dh carries Q = k * sign(dh) * sqrt(|dh|) from the higher head to
// the lower.
#pragma once
#include <vector>

#include "solvers/common/gridparams.h"

namespace dorv::solvers {

// k of a pipe of specific characteristic K and length l (loss Q^2 * l / K).
double pipe_conductance(double K, double length);
// Two pipes in series: a * b / sqrt(a^2 + b^2).
double SeriesRule(double a, double b);

// Two lengths closer than a micrometre are one length: a length computed
// from typed values (sprinklers times spacing, lines times spacing) and the
// same length typed to a few decimals differ by rounding alone.
inline constexpr double kSameLength = 1e-6;

// k in series with a pipe of specific characteristic K and the given
// length; a length within a micrometre of 0 is no pipe and leaves k as it is.
double in_series_with_pipe(double k, double K, double length);

class LinkTable {
 public:
  LinkTable() = default;
  // Nodes 0..nodes-1, each with the given number of slots, all free.
  LinkTable(int nodes, int slots);

  int nodes() const { return nodes_; }
  int slots() const { return slots_; }

  // Frees every slot of nodes 0..last (the conductance marks a slot as used).
  void clear(int last);

  // The first slot whose neighbour is `neighbour`, scanning used slots from
  // slot 0; -1 when there is none.
  int FindLink(int node, int neighbour) const;
  // The first free slot, which is the number of links of the node.
  int CountLinks(int node) const;
  // Adds the one-way link node -> neighbour in the node's first free slot.
  // A node whose slots are all used means the network was built wrongly:
  // std::logic_error.
  void add_link(int node, int neighbour, double k);
  // For i = first..last: the link i -> other + (i - first) and its reverse.
  void LinkRange(int first, int other, int last, double k);

  int neighbour_at(int node, int slot) const { return neighbour_[index_of(node, slot)]; }
  double conductance_at(int node, int slot) const { return conductance_[index_of(node, slot)]; }

 private:
  std::size_t index_of(int node, int slot) const {
    return static_cast<std::size_t>(node) * static_cast<std::size_t>(slots_) + static_cast<std::size_t>(slot);
  }
  int nodes_ = 0;
  int slots_ = 0;
  std::vector<int> neighbour_;
  std::vector<double> conductance_;
};

// Flow over a link of conductance k between heads hu and hv, from u to v:
// k * dh / sqrt(|dh|) with dh = hu - hv, 0 when the heads are equal.
double link_flow(double k, double hu, double hv);
// Flow from u to v over u's link to v (0 when u has no such link).
double link_flow(const LinkTable& table, const std::vector<double>& heads, int u, int v);

// Builds the open part of `stride` neighbouring branch lines of the fire
// square at once. Column j (0-based, sprinkler position shift + j on its line)
// is the nodes start + stride*j .. start + stride*j + stride - 1, one a line.
// endBase + r is where line r joins main 1's side, endBase + q + r main 2's
// side. between_extra is a length added to the two links that join the
// between-mains part of a line to its ends (0 when the lines meet the mains
// through risers of their own).
void BuildFireLines(int start, int stride, int shift, int width, int endBase, const ParameterRecord& r,
                    LinkTable& table, double between_extra = 0.0);

}  // namespace dorv::solvers
