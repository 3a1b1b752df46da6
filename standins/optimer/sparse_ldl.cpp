#include "standins/optimer/sparse_ldl.h"

#include <algorithm>
#include <functional>
#include <queue>

namespace dorv::optimer {

std::vector<int> minimum_degree_order(std::vector<std::vector<int>> adj) {
  const int n = static_cast<int>(adj.size());
  for (int i = 0; i < n; ++i) {
    auto& a = adj[i];
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
    a.erase(std::remove(a.begin(), a.end(), i), a.end());
  }
  using Entry = std::pair<std::size_t, int>;  // (degree, unknown); ties go to the lower number
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> heap;
  for (int i = 0; i < n; ++i) heap.emplace(adj[i].size(), i);
  std::vector<char> gone(n, 0);
  std::vector<int> order;
  order.reserve(n);
  std::vector<int> merged;
  while (!heap.empty()) {
    const auto [degree, v] = heap.top();
    heap.pop();
    if (gone[v] || degree != adj[v].size()) continue;  // stale entry
    gone[v] = 1;
    order.push_back(v);
    // Eliminating v joins its neighbours into a clique.
    const std::vector<int> nb = std::move(adj[v]);
    adj[v] = {};
    for (int u : nb) {
      const auto& au = adj[u];
      merged.clear();
      merged.reserve(au.size() + nb.size());
      auto x = au.begin(), y = nb.begin();
      while (x != au.end() || y != nb.end()) {
        int w;
        if (y == nb.end() || (x != au.end() && *x < *y)) {
          w = *x++;
        } else if (x == au.end() || *y < *x) {
          w = *y++;
        } else {
          w = *x++;
          ++y;
        }
        if (w != u && w != v) merged.push_back(w);
      }
      adj[u].assign(merged.begin(), merged.end());
      heap.emplace(adj[u].size(), u);
    }
  }
  return order;
}

void SparseLdl::analyse(int n, const std::vector<std::pair<int, int>>& pairs) {
  n_ = n;
  std::vector<std::vector<int>> adj(n);
  for (const auto& [i, j] : pairs) {
    adj[i].push_back(j);
    adj[j].push_back(i);
  }
  perm_ = minimum_degree_order(adj);
  pinv_.assign(n, 0);
  for (int k = 0; k < n; ++k) pinv_[perm_[k]] = k;

  // Permuted upper triangle by column: every column holds its diagonal and
  // the distinct rows above it; repeated pairs share one slot.
  std::vector<std::vector<int>> rows(n);
  for (int k = 0; k < n; ++k) rows[k].push_back(k);
  for (const auto& [i, j] : pairs) {
    const int a = pinv_[i], b = pinv_[j];
    rows[std::max(a, b)].push_back(std::min(a, b));
  }
  ap_.assign(n + 1, 0);
  ai_.clear();
  for (int k = 0; k < n; ++k) {
    auto& r = rows[k];
    std::sort(r.begin(), r.end());
    r.erase(std::unique(r.begin(), r.end()), r.end());
    ai_.insert(ai_.end(), r.begin(), r.end());
    ap_[k + 1] = static_cast<int>(ai_.size());
  }
  auto slot_of = [&](int row, int col) {
    const auto first = ai_.begin() + ap_[col], last = ai_.begin() + ap_[col + 1];
    return static_cast<int>(std::lower_bound(first, last, row) - ai_.begin());
  };
  diag_slot_.resize(n);
  for (int i = 0; i < n; ++i) diag_slot_[i] = slot_of(pinv_[i], pinv_[i]);
  pair_slot_.resize(pairs.size());
  for (std::size_t p = 0; p < pairs.size(); ++p) {
    const int a = pinv_[pairs[p].first], b = pinv_[pairs[p].second];
    pair_slot_[p] = slot_of(std::min(a, b), std::max(a, b));
  }
  ax_.assign(ai_.size(), 0.0);

  // Elimination tree and column counts of L.
  parent_.assign(n, -1);
  lnz_.assign(n, 0);
  flag_.assign(n, -1);
  for (int k = 0; k < n; ++k) {
    flag_[k] = k;
    for (int p = ap_[k]; p < ap_[k + 1]; ++p) {
      for (int i = ai_[p]; flag_[i] != k; i = parent_[i]) {
        if (parent_[i] == -1) parent_[i] = k;
        ++lnz_[i];
        flag_[i] = k;
      }
    }
  }
  lp_.assign(n + 1, 0);
  for (int k = 0; k < n; ++k) lp_[k + 1] = lp_[k] + lnz_[k];
  li_.assign(lp_[n], 0);
  lx_.assign(lp_[n], 0.0);
  d_.assign(n, 0.0);
  y_.assign(n, 0.0);
  pattern_.assign(n, 0);
  work_.assign(n, 0.0);
}

bool SparseLdl::factor(const std::vector<double>& diag, const std::vector<double>& offdiag) {
  std::fill(ax_.begin(), ax_.end(), 0.0);
  for (int i = 0; i < n_; ++i) ax_[diag_slot_[i]] += diag[i];
  for (std::size_t p = 0; p < pair_slot_.size(); ++p) ax_[pair_slot_[p]] += offdiag[p];

  // Up-looking: row k of L from the pattern that the elimination tree gives.
  failed_ = -1;
  for (int k = 0; k < n_; ++k) {
    y_[k] = 0.0;
    int top = n_;
    flag_[k] = k;
    lnz_[k] = 0;
    for (int p = ap_[k]; p < ap_[k + 1]; ++p) {
      int i = ai_[p];
      y_[i] += ax_[p];
      int len = 0;
      for (; flag_[i] != k; i = parent_[i]) {
        pattern_[len++] = i;
        flag_[i] = k;
      }
      while (len > 0) pattern_[--top] = pattern_[--len];
    }
    d_[k] = y_[k];
    y_[k] = 0.0;
    for (; top < n_; ++top) {
      const int i = pattern_[top];
      const double yi = y_[i];
      y_[i] = 0.0;
      const int p2 = lp_[i] + lnz_[i];
      for (int p = lp_[i]; p < p2; ++p) y_[li_[p]] -= lx_[p] * yi;
      const double lki = yi / d_[i];
      d_[k] -= lki * yi;
      li_[p2] = k;
      lx_[p2] = lki;
      ++lnz_[i];
    }
    if (!(d_[k] > 0.0)) {
      failed_ = perm_[k];
      return false;
    }
  }
  return true;
}

void SparseLdl::solve(std::vector<double>& x) const {
  for (int k = 0; k < n_; ++k) work_[k] = x[perm_[k]];
  for (int j = 0; j < n_; ++j) {
    const double v = work_[j];
    for (int p = lp_[j]; p < lp_[j + 1]; ++p) work_[li_[p]] -= lx_[p] * v;
  }
  for (int j = 0; j < n_; ++j) work_[j] /= d_[j];
  for (int j = n_ - 1; j >= 0; --j) {
    double v = work_[j];
    for (int p = lp_[j]; p < lp_[j + 1]; ++p) v -= lx_[p] * work_[li_[p]];
    work_[j] = v;
  }
  for (int k = 0; k < n_; ++k) x[perm_[k]] = work_[k];
}

}  // namespace dorv::optimer
