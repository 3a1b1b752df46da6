#include "solvers/common/linktable.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace dorv::solvers {

double pipe_conductance(double K, double length) { return std::sqrt(K / length); }

double SeriesRule(double a, double b) { return a * b / std::sqrt(a * a + b * b); }

double in_series_with_pipe(double k, double K, double length) {
  return length > kSameLength ? SeriesRule(k, pipe_conductance(K, length)) : k;
}

LinkTable::LinkTable(int nodes, int slots)
    : nodes_(nodes),
      slots_(slots),
      neighbour_(static_cast<std::size_t>(nodes) * static_cast<std::size_t>(slots), 0),
      conductance_(neighbour_.size(), 0.0) {}

void LinkTable::clear(int last) {
  const std::size_t end = std::min(index_of(last + 1, 0), conductance_.size());
  std::fill(conductance_.begin(), conductance_.begin() + static_cast<std::ptrdiff_t>(end), 0.0);
}

int LinkTable::FindLink(int node, int neighbour) const {
  for (int s = 0; s < slots_ && conductance_at(node, s) != 0.0; ++s)
    if (neighbour_at(node, s) == neighbour) return s;
  return -1;
}

int LinkTable::CountLinks(int node) const {
  int s = 0;
  while (s < slots_ && conductance_at(node, s) != 0.0) ++s;
  return s;
}

void LinkTable::add_link(int node, int neighbour, double k) {
  if (node < 0 || node >= nodes_ || neighbour < 0) throw std::logic_error("link from a node outside the network");
  const int s = CountLinks(node);
  if (s >= slots_) throw std::logic_error("a node of the grid network has more links than slots");
  neighbour_[index_of(node, s)] = neighbour;
  conductance_[index_of(node, s)] = k;
}

void LinkTable::LinkRange(int first, int other, int last, double k) {
  for (int i = first; i <= last; ++i) {
    add_link(i, other + (i - first), k);
    add_link(other + (i - first), i, k);
  }
}

double link_flow(double k, double hu, double hv) {
  const double dh = hu - hv;
  return dh == 0.0 ? 0.0 : k * dh / std::sqrt(std::fabs(dh));
}

double link_flow(const LinkTable& table, const std::vector<double>& heads, int u, int v) {
  const int s = table.FindLink(u, v);
  if (s < 0) return 0.0;
  return link_flow(table.conductance_at(u, s), heads[static_cast<std::size_t>(u)], heads[static_cast<std::size_t>(v)]);
}

void BuildFireLines(int start, int stride, int shift, int width, int endBase, const ParameterRecord& r,
                    LinkTable& table, double between_extra) {
  const int q = r.LineCount;
  const double a = r.SprinklerSpacing;
  const double K5 = r.LinePipeK;
  const int s = shift;
  const int e = shift + width - 1;
  const int d1 = r.DeadEnds1;
  const int c2 = r.SprinklersPerLine - r.DeadEnds2;
  const double step_k = pipe_conductance(K5, a);
  auto column = [&](int position) { return start + stride * (position - s); };
  auto chain = [&](int from, int to) {
    for (int p = from; p < to; ++p) table.LinkRange(column(p), column(p + 1), column(p) + stride - 1, step_k);
  };
  auto to_ends = [&](int position, int ends, double length) {
    table.LinkRange(column(position), ends, column(position) + stride - 1, pipe_conductance(K5, length));
  };
  const int ends1 = endBase;
  const int ends2 = endBase + q;

  if (s <= d1) {  // beyond main 1, which lies half a spacing after position d1
    const int last = std::min(e, d1);
    chain(s, last);
    to_ends(last, ends1, (d1 - last + 0.5) * a);
  }
  if (s <= c2 && e > d1) {  // between the mains
    const int p = std::max(s, d1 + 1);
    const int last = std::min(e, c2);
    to_ends(p, ends1, (p - d1 - 1 + 0.5) * a + between_extra);
    chain(p, last);
    to_ends(last, ends2, (c2 - last + 0.5) * a + between_extra);
  }
  if (e > c2) {  // beyond main 2
    const int p = std::max(s, c2 + 1);
    to_ends(p, ends2, (p - c2 - 1 + 0.5) * a);
    chain(p, e);
  }
  if (e <= d1 || s > c2)  // no open sprinkler between the mains: a plain pipe
    table.LinkRange(ends1, ends2, ends1 + stride - 1, pipe_conductance(K5, mains_distance(r)));
}

}  // namespace dorv::solvers
