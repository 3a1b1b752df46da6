// Sparse LDL^T factorisation of the symmetric positive definite matrices that
// the network solver builds in every iteration. The pattern is fixed for a
// network, so the ordering and the symbolic work are done once; each
// iteration only refills the values, factorises and solves.
#pragma once
#include <cstddef>
#include <utility>
#include <vector>

namespace dorv::optimer {

// A fill-reducing order of the symmetric pattern of n unknowns given as
// pairs (i, j), repeats and self pairs allowed: minimum degree with the exact
// degree of each unknown in the elimination graph, ties to the lower number.
// For the ladder-like networks of sprinkler grids the fill stays linear in
// the number of nodes.
std::vector<int> minimum_degree_order(int n, const std::vector<std::pair<int, int>>& pairs);

class SparseLdl {
 public:
  // n unknowns; pairs: the off-diagonal entries (i, j), i != j, each standing
  // for the symmetric pair (i, j) and (j, i); repeated pairs are summed.
  void analyse(int n, const std::vector<std::pair<int, int>>& pairs);

  // diag: n diagonal values; offdiag: one value per pair of analyse().
  // Returns false when a pivot is not positive (the matrix is not positive
  // definite); failed_unknown() then names the unknown where it happened.
  bool factor(const std::vector<double>& diag, const std::vector<double>& offdiag);
  int failed_unknown() const { return failed_; }

  // Solves A x = b in place (b in, x out), after a successful factor().
  void solve(std::vector<double>& x) const;

  int size() const { return n_; }
  std::size_t factor_nonzeros() const { return li_.size(); }

 private:
  int n_ = 0;
  std::vector<int> perm_, pinv_;          // position k holds unknown perm_[k]
  std::vector<int> ap_, ai_;              // permuted upper triangle, by column
  std::vector<int> diag_slot_, pair_slot_;  // where each input value goes
  std::vector<char> pair_first_;             // the first pair of its entry
  std::vector<double> ax_;
  std::vector<int> lp_, li_;
  // Row k of L: the columns row_column_[row_start_[k] ..] in the order the
  // factorisation takes them, and where each entry lies in lx_.
  std::vector<int> row_start_, row_column_, row_slot_;
  std::vector<double> lx_, d_;
  mutable std::vector<double> work_;
  std::vector<double> y_;
  int failed_ = -1;
};

}  // namespace dorv::optimer
