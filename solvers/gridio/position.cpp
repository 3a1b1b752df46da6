#include "solvers/gridio/position.h"

#include <algorithm>
#include <cmath>

#include "solvers/common/console.h"
#include "solvers/common/resultfile.h"
#include "text/number.h"
#include "text/numtext.h"

namespace dorv::solvers {

FeedPlace locate_feed(const ParameterRecord& r) {
  FeedPlace f;
  if (r.FeedOffset >= 0) return f;
  const double d = -r.FeedOffset, b = r.LineSpacing;
  f.Lf = static_cast<int>(trunc_whole((d + 0.2) / b + 0.5));
  // Only a spacing below 0.4 m could carry the feed past the last main node.
  f.Lf = std::min(f.Lf, r.LineCount);
  f.Md = d - (f.Lf - 0.5) * b;
  if (std::fabs(f.Md) <= 0.2) f.Md = 0.0;
  f.FeedNode = (f.Lf > 0 && f.Md == 0.0) ? f.Lf : 0;
  return f;
}

namespace {

void link_both(LinkTable& t, int x, int y, double k) {
  t.add_link(x, y, k);
  t.add_link(y, x, k);
}

void BuildPositionNetwork(PositionNetwork& net) {
  const ParameterRecord& r = net.record;
  LinkTable& t = net.table;
  const int q = r.LineCount, SL = r.SquareLines, SW = r.SquareWidth, A = r.ShiftAlong, B = r.ShiftAcross;
  const int M = net.M;
  const double b = r.LineSpacing, L = mains_distance(r), h = std::fabs(r.RiserHeight);
  const double K5 = r.LinePipeK, K6 = r.MainPipeK, K11 = r.CrossPipeK, K14 = r.SecondMainK, K15 = r.RingPipeK;
  const double f12 = r.FeedOffset, d = -f12;
  const int Lf = net.feed.Lf;
  const double Md = net.feed.Md;
  const bool between = Md != 0.0;  // the feed lies between two main nodes (or before node 1)
  const double plain_line_k = pipe_conductance(K5, L + 2 * h);

  t.clear(M);
  for (int s = 2 * q + 1; s <= M; ++s) t.add_link(s, M + s, r.SprinklerK);
  // Plain lines nearer the feed, the line next to the square, the square,
  // the plain lines beyond it.
  if (q - SL - B >= 1) t.LinkRange(1, q + 1, q - SL - B, plain_line_k);
  const int next = q - SL - B + 1;
  if (r.PartialCount == 0) {
    if (SL < q - B + 1) t.LinkRange(next, q + next, next, plain_line_k);
  } else {
    BuildFireLines(2 * q + SL * SW + 1, 1, A + r.PartialOffset, r.PartialCount, next, r, t, h);
  }
  BuildFireLines(2 * q + 1, SL, A, SW, q - SL - B + 2, r, t, h);
  if (q - B + 2 <= q) t.LinkRange(q - B + 2, 2 * q - B + 2, q, plain_line_k);

  // Main 1, with the feed between nodes Lf and Lf + 1.
  const double kM1 = pipe_conductance(K6, b);
  auto to_feed = [&](int i, double length) { link_both(t, i, 0, pipe_conductance(K6, length)); };
  if (Lf == 1 && between) to_feed(1, Md);
  else t.add_link(1, 2, kM1);
  for (int i = 2; i <= q - 1; ++i) {
    if (i == Lf && between) to_feed(i, Md);
    else t.add_link(i, i + 1, kM1);
    if (i - 1 == Lf && between) to_feed(i, b - Md);
    else t.add_link(i, i - 1, kM1);
  }
  if (q - 1 == Lf && between) to_feed(q, b - Md);
  else t.add_link(q, q - 1, kM1);
  // Main 2.
  const double kM2 = pipe_conductance(K14, b);
  t.add_link(q + 1, q + 2, kM2);
  for (int i = q + 2; i <= 2 * q - 1; ++i) {
    t.add_link(i, i + 1, kM2);
    t.add_link(i, i - 1, kM2);
  }
  t.add_link(2 * q, 2 * q - 1, kM2);

  // The feed at the feed end of main 1. The cross-pipe's share counts only
  // for a feed that lies on the cross-pipe (a positive offset); with the feed
  // on main 1 the offset is negative and no part of the cross-pipe lies
  // between the feed and node 1.
  if (f12 >= 0 || Lf == 0) {
    double k0 = f12 < 0 ? pipe_conductance(K6, 0.5 * b + f12) : pipe_conductance(2 * K6, b);
    if (K11 != 0) k0 = in_series_with_pipe(k0, K11, f12);
    link_both(t, 1, 0, k0);
  }
  // The feed-end cross-pipe to main 2.
  if (K11 != 0) {
    double k = pipe_conductance(2 * K14, b);
    if (f12 < 0) {
      k = SeriesRule(k, pipe_conductance(K11, L));
      if (Lf == 0) {
        link_both(t, q + 1, 0, in_series_with_pipe(k, K6, d));
      } else {
        link_both(t, q + 1, 1, SeriesRule(k, pipe_conductance(2 * K6, b)));
      }
    } else {
      k = in_series_with_pipe(k, K11, L - f12);
      link_both(t, q + 1, 0, k);
    }
  }
  if (Lf == q && between) link_both(t, q, 0, pipe_conductance(K6, Md));
  // The far-end ring.
  if (K15 != 0) {
    double k = SeriesRule(pipe_conductance(2 * K14, b), pipe_conductance(K15, L));
    if (Lf == q && between) {
      // A feed half a spacing beyond node q lies at the ring's own end.
      k = in_series_with_pipe(k, K6, 0.5 * b - Md);
      link_both(t, 2 * q, 0, k);
    } else {
      link_both(t, 2 * q, q, SeriesRule(k, pipe_conductance(2 * K6, b)));
    }
  }
}

}  // namespace

PositionNetwork::PositionNetwork(const ParameterRecord& sized, int along, int across) : record(sized) {
  record.ShiftAlong = along;
  record.ShiftAcross = across;
  M = NodeCount(record);
  feed = locate_feed(record);
  table = LinkTable(M + 1, 4);
  heads.assign(static_cast<std::size_t>(M) + 1, record.MinHead);
  heads[0] = 10 * record.MinHead;
  BuildPositionNetwork(*this);
}

int RenumberNode(int node, int M, int q, int feed_node) {
  const int n = M - 2 * q;
  if (node == feed_node) return 0;
  if (node > M) return node - M - 2 * q;
  if (node > 2 * q) return n + node - 2 * q;
  return 2 * n + node - ((feed_node > 0 && feed_node < node) ? 1 : 0);
}

std::wstring problem_file_text(const PositionNetwork& net, double tolerance) {
  const ParameterRecord& r = net.record;
  const LinkTable& t = net.table;
  const int q = r.LineCount, M = net.M, feed_node = net.feed.FeedNode;
  auto links = [&](int node) {
    std::wstring s;
    for (int k = 0; k < t.CountLinks(node); ++k)
      s += c_format("%2d  %11.8lf  ", RenumberNode(t.neighbour_at(node, k), M, q, feed_node),
                    t.conductance_at(node, k));
    return s;
  };
  std::wstring out = c_format("%.15lf  %.15lf  200000\n", tolerance, r.Tolerance);
  out += c_format(" 0  p  %12.8lf  %d  ", net.heads[feed_node], t.CountLinks(feed_node)) + links(feed_node) + L"\n";
  int number = 0;
  for (int s = 2 * q + 1; s <= M; ++s)
    out += c_format("%2d  p             0  1  %2d  ", ++number, RenumberNode(s, M, q, feed_node)) +
           c_format("%11.8lf\n", t.conductance_at(s, 0));
  for (int s = 2 * q + 1; s <= M; ++s)
    out += c_format("%2d  o  %12.8lf  %d  ", ++number, net.heads[s], t.CountLinks(s)) + links(s) + L"\n";
  for (int i = 1; i <= 2 * q; ++i) {
    if (i == feed_node) continue;
    out += c_format("%2d  v  %12.8lf  %d  ", ++number, net.heads[i], t.CountLinks(i)) + links(i) + L"\n";
  }
  return out;
}

std::optional<PositionAnswer> read_position_answer(std::string_view text, const PositionNetwork& net) {
  std::vector<double> v;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t s = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == s) break;
    double x = 0;
    if (scan_decimal(text.substr(s, i - s), x) != i - s || !std::isfinite(x)) return std::nullopt;
    v.push_back(x);
  }
  const int q = net.record.LineCount, M = net.M, feed_node = net.feed.FeedNode, n = M - 2 * q;
  const std::size_t mains = static_cast<std::size_t>(2 * q - (feed_node != 0 ? 1 : 0));
  const std::size_t expected = 3 + 3 * static_cast<std::size_t>(n) + 4 * static_cast<std::size_t>(n) + 4 * mains;
  if (v.size() != expected || v[0] != 0) return std::nullopt;
  PositionAnswer a;
  a.feed_head = v[1];
  a.total_flow = v[2];
  a.heads.assign(static_cast<std::size_t>(M) + 1, 0.0);
  a.heads[0] = a.feed_head;
  a.heads[static_cast<std::size_t>(feed_node)] = a.feed_head;
  std::size_t p = 3;
  int number = 0;
  for (int s = 0; s < n; ++s, p += 3)
    if (v[p] != ++number) return std::nullopt;
  for (int s = 2 * q + 1; s <= M; ++s, p += 4) {
    if (v[p] != ++number) return std::nullopt;
    a.heads[static_cast<std::size_t>(s)] = v[p + 1];
  }
  for (int m = 1; m <= 2 * q; ++m) {
    if (m == feed_node) continue;
    if (v[p] != ++number) return std::nullopt;
    a.heads[static_cast<std::size_t>(m)] = v[p + 1];
    a.error = std::max(a.error, v[p + 3]);
    p += 4;
  }
  return a;
}

std::wstring position_report(const PositionNetwork& net, const PositionAnswer& answer) {
  const ParameterRecord& r = net.record;
  const LinkTable& t = net.table;
  const auto& H = answer.heads;
  const int q = r.LineCount, SL = r.SquareLines, SW = r.SquareWidth, A = r.ShiftAlong, B = r.ShiftAcross;
  const double h = r.RiserHeight, b = r.LineSpacing, L = mains_distance(r);
  const int Lf = net.feed.Lf;
  const bool between = net.feed.Md != 0.0;
  auto flow = [&](int u, int v) { return link_flow(t, H, u, v); };
  // The flow over the last link from u to v: a ring or cross-pipe link added
  // after a branch line's own link between the same two main nodes.
  auto last_flow = [&](int u, int v) {
    for (int s = t.CountLinks(u) - 1; s >= 0; --s)
      if (t.neighbour_at(u, s) == v) return link_flow(t.conductance_at(u, s), H[u], H[v]);
    return 0.0;
  };

  std::wstring out = L"Давления во вскрывшихся спринклерах:\n";
  out += square_head_rows(r, [&](int node) { return H[static_cast<std::size_t>(node)]; }, false);
  out += c_format("\n\nСмещение квадрата пожара:\n вправо  -  %2d,        вниз  -  %2d\n", A, B);
  out += c_format("\nПолный напор:   %6.2lf\nПолный расход: %7.3lf\nПогрешность:    %10.8lf\n", H[0] + h,
                 answer.total_flow, answer.error);
  out += L"\nПараметры концов рядков:\n        Напор     Расход     Расход      Напор\n"
         L"        слева     слева      справа      справа";
  const char* row = "\nмаг  %8.2lf   %8.3lf   %8.3lf   %8.2lf";
  if (r.RingPipeK != 0) {
    const double Qr = last_flow(2 * q, (Lf == q && between) ? 0 : q);
    const double Hr = H[2 * q] - std::fabs(Qr) * Qr * b / (2 * r.SecondMainK);
    out += c_format(row, H[2 * q] - std::fabs(Qr) * Qr * (b / (2 * r.SecondMainK) + L / r.RingPipeK) + h, -Qr, Qr,
                   Hr + h);
  }
  // A square or partial line: the flows from each main into the line, over
  // every link between the main node and the line's sprinklers (a line with
  // open dead-end sprinklers has two on that side), or over the plain pipe
  // when no open sprinkler lies between the mains.
  const int d1 = r.DeadEnds1, c2 = r.SprinklersPerLine - r.DeadEnds2;
  auto fire_line = [&](int u, int w, int first_node, int stride, int count, int s) {
    const int e = s + count - 1;
    auto on_line = [&](int node) {
      for (int j = 0; j < count; ++j)
        if (node == first_node + stride * j) return true;
      return false;
    };
    auto into = [&](int main, int other) {
      double sum = 0.0;
      for (int k = 0; k < t.CountLinks(main); ++k)
        if (on_line(t.neighbour_at(main, k)))
          sum += link_flow(t.conductance_at(main, k), H[main], H[t.neighbour_at(main, k)]);
      if (e <= d1 || s > c2) sum += flow(main, other);
      return sum;
    };
    return std::pair{into(u, w), into(w, u)};
  };
  for (int k = 0; k < q; ++k) {
    const int u = q - k, w = 2 * q - k;
    double Q1 = 0, Q2 = 0;
    if (k >= B - 1 && k <= SL + B - 2) {
      const int line = SL + B - 2 - k;  // square line, 0-based
      std::tie(Q1, Q2) = fire_line(u, w, 2 * q + 1 + line, SL, SW, A);
    } else if (k == SL + B - 1 && r.PartialCount != 0) {
      std::tie(Q1, Q2) = fire_line(u, w, 2 * q + SL * SW + 1, 1, r.PartialCount, A + r.PartialOffset);
    } else {
      Q1 = flow(u, w);
      Q2 = -Q1;
    }
    out += c_format("\n%2d   %8.2lf   %8.3lf   %8.3lf   %8.2lf", k + 1, H[u] + h, Q1, Q2, H[w] + h);
  }
  if (r.CrossPipeK != 0) {
    const double Q2 = last_flow(q + 1, Lf == 0 ? 0 : 1);
    const double Hr = H[q + 1] - std::fabs(Q2) * Q2 * b / (2 * r.SecondMainK);
    double Q1, Hl;
    if (r.FeedOffset > 0) {
      Q1 = flow(1, 0);
      Hl = H[1] - std::fabs(Q1) * Q1 * b / (2 * r.MainPipeK);
    } else {
      Q1 = -Q2;
      Hl = Hr - std::fabs(Q2) * Q2 * L / r.CrossPipeK;
    }
    out += c_format(row, Hl + h, Q1, Q2, Hr + h);
  }
  out += L"\n";
  // A line that carries no water from main to main has the flow -0 on its
  // far side.
  return without_negative_zeros(std::move(out));
}

std::string position_stem(std::string_view along, std::string_view across) {
  return "spr" + std::string(along) + "_" + std::string(across);
}

}  // namespace dorv::solvers
