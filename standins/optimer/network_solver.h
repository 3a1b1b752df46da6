// Heads and flows of a network of square-root links (Q = k*sign(dH)*sqrt|dH|)
// between nodes of given head and free nodes, by the global gradient method:
// Newton steps on the link flows and the node heads together, each a sparse
// symmetric positive definite solve for the heads of the free nodes, damped
// by a line search on the network's content so that it converges from any
// start. The feed search then finds the feed head at which the dictating
// sprinkler has exactly its required head.
#pragma once
#include <vector>

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
  // each once.
  GradientSolver(std::vector<char> fixed, std::vector<Link> links);

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
  std::vector<char> fixed_;
  std::vector<Link> links_;
  std::vector<int> free_index_, free_node_;
  std::vector<int> pair_of_link_;  // index into the matrix pairs, -1 when a link touches a fixed node
  SparseLdl ldl_;
  std::vector<double> diag_, off_, rhs_, g_, y_, qnew_;
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
};

// Finds the feed head (node 0) at which every sprinkler has at least the head
// of its line and one of them exactly that. When all other nodes of given
// head share one head the network scales exactly (heads above that level
// grow linearly with the feed's, flows with its square root) and one solve
// suffices; otherwise a safeguarded secant search on the feed head runs.
// Throws ProblemError when the problem cannot be solved.
Solution solve_problem(const Problem& problem);

// The flow imbalance of every node from the heads and the link law: the
// solution's own error estimate.
std::vector<double> node_imbalance(const Problem& problem, const std::vector<double>& heads);

}  // namespace dorv::optimer
