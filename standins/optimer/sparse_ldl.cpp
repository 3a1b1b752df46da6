#include "standins/optimer/sparse_ldl.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
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
    if (last - first <= 16) {
      // The lists of a network's matrix are a handful long.
      for (int p = first + 1; p < last; ++p) {
        const int v = entries[p];
        int q = p;
        for (; q > first && entries[q - 1] > v; --q) entries[q] = entries[q - 1];
        entries[q] = v;
      }
    } else {
      std::sort(entries.begin() + first, entries.begin() + last);
    }
    start[i] = out;
    for (int p = first; p < last; ++p)
      if (p == first || entries[p] != entries[p - 1]) entries[out++] = entries[p];
  }
  start[n] = out;
  entries.resize(out);
}

// The unknowns of one degree, the lowest number found in a few steps: a bit
// per unknown, and above it a bit per word that is not empty, level on level
// up to a single word.
class NumberSet {
 public:
  explicit NumberSet(int n) {
    std::size_t words = (static_cast<std::size_t>(n) + 63) / 64;
    for (;;) {
      levels_.emplace_back(std::max<std::size_t>(words, 1), 0);
      if (words <= 1) break;
      words = (words + 63) / 64;
    }
  }
  bool empty() const { return levels_.back()[0] == 0; }
  void insert(int v) {
    std::size_t at = static_cast<std::size_t>(v);
    for (auto& level : levels_) {
      std::uint64_t& word = level[at >> 6];
      const bool was_empty = word == 0;
      word |= std::uint64_t{1} << (at & 63);
      if (!was_empty) return;
      at >>= 6;
    }
  }
  void erase(int v) {
    std::size_t at = static_cast<std::size_t>(v);
    for (auto& level : levels_) {
      std::uint64_t& word = level[at >> 6];
      word &= ~(std::uint64_t{1} << (at & 63));
      if (word != 0) return;
      at >>= 6;
    }
  }
  // The lowest number in the set, which must not be empty.
  int lowest() const {
    std::size_t at = 0;
    for (std::size_t l = levels_.size(); l-- > 0;)
      at = (at << 6) | static_cast<std::size_t>(std::countr_zero(levels_[l][at]));
    return static_cast<int>(at);
  }

 private:
  std::vector<std::vector<std::uint64_t>> levels_;
};

}  // namespace

std::vector<int> minimum_degree_order(int n, const std::vector<std::pair<int, int>>& pairs) {
  // The elimination graph kept as a quotient graph: an eliminated unknown
  // becomes an element, the list of the unknowns it joined into a clique.
  // Each unknown keeps its own region of the pool: first the unknowns it is
  // still linked with directly, then the elements it belongs to. The degree
  // is exact (the count of distinct unknowns it reaches either way), so the
  // order is the one that eliminating on the explicit graph gives; only the
  // cliques are never written out.
  std::vector<int> pool_start(n + 1, 0);
  for (const auto& [i, j] : pairs) {
    if (i == j) continue;
    ++pool_start[i + 1];
    ++pool_start[j + 1];
  }
  for (int i = 0; i < n; ++i) pool_start[i + 1] += pool_start[i];
  std::vector<int> pool(pool_start[n]);
  {
    std::vector<int> fill(pool_start.begin(), pool_start.end() - 1);
    for (const auto& [i, j] : pairs) {
      if (i == j) continue;
      pool[fill[i]++] = j;
      pool[fill[j]++] = i;
    }
  }
  // mark[] holds stamps: a fresh stamp per use, so that nothing is cleared.
  std::vector<int> mark(n, 0);
  int stamp = 0;
  std::vector<int> linked(n), elements(n, 0), degree(n);  // region sizes; degree
  for (int i = 0; i < n; ++i) {
    const int s = ++stamp;
    mark[i] = s;
    int w = pool_start[i];
    for (int q = pool_start[i]; q < pool_start[i + 1]; ++q) {
      const int j = pool[q];
      if (mark[j] != s) {
        mark[j] = s;
        pool[w++] = j;
      }
    }
    linked[i] = degree[i] = w - pool_start[i];
  }
  // The elements' lists, end to end: an element's list is as long as the
  // degree of its unknown when eliminated.
  std::vector<int> clique_start(n, 0), clique_size(n, 0), cliques(static_cast<std::size_t>(pool_start[n]) + 1);
  std::size_t cliques_used = 0;
  enum : char { kUnknown, kElement, kAbsorbed };
  std::vector<char> state(n, kUnknown);

  // Degrees below 64 in sets, one per degree, with a bit per set that is not
  // empty; higher degrees in a heap of (degree, unknown) packed into one
  // number, where an entry of a degree its unknown no longer has is passed
  // over. Either way the next is the lowest degree, ties to the lower number.
  constexpr int kSetDegrees = 64;
  std::vector<NumberSet> sets;
  std::uint64_t filled = 0;
  auto entry = [](int d, int v) { return (static_cast<std::uint64_t>(d) << 32) | static_cast<std::uint32_t>(v); };
  std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> heap;
  auto add = [&](int d, int v) {
    if (d < kSetDegrees) {
      while (static_cast<int>(sets.size()) <= d) sets.emplace_back(n);
      sets[d].insert(v);
      filled |= std::uint64_t{1} << d;
    } else {
      heap.push(entry(d, v));
    }
  };
  auto remove = [&](int d, int v) {
    if (d >= kSetDegrees) return;
    sets[d].erase(v);
    if (sets[d].empty()) filled &= ~(std::uint64_t{1} << d);
  };
  for (int i = 0; i < n; ++i) add(degree[i], i);

  std::vector<int> order;
  order.reserve(n);
  while (static_cast<int>(order.size()) < n) {
    int p;
    if (filled != 0) {
      const int d = std::countr_zero(filled);
      p = sets[d].lowest();
      remove(d, p);
    } else {
      const std::uint64_t top = heap.top();
      heap.pop();
      p = static_cast<int>(top & 0xffffffffu);
      if (state[p] != kUnknown || static_cast<int>(top >> 32) != degree[p]) continue;
    }
    order.push_back(p);
    state[p] = kElement;
    if (stamp > std::numeric_limits<int>::max() - n - 2) {  // room for this step's stamps
      std::fill(mark.begin(), mark.end(), 0);
      stamp = 0;
    }
    // p's clique: its direct links and the lists of its elements, which it
    // absorbs (every unknown of theirs is in p's list now).
    const int in_clique = ++stamp;
    mark[p] = in_clique;
    if (cliques_used + static_cast<std::size_t>(degree[p]) > cliques.size())
      cliques.resize(std::max(cliques.size() * 2, cliques_used + static_cast<std::size_t>(degree[p])));
    int* const clique = cliques.data() + cliques_used;
    int* out = clique;
    const int* region = pool.data() + pool_start[p];
    for (const int* x = region; x != region + linked[p]; ++x) {
      mark[*x] = in_clique;
      *out++ = *x;
    }
    for (const int* x = region + linked[p]; x != region + linked[p] + elements[p]; ++x) {
      const int e = *x;
      for (const int *y = cliques.data() + clique_start[e], *y_end = y + clique_size[e]; y != y_end; ++y)
        if (mark[*y] != in_clique) {
          mark[*y] = in_clique;
          *out++ = *y;
        }
      state[e] = kAbsorbed;
    }
    const int size = static_cast<int>(out - clique);
    clique_start[p] = static_cast<int>(cliques_used);
    clique_size[p] = size;
    cliques_used += static_cast<std::size_t>(size);
    linked[p] = elements[p] = 0;
    // Each unknown of the clique: its direct links to the clique go (the
    // element covers them), absorbed elements go, p comes in; its degree is
    // the clique less itself and what else it reaches. The region only
    // shrinks: p was a direct link or came through an absorbed element.
    for (int c = 0; c < size; ++c) {
      const int i = clique[c];
      int* own = pool.data() + pool_start[i];
      const int seen = ++stamp;
      int d = size - 1, w = 0;
      const int direct = linked[i], all = linked[i] + elements[i];
      for (int k = 0; k < direct; ++k) {
        const int j = own[k];
        if (mark[j] == in_clique) continue;
        own[w++] = j;
        mark[j] = seen;
        ++d;
      }
      linked[i] = w;
      for (int k = direct; k < all; ++k) {
        const int e = own[k];
        if (state[e] == kAbsorbed) continue;
        own[w++] = e;
        for (const int *y = cliques.data() + clique_start[e], *y_end = y + clique_size[e]; y != y_end; ++y) {
          const int m = mark[*y];
          if (m != in_clique && m != seen) {
            mark[*y] = seen;
            ++d;
          }
        }
      }
      own[w++] = p;
      elements[i] = w - linked[i];
      if (d != degree[i]) {
        remove(degree[i], i);
        degree[i] = d;
        add(d, i);
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
    ap_.assign(n + 1, 0);
    for (int k = 0; k < n; ++k) ap_[k + 1] = 1;
    for (const auto& [i, j] : pairs) ++ap_[std::max(pinv_[i], pinv_[j]) + 1];
    for (int k = 0; k < n; ++k) ap_[k + 1] += ap_[k];
    ai_.resize(ap_[n]);
    std::vector<int> fill(ap_.begin(), ap_.end() - 1);
    for (int k = 0; k < n; ++k) ai_[fill[k]++] = k;
    for (const auto& [i, j] : pairs) {
      const int a = pinv_[i], b = pinv_[j];
      ai_[fill[std::max(a, b)]++] = std::min(a, b);
    }
    sort_lists(ai_, ap_);
  }
  auto slot_of = [&](int row, int col) {
    const auto first = ai_.begin() + ap_[col], last = ai_.begin() + ap_[col + 1];
    return static_cast<int>(std::lower_bound(first, last, row) - ai_.begin());
  };
  diag_slot_.resize(n);
  for (int i = 0; i < n; ++i) diag_slot_[i] = slot_of(pinv_[i], pinv_[i]);
  pair_slot_.resize(pairs.size());
  pair_first_.resize(pairs.size());
  std::vector<char> taken(ai_.size(), 0);
  for (std::size_t p = 0; p < pairs.size(); ++p) {
    const int a = pinv_[pairs[p].first], b = pinv_[pairs[p].second];
    pair_slot_[p] = slot_of(std::min(a, b), std::max(a, b));
    pair_first_[p] = !taken[pair_slot_[p]];
    taken[pair_slot_[p]] = 1;
  }
  ax_.assign(ai_.size(), 0.0);

  // The symbolic factorisation, once for the network: the elimination tree
  // and, row by row, the columns whose entries row k of L gets, in the order
  // the numeric factorisation must take them (the paths up the tree from
  // each entry of A's column k, the last path first, each from its foot).
  // Every iteration then only does the arithmetic.
  std::vector<int> parent(n, -1), flag(n, -1), count(n, 0), stack(n);
  row_start_.assign(n + 1, 0);
  row_column_.clear();
  row_column_.reserve(static_cast<std::size_t>(ap_[n]) * 2);
  for (int k = 0; k < n; ++k) {
    flag[k] = k;
    int top = n;
    for (int p = ap_[k]; p < ap_[k + 1]; ++p) {
      int len = 0;
      for (int i = ai_[p]; flag[i] != k; i = parent[i]) {
        if (parent[i] == -1) parent[i] = k;
        stack[len++] = i;
        flag[i] = k;
        ++count[i];
      }
      while (len > 0) stack[--top] = stack[--len];
    }
    row_column_.insert(row_column_.end(), stack.begin() + top, stack.end());
    row_start_[k + 1] = static_cast<int>(row_column_.size());
  }
  lp_.assign(n + 1, 0);
  for (int k = 0; k < n; ++k) lp_[k + 1] = lp_[k] + count[k];
  li_.assign(lp_[n], 0);
  row_slot_.resize(row_column_.size());
  std::fill(count.begin(), count.end(), 0);
  for (int k = 0; k < n; ++k) {
    for (int e = row_start_[k]; e < row_start_[k + 1]; ++e) {
      const int i = row_column_[e];
      const int slot = lp_[i] + count[i]++;
      li_[slot] = k;
      row_slot_[e] = slot;
    }
  }
  lx_.assign(lp_[n], 0.0);
  d_.assign(n, 0.0);
  y_.assign(n, 0.0);
  work_.assign(n, 0.0);
}

bool SparseLdl::factor(const std::vector<double>& diag, const std::vector<double>& offdiag) {
  // Every entry summed from zero, as filling them with zeros first would:
  // each diagonal entry has one value, a pair's entry starts at its first.
  for (int i = 0; i < n_; ++i) ax_[diag_slot_[i]] = 0.0 + diag[i];
  for (std::size_t p = 0; p < pair_slot_.size(); ++p)
    ax_[pair_slot_[p]] = (pair_first_[p] ? 0.0 : ax_[pair_slot_[p]]) + offdiag[p];

  // Up-looking: row k of L from the rows above it. Column i of L holds, at
  // row k, the entries of the rows before k, so the slot of (k, i) bounds
  // the part of column i that row k takes.
  failed_ = -1;
  for (int k = 0; k < n_; ++k) {
    y_[k] = 0.0;
    for (int p = ap_[k]; p < ap_[k + 1]; ++p) y_[ai_[p]] += ax_[p];
    double dk = y_[k];
    y_[k] = 0.0;
    for (int e = row_start_[k]; e < row_start_[k + 1]; ++e) {
      const int i = row_column_[e], slot = row_slot_[e];
      const double yi = y_[i];
      y_[i] = 0.0;
      for (int p = lp_[i]; p < slot; ++p) y_[li_[p]] -= lx_[p] * yi;
      const double lki = yi / d_[i];
      dk -= lki * yi;
      lx_[slot] = lki;
    }
    d_[k] = dk;
    if (!(dk > 0.0)) {
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
