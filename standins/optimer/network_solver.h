// Heads and flows of a network of square-root links (Q = k*sign(dH)*sqrt|dH|)
// between nodes of given head and free nodes, by the global gradient method:
// Newton steps on the link flows and the node heads together, each a sparse
// symmetric positive definite solve for the heads of the free nodes, damped
// by a line search on the network's content so that it converges from any
// start. The feed search then finds the feed head at which the dictating
// sprinkler has exactly its required head.
#pragma once
#include <vector>

#include "standins/optimer/link_terms.h"
#include "standins/optimer/problem.h"
#include "standins/optimer/sparse_ldl.h"

namespace dorv::optimer {

struct Link {
  int a = 0, b = 0;  // flow is counted from a to b
  double k = 0.0;    // conductance
};

class GradientSolver {
 public:
  // fixed[i]: node i has a given head. The links are the network's links,
  // each once; they are not copied and must outlive the solver.
  GradientSolver(std::vector<char> fixed, const std::vector<Link>& links);

  // Solves for the given heads of the fixed nodes (other entries of heads
  // are overwritten with the solution). flows holds start flows when
  // warm_start is true and the solution flows afterwards. Returns the number
  // of Newton iterations, or -1 when it did not converge.
  int solve(std::vector<double>& heads, std::vector<double>& flows, bool warm_start);

  // The node that blocked the last failed solve (-1 when none is known).
  int failed_node() const { return failed_node_; }
  const std::vector<Link>& links() const { return links_; }
  std::size_t factor_nonzeros() const { return ldl_.factor_nonzeros(); }

 private:
  // A link's ends as free unknowns, -1 at a node of given head. The links
  // between two free unknowns are the matrix pairs, in link order.
  struct FreeEnds {
    int fa, fb;
  };
  // The Newton system at the given flows into diag/rhs (and off_), with the
  // slopes g_ and head-balance errors e_ of the links.
  void assemble(const std::vector<double>& heads, const std::vector<double>& flows, bool linear_step,
                double root_hs);
  // What a pass over the links sums up.
  struct PassSums {
    double slope = 0.0;        // of the content along the step
    double full_change = 0.0;  // of the content over the full step
    double residual = 0.0;     // the largest head-balance error after it
    int worst = -1;            // a node of the link that has it
  };
  // The Newton step's pass over the links, once the head corrections are in
  // rhs_: the flow step into dir_, the flows of the full step into
  // next_flows_, and at those flows the next step's system (next_diag_,
  // next_rhs_, off_, g_, e_).
  PassSums full_step_pass(const std::vector<double>& heads, const std::vector<double>& flows, double least);
  // After a line search took alpha of the step dir_: moves the flows so
  // (links between given heads take the whole step), and builds the next
  // step's system at them (diag_, rhs_, off_, g_, e_).
  PassSums partial_step_pass(const std::vector<double>& heads, std::vector<double>& flows, double alpha,
                             double least);
  // Links l and l + 1 side by side: their flows, conductances and head
  // drops.
  struct PairedLinks {
    DoublePair q, k, dh;
  };
  PairedLinks paired_links(std::size_t l, const std::vector<double>& heads, const std::vector<double>& flows) const;
  void add_to_system(std::size_t link, double w, double e, double q, double* diag, double* rhs, int& pair);
  // The content's change along the step dir_ scaled by alpha.
  double content_change(const std::vector<double>& heads, const std::vector<double>& flows, double alpha) const;

  std::vector<char> fixed_;
  const std::vector<Link>& links_;
  std::vector<FreeEnds> ends_;
  std::vector<int> free_node_;

  SparseLdl ldl_;
  std::vector<double> diag_, off_, rhs_, g_, e_, dir_;
  // The next step's system, built in the same pass as the step itself and
  // taken when the full step is accepted.
  std::vector<double> next_diag_, next_rhs_, next_flows_;
  int failed_node_ = -1;
};

struct Solution {
  std::vector<double> heads;  // per node
  std::vector<double> flows;  // per link of links(), from a to b
  std::vector<Link> links;
  double feed_head = 0.0;
  double feed_flow = 0.0;   // into the network
  int dictating = -1;       // the sprinkler that has exactly its required head
  int iterations = 0;       // Newton iterations over all solves
  int solves = 0;           // network solves (1 when the network scales exactly)
  double head_scale = 1.0;  // span of the given heads in the final solve
};

// The span of the heads of the fixed nodes (1 when they all agree): the
// scale of the tolerances.
double head_scale(const std::vector<char>& fixed, const std::vector<double>& heads);

// Finds the feed head (node 0) at which every sprinkler has at least the head
// of its line and one of them exactly that. When all other nodes of given
// head share one head the network scales exactly (heads above that level
// grow linearly with the feed's, flows with its square root) and one solve
// suffices; otherwise a safeguarded secant search on the feed head runs.
// Throws ProblemError when the problem cannot be solved.
Solution solve_problem(const Problem& problem);

// The flow that leaves every node by the link law at the solution's heads:
// the imbalance of a free node is the solution's own error estimate, and at a
// node of given head it is the outflow there. The law is taken linearised
// about the solution's flows (with the least slope at zero flow), and a head
// loss that misses the law by no more than the rounding of the heads counts
// as met: exact to first order where a link carries flow, and where it
// carries none a rounding-level head difference stays no flow instead of
// growing into its square root.
std::vector<double> node_imbalance(const Solution& solution);

}  // namespace dorv::optimer
