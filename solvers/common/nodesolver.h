// The head of one node from the heads of its neighbours: the head H at which
// the flows k_j * sign(h_j - H) * sqrt(|h_j - H|) of its links add up to 0.
#pragma once

namespace dorv::solvers {

// A three-link solution whose closed form found no root where one must lie.
// The head returned is the best candidate; the caller reports it and goes on.
enum class NodeWarning {
  None,
  NoRootBelow,   // no candidate below the middle head fitted ("СТРАННО! (1)")
  NoRealRoots,   // the lower case had no real roots ("СТРАННО! (2)")
};

// kc == 0 means two links (kb == 0 as well: one link, H is its neighbour's
// head). Three links are ordered by head; two heads within 1e-6 merge into
// one link of the summed conductance.
double SolveNode(double ha, double hb, double hc, double ka, double kb, double kc,
                 NodeWarning* warning = nullptr);

// The console line of a warning ("" for None).
const wchar_t* node_warning_text(NodeWarning w);

}  // namespace dorv::solvers
