#include "standins/optimer/problem.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "text/number.h"

namespace dorv::optimer {

ProblemError::ProblemError(int node, int line, const std::wstring& text)
    : std::runtime_error("problem error"), node_(node), line_(line), text_(text) {}

namespace {

std::wstring num(long long v) { return std::to_wstring(v); }

// Walks the problem text line by line in one pass, without copying it:
// lines end at CR LF, LF or CR (a final line end starts no further line).
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}
  bool at_end() const { return pos_ >= text_.size(); }
  // The text from the start of the next line.
  std::string_view rest() const { return text_.substr(pos_); }
  // The next line, without its end; false when the text has no line left.
  bool next(std::string_view& line) {
    if (at_end()) return false;
    const char* first = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    const char* line_end = static_cast<const char*>(std::memchr(first, '\n', static_cast<std::size_t>(end - first)));
    if (!line_end) line_end = end;
    if (const void* cr = std::memchr(first, '\r', static_cast<std::size_t>(line_end - first)))
      line_end = static_cast<const char*>(cr);
    line = std::string_view(first, static_cast<std::size_t>(line_end - first));
    pass_line(line_end);
    return true;
  }
  // Passes the next line, whose end (its CR, LF or the end of the text) the
  // caller has found at line_end.
  void pass_line(const char* line_end) {
    ++number_;
    const char* const end = text_.data() + text_.size();
    const char* p = line_end;
    if (p != end) p += (*p == '\r' && p + 1 != end && p[1] == '\n') ? 2 : 1;
    pos_ = static_cast<std::size_t>(p - text_.data());
  }
  int number() const { return number_; }  // of the line last passed, from 1

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  int number_ = 0;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The fields of a line: separated by blanks and tabs.
void split_fields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t i = 0;
  const std::size_t n = line.size();
  for (;;) {
    while (i < n && is_blank(line[i])) ++i;
    if (i >= n) break;
    const std::size_t start = i;
    while (i < n && !is_blank(line[i])) ++i;
    fields.push_back(line.substr(start, i - start));
  }
}

// A field that is one finite decimal number and nothing else.
std::optional<double> real(std::string_view f) {
  double v = 0.0;
  if (f.empty() || scan_decimal(f, v) != f.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A field that is one whole number within the range of long long.
std::optional<long long> whole(std::string_view f) {
  long long v = 0;
  bool fits = true;
  if (f.empty() || scan_whole(f, v, &fits) != f.size() || !fits) return std::nullopt;
  return v;
}

const wchar_t* kind_word(NodeKind k) {
  return k == NodeKind::Sprinkler ? L"спринклер " : L"узел ";
}

// A node line read field by field with every check and its message: a line
// that the quick reading leaves alone.
void check_node_line(const std::vector<std::string_view>& f, int line_no, Problem& pr) {
  const int expected = static_cast<int>(pr.nodes.size());
  const auto number = whole(f[0]);
  if (!number)
    throw ProblemError(-1, line_no, L"строка " + num(line_no) + L" не начинается с номера узла");
  if (*number != expected)
    throw ProblemError(*number >= 0 && *number <= std::numeric_limits<int>::max() ? static_cast<int>(*number) : -1,
                       line_no,
                       L"узел " + num(*number) + L" стоит на месте узла " + num(expected) +
                           L" (узлы нумеруются по порядку от 0)");
  auto fail = [&](const std::wstring& what) -> ProblemError {
    return ProblemError(expected, line_no, L"узел " + num(expected) + what);
  };
  if (f.size() < 4) throw fail(L": строка узла неполна");
  ProblemNode node;
  if (f[1] == "p") node.kind = NodeKind::Fixed;
  else if (f[1] == "o") node.kind = NodeKind::Sprinkler;
  else if (f[1] == "v") node.kind = NodeKind::Junction;
  else throw fail(L": вид узла должен быть p, o или v");
  const auto head = real(f[2]);
  if (!head) throw fail(L": напор не число");
  node.head = *head;
  const auto count = whole(f[3]);
  if (!count || *count < 0) throw fail(L": число связей не целое неотрицательное");
  const std::size_t pairs = (f.size() - 4) / 2;
  if (pairs < static_cast<unsigned long long>(*count)) throw fail(L": не хватает данных о связях");
  if (f.size() > 4 + 2 * static_cast<std::size_t>(*count)) throw fail(L": лишние числа после связей");
  node.first_link = static_cast<int>(pr.links.size());
  node.link_count = static_cast<int>(*count);
  for (long long j = 0; j < *count; ++j) {
    const auto nb = whole(f[4 + 2 * j]);
    const auto k = real(f[5 + 2 * j]);
    if (!nb || !k) throw fail(L": связь " + num(j + 1) + L" не числа");
    if (!(*k > 0)) throw fail(L": проводимость связи с узлом " + num(*nb) + L" должна быть больше нуля");
    if (*nb == expected) throw fail(L" связан сам с собой");
    // A number beyond any node count names no node (and must not wrap
    // round to one).
    if (*nb < 0 || *nb > std::numeric_limits<int>::max())
      throw fail(L": нет узла " + num(*nb) + L", указанного как соседний");
    pr.links.push_back({static_cast<int>(*nb), *k});
  }
  pr.nodes.push_back(node);
}

enum class LineRead { Node, Blank, Unusual };

// The node lines as the writers lay them out, read straight into the
// problem: unsigned numbers, one of the three kinds, finite decimals, exactly
// as many pairs as the count says, positive conductances, no link to itself.
// Anything else (signs, a problem to report, a wrong field count) leaves the
// problem as it was and the line to check_node_line, which gives the same
// values, or the message.
// text runs from the start of the line to the end of the whole text; line_end
// gets where the line ends (its CR, LF or the end of the text).
LineRead read_node_line(std::string_view text, Problem& pr, const char*& line_end) {
  const char* p = text.data();
  const char* const end = p + text.size();
  auto skip_blanks = [&] {
    while (p != end && is_blank(*p)) ++p;
  };
  auto field_ends = [&] { return p == end || is_blank(*p) || *p == '\n' || *p == '\r'; };
  auto line_ends = [&] { return p == end || *p == '\n' || *p == '\r'; };
  // A whole number of at most nine digits, which always fits an int; -1 when
  // the field is not one. A tenth digit is never taken in: it is left
  // standing where the field should end, and the careful reading gets the
  // longer number.
  auto read_whole = [&]() -> int {
    skip_blanks();
    int v = 0, digits = 0;
    while (p != end && static_cast<unsigned>(*p - '0') < 10u && digits < 9) {
      v = v * 10 + (*p - '0');
      ++p;
      ++digits;
    }
    return digits > 0 && field_ends() ? v : -1;
  };
  auto read_real = [&](double& v) {
    skip_blanks();
    const std::size_t length = scan_decimal(std::string_view(p, static_cast<std::size_t>(end - p)), v);
    p += length;
    return length > 0 && field_ends() && std::isfinite(v);
  };
  skip_blanks();
  line_end = p;
  if (line_ends()) return LineRead::Blank;
  const int expected = static_cast<int>(pr.nodes.size());
  if (read_whole() != expected) return LineRead::Unusual;
  skip_blanks();
  ProblemNode node;
  if (line_ends()) return LineRead::Unusual;
  const char kind = *p++;
  if (!field_ends()) return LineRead::Unusual;
  if (kind == 'p') node.kind = NodeKind::Fixed;
  else if (kind == 'o') node.kind = NodeKind::Sprinkler;
  else if (kind == 'v') node.kind = NodeKind::Junction;
  else return LineRead::Unusual;
  if (!read_real(node.head)) return LineRead::Unusual;
  const int count = read_whole();
  if (count < 0) return LineRead::Unusual;
  node.first_link = static_cast<int>(pr.links.size());
  node.link_count = count;
  for (int j = 0; j < count; ++j) {
    ProblemLink link;
    link.neighbour = read_whole();
    if (link.neighbour < 0 || link.neighbour == expected || !read_real(link.conductance) || !(link.conductance > 0)) {
      pr.links.resize(static_cast<std::size_t>(node.first_link));
      return LineRead::Unusual;
    }
    pr.links.push_back(link);
  }
  skip_blanks();
  line_end = p;
  if (!line_ends()) {
    pr.links.resize(static_cast<std::size_t>(node.first_link));
    return LineRead::Unusual;
  }
  pr.nodes.push_back(node);
  return LineRead::Node;
}

}  // namespace

Problem parse_problem(std::string_view bytes) {
  if (bytes.empty()) throw ProblemError(-1, 0, L"файл задачи пуст");
  Problem pr;
  std::vector<int> line_of;
  // Room for what the writers' layout holds, so that nothing is moved as it
  // grows: a node line takes at least eight characters, a link at least
  // sixteen ("%2d  %11.8lf  "). A denser text only grows the lists.
  pr.nodes.reserve(bytes.size() / 8 + 1);
  line_of.reserve(bytes.size() / 8 + 1);
  pr.links.reserve(bytes.size() / 16 + 1);
  LineCursor lines(bytes);
  std::string_view line;
  std::vector<std::string_view> f;
  lines.next(line);  // the header
  while (!lines.at_end()) {
    const char* line_end = nullptr;
    const LineRead read = read_node_line(lines.rest(), pr, line_end);
    if (read == LineRead::Blank) break;  // the first blank line ends the network
    if (read == LineRead::Node) {
      lines.pass_line(line_end);
    } else {
      lines.next(line);
      split_fields(line, f);
      check_node_line(f, lines.number(), pr);
    }
    line_of.push_back(lines.number());
  }
  auto& nodes = pr.nodes;
  const int n = static_cast<int>(nodes.size());
  if (n == 0) throw ProblemError(-1, 0, L"в файле задачи нет узлов");

  // Neighbours exist.
  for (int i = 0; i < n; ++i)
    for (const auto& l : pr.links_of(i))
      if (l.neighbour >= n)
        throw ProblemError(i, line_of[i],
                           L"узел " + num(i) + L": нет узла " + num(l.neighbour) + L", указанного как соседний");

  // Every link stands on both ends with one conductance: the listings made at
  // the lower and at the upper end, gathered by their lower end and sorted
  // there, must pair off. The first that does not is named.
  struct Listing {
    int upper;
    double k;
    bool operator<(const Listing& o) const { return upper != o.upper ? upper < o.upper : k < o.k; }
  };
  std::vector<int> lower_start(n + 1, 0), upper_start(n + 1, 0);
  for (int i = 0; i < n; ++i)
    for (const auto& l : pr.links_of(i)) ++(i < l.neighbour ? lower_start : upper_start)[std::min(i, l.neighbour) + 1];
  for (int i = 0; i < n; ++i) {
    lower_start[i + 1] += lower_start[i];
    upper_start[i + 1] += upper_start[i];
  }
  std::vector<Listing> from_lower(lower_start[n]), from_upper(upper_start[n]);
  {
    std::vector<int> fill_lower(lower_start.begin(), lower_start.end() - 1);
    std::vector<int> fill_upper(upper_start.begin(), upper_start.end() - 1);
    for (int i = 0; i < n; ++i)
      for (const auto& l : pr.links_of(i)) {
        if (i < l.neighbour) from_lower[fill_lower[i]++] = {l.neighbour, l.conductance};
        else from_upper[fill_upper[l.neighbour]++] = {i, l.conductance};
      }
  }
  auto same = [](const Listing& a, const Listing& b) {
    return a.upper == b.upper && std::abs(a.k - b.k) <= 1e-9 * std::max(a.k, b.k);
  };
  for (int i = 0; i < n; ++i) {
    const auto lo_first = from_lower.begin() + lower_start[i], lo_last = from_lower.begin() + lower_start[i + 1];
    const auto up_first = from_upper.begin() + upper_start[i], up_last = from_upper.begin() + upper_start[i + 1];
    std::sort(lo_first, lo_last);
    std::sort(up_first, up_last);
    for (std::ptrdiff_t p = 0;; ++p) {
      const bool lo = p < lo_last - lo_first, up = p < up_last - up_first;
      if (!lo && !up) break;
      if (lo && up && same(lo_first[p], up_first[p])) continue;
      // Name the listing that comes first in order: it has no partner.
      const bool blame_lower = lo && (!up || lo_first[p] < up_first[p]);
      const int upper = blame_lower ? lo_first[p].upper : up_first[p].upper;
      const int owner = blame_lower ? i : upper, other = blame_lower ? upper : i;
      throw ProblemError(owner, line_of[owner],
                         L"связь узла " + num(owner) + L" с узлом " + num(other) +
                             L" не указана в строке узла " + num(other) + L" с той же проводимостью");
    }
  }

  // Kinds.
  if (nodes[0].kind != NodeKind::Fixed)
    throw ProblemError(0, line_of[0], L"узел 0 (питание) должен быть узлом заданного напора (p)");
  if (nodes[0].link_count == 0) throw ProblemError(0, line_of[0], L"узел 0 (питание) не имеет связей");
  int sprinklers = 0;
  for (int i = 0; i < n; ++i) {
    if (nodes[i].kind != NodeKind::Sprinkler) continue;
    ++sprinklers;
    const auto links = pr.links_of(i);
    if (links.empty() || links[0].neighbour == 0 || nodes[links[0].neighbour].kind != NodeKind::Fixed)
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
      for (const auto& l : pr.links_of(v)) {
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
  // Reaching every node from the feed already reaches every node from some
  // node of given head.
  if (std::find(from_feed.begin(), from_feed.end(), 0) == from_feed.end()) return;
  const auto from_fixed = reach(true);
  for (int i = 0; i < n; ++i)
    if (!from_fixed[i])
      throw ProblemError(i, 0,
                         std::wstring(kind_word(nodes[i].kind)) + num(i) +
                             L" не связан ни с одним узлом заданного напора");
}

}  // namespace dorv::optimer
