// Newton's method for a grid network, with the flows of its links as
// unknowns beside the heads of its nodes. It finishes what the relaxation has
// begun where the relaxation has slowed to a crawl.
//
// Why the relaxation crawls: a link of conductance k whose ends differ in
// head by dh carries k * sqrt(|dh|), whose slope k / (2 sqrt(|dh|)) grows
// without bound as the flow falls to zero. Where a link carries almost nothing at the solution (a
// branch line whose mains stand at almost one head, the point on a main or a
// line where water from both sides meets), its two ends are held together
// far more tightly than to the rest of the network. Relaxing one node at a
// time then moves such a pair only by what the weak links allow, and the
// residual, which that pair's imbalance dominates, sinks by a tiny fraction a
// pass and jitters with the order of the nodes. A Newton step moves every
// node at once by the slopes of all links and does not see that stiffness;
// taken with the link flows as unknowns, the head loss Q|Q|/k^2 of a link has
// a slope that stays finite at zero flow, so the step does not overshoot
// there as a step on heads alone does.
#pragma once
#include <cstddef>
#include <vector>

namespace dorv::solvers {

struct GridNetwork;

struct NewtonResult {
  double residual = 0;   // of the heads left in the network (the best the steps found)
  int steps = 0;         // Newton steps taken
  bool stalled = false;  // the last steps lowered the residual no further
};

class NewtonSolver {
 public:
  // The links of the network as BuildNetwork left it and the order in which
  // the nodes are eliminated. Nothing is solved yet.
  explicit NewtonSolver(const GridNetwork& net);

  // Multiply-adds of one step's factorisation, to weigh a step against the
  // relaxations it replaces.
  double step_work() const { return work_; }

  // Newton steps from the heads of the network until its residual (as
  // residual() measures it) is below the tolerance or the steps stop
  // lowering it. Leaves the heads of the lowest residual in the network;
  // they are never worse than the heads it started from. Takes no step
  // where the network's links are not each held by both ends alike or its
  // matrix would be out of all proportion.
  NewtonResult solve(GridNetwork& net, double tolerance);

 private:
  struct Link {
    int from;        // unknown index (node - 1) of the end the flow leaves by
    int to;          // unknown index of the end it enters by, or -1: a node of fixed head
    int fixed_node;  // that node (the feed or an outlet) when to is -1
    double k;
  };
  bool factor();
  void solve_factored(std::vector<double>& x) const;
  double& entry(int row, int column) {
    return envelope_[row_start_[row] + static_cast<std::size_t>(column - first_[row])];
  }
  double entry(int row, int column) const {
    return envelope_[row_start_[row] + static_cast<std::size_t>(column - first_[row])];
  }

  int unknowns_ = 0;            // nodes 1..R
  bool usable_ = true;          // false: no steps (see solve)
  std::vector<Link> links_;
  std::vector<int> position_;   // elimination position of each unknown
  // The matrix of a step, symmetric, its lower part by rows in elimination
  // order: row i holds the columns first_[i]..i, from row_start_[i] on; the
  // factorisation overwrites it with L (unit lower) and D on the diagonal.
  std::vector<int> first_;
  std::vector<std::size_t> row_start_;
  std::vector<double> envelope_;
  double work_ = 0;
};

}  // namespace dorv::solvers
