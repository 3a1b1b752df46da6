#include "standins/optimer/problem.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <tuple>

namespace dorv::optimer {

ProblemError::ProblemError(int node, int line, const std::wstring& text)
    : std::runtime_error("problem error"), node_(node), line_(line), text_(text) {}

namespace {

std::wstring num(long long v) { return std::to_wstring(v); }

std::vector<std::string_view> split_lines(std::string_view t) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' || t[i] == '\r') {
      lines.push_back(t.substr(start, i - start));
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < t.size()) lines.push_back(t.substr(start));
  return lines;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t s = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > s) out.push_back(line.substr(s, i - s));
  }
  return out;
}

std::optional<double> real(std::string_view f) {
  if (!f.empty() && f.front() == '+') f.remove_prefix(1);
  double v = 0.0;
  const auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), v);
  if (ec != std::errc() || end != f.data() + f.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long long> whole(std::string_view f) {
  long long v = 0;
  const auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), v);
  if (ec != std::errc() || end != f.data() + f.size()) return std::nullopt;
  return v;
}

const wchar_t* kind_word(NodeKind k) {
  return k == NodeKind::Sprinkler ? L"спринклер " : L"узел ";
}

}  // namespace

Problem parse_problem(std::string_view bytes) {
  const auto lines = split_lines(bytes);
  if (lines.empty()) throw ProblemError(-1, 0, L"файл задачи пуст");
  Problem pr;
  std::vector<int> line_of;
  for (std::size_t ln = 1; ln < lines.size(); ++ln) {
    const auto f = fields(lines[ln]);
    if (f.empty()) break;  // the first blank line ends the network
    const int line_no = static_cast<int>(ln + 1);
    const int expected = static_cast<int>(pr.nodes.size());
    const auto number = whole(f[0]);
    if (!number)
      throw ProblemError(-1, line_no, L"строка " + num(line_no) + L" не начинается с номера узла");
    if (*number != expected)
      throw ProblemError(static_cast<int>(*number), line_no,
                         L"узел " + num(*number) + L" стоит на месте узла " + num(expected) +
                             L" (узлы нумеруются по порядку от 0)");
    const std::wstring who = L"узел " + num(expected);
    if (f.size() < 4) throw ProblemError(expected, line_no, who + L": строка узла неполна");
    ProblemNode node;
    if (f[1] == "p") node.kind = NodeKind::Fixed;
    else if (f[1] == "o") node.kind = NodeKind::Sprinkler;
    else if (f[1] == "v") node.kind = NodeKind::Junction;
    else throw ProblemError(expected, line_no, who + L": вид узла должен быть p, o или v");
    const auto head = real(f[2]);
    if (!head) throw ProblemError(expected, line_no, who + L": напор не число");
    node.head = *head;
    const auto count = whole(f[3]);
    if (!count || *count < 0)
      throw ProblemError(expected, line_no, who + L": число связей не целое неотрицательное");
    if (f.size() < 4 + 2 * static_cast<std::size_t>(*count))
      throw ProblemError(expected, line_no, who + L": не хватает данных о связях");
    if (f.size() > 4 + 2 * static_cast<std::size_t>(*count))
      throw ProblemError(expected, line_no, who + L": лишние числа после связей");
    for (long long j = 0; j < *count; ++j) {
      const auto nb = whole(f[4 + 2 * j]);
      const auto k = real(f[5 + 2 * j]);
      if (!nb || !k) throw ProblemError(expected, line_no, who + L": связь " + num(j + 1) + L" не числа");
      if (!(*k > 0))
        throw ProblemError(expected, line_no,
                           who + L": проводимость связи с узлом " + num(*nb) + L" должна быть больше нуля");
      if (*nb == expected) throw ProblemError(expected, line_no, who + L" связан сам с собой");
      node.links.push_back({static_cast<int>(*nb), *k});
    }
    pr.nodes.push_back(std::move(node));
    line_of.push_back(line_no);
  }
  auto& nodes = pr.nodes;
  const int n = static_cast<int>(nodes.size());
  if (n == 0) throw ProblemError(-1, 0, L"в файле задачи нет узлов");

  // Neighbours exist; every link stands on both ends with one conductance.
  using Listing = std::tuple<int, int, double>;  // (lower node, upper node, conductance)
  std::vector<Listing> from_lower, from_upper;
  for (int i = 0; i < n; ++i) {
    for (const auto& l : nodes[i].links) {
      if (l.neighbour < 0 || l.neighbour >= n)
        throw ProblemError(i, line_of[i],
                           L"узел " + num(i) + L": нет узла " + num(l.neighbour) + L", указанного как соседний");
      if (i < l.neighbour) from_lower.emplace_back(i, l.neighbour, l.conductance);
      else from_upper.emplace_back(l.neighbour, i, l.conductance);
    }
  }
  std::sort(from_lower.begin(), from_lower.end());
  std::sort(from_upper.begin(), from_upper.end());
  auto same = [](const Listing& a, const Listing& b) {
    return std::get<0>(a) == std::get<0>(b) && std::get<1>(a) == std::get<1>(b) &&
           std::abs(std::get<2>(a) - std::get<2>(b)) <= 1e-9 * std::max(std::get<2>(a), std::get<2>(b));
  };
  const std::size_t common = std::min(from_lower.size(), from_upper.size());
  for (std::size_t p = 0; p <= common; ++p) {
    const bool lo = p < from_lower.size(), up = p < from_upper.size();
    if (!lo && !up) break;
    if (lo && up && same(from_lower[p], from_upper[p])) continue;
    // Name the listing that comes first in order: it has no partner.
    const bool blame_lower = lo && (!up || from_lower[p] < from_upper[p]);
    const auto& [a, b, k] = blame_lower ? from_lower[p] : from_upper[p];
    const int owner = blame_lower ? a : b, other = blame_lower ? b : a;
    (void)k;
    throw ProblemError(owner, line_of[owner],
                       L"связь узла " + num(owner) + L" с узлом " + num(other) +
                           L" не указана в строке узла " + num(other) + L" с той же проводимостью");
  }

  // Kinds.
  if (nodes[0].kind != NodeKind::Fixed)
    throw ProblemError(0, line_of[0], L"узел 0 (питание) должен быть узлом заданного напора (p)");
  if (nodes[0].links.empty()) throw ProblemError(0, line_of[0], L"узел 0 (питание) не имеет связей");
  int sprinklers = 0;
  for (int i = 0; i < n; ++i) {
    if (nodes[i].kind != NodeKind::Sprinkler) continue;
    ++sprinklers;
    if (nodes[i].links.empty() || nodes[i].links[0].neighbour == 0 ||
        nodes[nodes[i].links[0].neighbour].kind != NodeKind::Fixed)
      throw ProblemError(i, line_of[i],
                         L"спринклер " + num(i) + L": первая связь должна вести к его выходу (узлу вида p)");
  }
  if (sprinklers == 0) throw ProblemError(-1, 0, L"в сети нет спринклеров (узлов вида o)");

  return pr;
}

void check_connected(const Problem& pr) {
  const auto& nodes = pr.nodes;
  const int n = static_cast<int>(nodes.size());
  // Connectivity through the free nodes: from the feed, and from every node
  // of given head.
  auto reach = [&](bool from_all_fixed) {
    std::vector<char> seen(n, 0);
    std::vector<int> stack;
    for (int i = 0; i < n; ++i) {
      if (nodes[i].kind == NodeKind::Fixed && (from_all_fixed || i == 0)) {
        seen[i] = 1;
        stack.push_back(i);
      }
    }
    while (!stack.empty()) {
      const int v = stack.back();
      stack.pop_back();
      for (const auto& l : nodes[v].links) {
        if (seen[l.neighbour]) continue;
        seen[l.neighbour] = 1;
        if (nodes[l.neighbour].kind != NodeKind::Fixed) stack.push_back(l.neighbour);
      }
    }
    return seen;
  };
  const auto from_feed = reach(false);
  for (int i = 0; i < n; ++i)
    if (nodes[i].kind == NodeKind::Sprinkler && !from_feed[i])
      throw ProblemError(i, 0, L"спринклер " + num(i) + L" не связан с питанием (узлом 0)");
  const auto from_fixed = reach(true);
  for (int i = 0; i < n; ++i)
    if (!from_fixed[i])
      throw ProblemError(i, 0,
                         std::wstring(kind_word(nodes[i].kind)) + num(i) +
                             L" не связан ни с одним узлом заданного напора");
}

}  // namespace dorv::optimer
