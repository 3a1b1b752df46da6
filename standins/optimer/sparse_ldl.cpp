#include "standins/optimer/sparse_ldl.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <utility>

namespace dorv::optimer {

namespace {

// Lists laid end to end (list i at start[i]..start[i+1]): each sorted and
// its repeats closed up, the lists moved together.
void sort_lists(std::vector<int>& entries, std::vector<int>& start) {
  const int n = static_cast<int>(start.size()) - 1;
  int out = 0;
  for (int i = 0; i < n; ++i) {
    const int first = start[i], last = start[i + 1];
    std::sort(entries.begin() + first, entries.begin() + last);
    start[i] = out;
    for (int p = first; p < last; ++p)
      if (p == first || entries[p] != entries[p - 1]) entries[out++] = entries[p];
  }
  start[n] = out;
  entries.resize(out);
}

// Symmetric pairs as lists per unknown, each sorted, without repeats and
// without the unknown itself: start[i]..start[i+1] in the returned entries.
std::vector<int> pattern_lists(int n, const std::vector<std::pair<int, int>>& pairs, std::vector<int>& start) {
  start.assign(n + 1, 0);
  for (const auto& [i, j] : pairs) {
    if (i == j) continue;
    ++start[i + 1];
    ++start[j + 1];
  }
  for (int i = 0; i < n; ++i) start[i + 1] += start[i];
  std::vector<int> entries(start[n]);
  std::vector<int> fill(start.begin(), start.end() - 1);
  for (const auto& [i, j] : pairs) {
    if (i == j) continue;
    entries[fill[i]++] = j;
    entries[fill[j]++] = i;
  }
  sort_lists(entries, start);
  return entries;
}

}  // namespace

std::vector<int> minimum_degree_order(int n, const std::vector<std::pair<int, int>>& pairs) {
  // The elimination graph in one pool of ints: each unknown's neighbour list
  // (sorted) lies at pos[v] with room for cap[v]; a list that outgrows its
  // room moves to the end of the pool with twice the room.
  std::vector<int> start;
  std::vector<int> pool = pattern_lists(n, pairs, start);
  std::vector<int> pos(n), len(n), cap(n);
  for (int i = 0; i < n; ++i) {
    pos[i] = start[i];
    len[i] = cap[i] = start[i + 1] - start[i];
  }
  // Heap entries (degree, unknown) packed into one number: the least is the
  // lowest degree, ties going to the lower number. Every unknown not yet
  // eliminated has an entry of its current degree; entries of a degree it
  // no longer has are passed over when they come up, and an unknown whose
  // degree an elimination leaves as it was keeps its entry.
  auto entry = [](int degree, int v) {
    return (static_cast<std::uint64_t>(degree) << 32) | static_cast<std::uint32_t>(v);
  };
  std::vector<std::uint64_t> heap_store(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) heap_store[i] = entry(len[i], i);
  heap_store.reserve(static_cast<std::size_t>(n) * 2);
  std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> heap(std::greater<>(),
                                                                                      std::move(heap_store));
  std::vector<char> gone(n, 0);
  std::vector<int> order;
  order.reserve(n);
  std::vector<int> nb, merged;
  while (!heap.empty()) {
    const std::uint64_t top = heap.top();
    heap.pop();
    const int degree = static_cast<int>(top >> 32), v = static_cast<int>(top & 0xffffffffu);
    if (gone[v] || degree != len[v]) continue;  // stale entry
    gone[v] = 1;
    order.push_back(v);
    // Eliminating v joins its neighbours into a clique.
    nb.assign(pool.begin() + pos[v], pool.begin() + pos[v] + len[v]);
    len[v] = 0;
    const int nb_size = static_cast<int>(nb.size());
    for (int u : nb) {
      // u's list and v's merged, less u and v: at most both together.
      merged.resize(static_cast<std::size_t>(len[u] + nb_size));
      int* out = merged.data();
      const int* x = pool.data() + pos[u];
      const int* x_end = x + len[u];
      const int* y = nb.data();
      const int* y_end = y + nb_size;
      while (x != x_end && y != y_end) {
        int w;
        if (*x < *y) {
          w = *x++;
        } else if (*y < *x) {
          w = *y++;
        } else {
          w = *x++;
          ++y;
        }
        if (w != u && w != v) *out++ = w;
      }
      for (; x != x_end; ++x)
        if (*x != u && *x != v) *out++ = *x;
      for (; y != y_end; ++y)
        if (*y != u && *y != v) *out++ = *y;
      const int size = static_cast<int>(out - merged.data());
      if (size > cap[u]) {
        cap[u] = 2 * size;
        pos[u] = static_cast<int>(pool.size());
        pool.resize(pool.size() + static_cast<std::size_t>(cap[u]));
      }
      std::copy(merged.data(), out, pool.begin() + pos[u]);
      if (size != len[u]) {
        len[u] = size;
        heap.push(entry(size, u));
      }
    }
  }
  return order;
}

void SparseLdl::analyse(int n, const std::vector<std::pair<int, int>>& pairs) {
  n_ = n;
  perm_ = minimum_degree_order(n, pairs);
  pinv_.assign(n, 0);
  for (int k = 0; k < n; ++k) pinv_[perm_[k]] = k;

  // Permuted upper triangle by column: every column holds its diagonal and
  // the distinct rows above it; repeated pairs share one slot.
  {
    std::vector<std::pair<int, int>> permuted;
    permuted.reserve(pairs.size() + static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) permuted.emplace_back(k, k);
    for (const auto& [i, j] : pairs) {
      const int a = pinv_[i], b = pinv_[j];
      permuted.emplace_back(std::min(a, b), std::max(a, b));
    }
    ap_.assign(n + 1, 0);
    for (const auto& [row, col] : permuted) ++ap_[col + 1];
    for (int k = 0; k < n; ++k) ap_[k + 1] += ap_[k];
    ai_.assign(ap_[n], 0);
    std::vector<int> fill(ap_.begin(), ap_.end() - 1);
    for (const auto& [row, col] : permuted) ai_[fill[col]++] = row;
    sort_lists(ai_, ap_);
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
  // The diagonal's division as each unknown is reached going back: the
  // unknowns after it are final by then.
  for (int j = n_ - 1; j >= 0; --j) {
    double v = work_[j] / d_[j];
    for (int p = lp_[j]; p < lp_[j + 1]; ++p) v -= lx_[p] * work_[li_[p]];
    work_[j] = v;
  }
  for (int k = 0; k < n_; ++k) x[perm_[k]] = work_[k];
}

}  // namespace dorv::optimer
