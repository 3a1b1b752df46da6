#include "arbmodel/problem_file.h"

#include "arbmodel/cells.h"
#include "arbmodel/network_file.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

std::vector<NodeNumber> node_number_map(const std::vector<std::wstring>& lines) {
  std::vector<NodeNumber> map;
  bool in = false;
  for (const auto& line : lines) {
    if (in && line == L"#####4") break;
    if (in) {
      const auto f = blank_fields(line);
      map.push_back({f.size() > 0 ? num_value(f[0]) : 0, f.size() > 1 ? num_value(f[1]) : 0});
    }
    if (line == L"#####3") in = true;
  }
  return map;
}

ProblemLines network_section(const std::vector<std::wstring>& lines) {
  ProblemLines p;
  for (std::size_t i = kHeadLines + 1; i < lines.size(); ++i) {
    const std::wstring& line = lines[i];
    if (contains(line, L"#####2")) break;
    if (contains(line, L"v")) p.has_junction = true;
    const auto f = blank_fields(line);
    p.last_node = f.empty() ? 0 : num_value(f[0]);
    p.lines.push_back(line);
    // Every node line (the header line excepted) is checked, whatever its count.
    if (p.lines.size() > 1 && f.size() > 3 && num_value(f[3]) > 4) {
      p.refused_node = p.last_node;
      return p;
    }
  }
  return p;
}

std::wstring too_many_pipes(double drawn_node) {
  return L"К узлу номер" + num_text(drawn_node) + L" подходит более 4-х труб, что недопустимо!";
}

std::vector<std::wstring> node_check_messages(const std::vector<NodeNumber>& map, double network_node) {
  std::vector<std::wstring> out;
  for (const NodeNumber& n : map)
    if (n.network == network_node) out.push_back(too_many_pipes(n.drawn));
  if (out.empty())
    out.push_back(L"К узлу расчетной сети номер" + num_text(network_node) +
                  L" подходит более 4-х труб, что недопустимо!");
  return out;
}

std::vector<std::wstring> add_feed_node(const std::vector<std::wstring>& problem, double last_node) {
  std::vector<std::wstring> out;
  if (problem.size() < 2) return problem;
  const std::wstring n = num_text_trim(last_node + 1);
  out.push_back(problem[0]);
  const auto feed = blank_fields(problem[1]);
  std::wstring feed_links;
  std::size_t feed_link_count = 0;
  for (std::size_t k = 4; k + 1 < feed.size(); k += 2, ++feed_link_count)
    feed_links += L" " + feed[k] + L" " + feed[k + 1];
  std::wstring head;
  for (std::size_t k = 0; k < 3 && k < feed.size(); ++k) head += (k ? L" " : L"") + feed[k];
  out.push_back(head + L" 1 " + n + L" 100");

  std::wstring value;
  for (std::size_t i = 2; i < problem.size(); ++i) {
    auto f = blank_fields(problem[i]);
    bool changed = false;
    if (f.size() > 1 && f[1] != L"p")
      for (std::size_t k = 4; k < f.size(); k += 2)
        if (num_value(f[k]) == 0 && starts_with_number(f[k])) f[k] = n, changed = true;
    if (changed) {
      std::wstring line;
      for (std::size_t k = 0; k < f.size(); ++k) line += (k ? L" " : L"") + f[k];
      out.push_back(line);
    } else {
      out.push_back(problem[i]);
    }
    value = f.size() > 2 ? f[2] : std::wstring();
  }
  out.push_back(n + L" v " + value + L" " + std::to_wstring(1 + feed_link_count) + L" 0 100" + feed_links);
  return out;
}

}  // namespace dorv::arb
