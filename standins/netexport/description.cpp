#include "standins/netexport/description.h"

#include <cmath>
#include <map>

#include "standins/netexport/export.h"
#include "text/number.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::netexport {

DescriptionError::DescriptionError(int line, std::wstring text)
    : std::runtime_error("description error"), line_(line), text_(std::move(text)) {}

namespace {

std::vector<std::wstring> words(std::wstring_view line) {
  std::vector<std::wstring> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    const std::size_t s = i;
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    if (i > s) out.emplace_back(line.substr(s, i - s));
  }
  return out;
}

// The text after the keyword, blanks trimmed.
std::wstring rest_of(std::wstring_view line, std::wstring_view keyword) {
  const std::size_t at = line.find(keyword);
  std::wstring rest(line.substr(at + keyword.size()));
  for (wchar_t& c : rest)
    if (c == L'\t') c = L' ';
  return trim(rest);
}

// Refuses a field that is not a decimal number (no exponent), or whose
// value is beyond the range of a double: a number of hundreds of digits
// would reach the export's files as an infinity, which no reader takes.
void check_number(int ln, const std::wstring& text, const std::wstring& not_a_number) {
  double v = 0;
  if (text.empty() || scan_decimal(text, v, false) != text.size()) throw DescriptionError(ln, not_a_number);
  if (!std::isfinite(v)) throw DescriptionError(ln, L"«" + text + L"» — слишком большое число");
}

void check_number(int ln, const std::wstring& text) { check_number(ln, text, L"«" + text + L"» не число"); }

}  // namespace

Description parse_description(const std::vector<std::wstring>& lines) {
  Description d;
  std::map<std::wstring, int> node_index;
  std::vector<std::pair<int, std::vector<std::wstring>>> pipes, outlets;
  std::optional<std::pair<int, std::wstring>> feed;
  std::optional<std::pair<int, std::vector<std::wstring>>> control;

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int ln = static_cast<int>(i) + 1;
    const std::wstring line = trim(lines[i]);
    if (line.empty() || line[0] == L'#') continue;
    const auto w = words(line);
    const std::wstring& key = w[0];
    auto numbers = [&](std::size_t count, std::wstring_view what) {
      if (w.size() != count + 1) throw DescriptionError(ln, L"после «" + key + L"» нужно: " + std::wstring(what));
      for (std::size_t k = 1; k < w.size(); ++k) check_number(ln, w[k]);
    };
    if (key == L"contract") {
      d.contract = rest_of(line, key);
    } else if (key == L"object") {
      d.object = rest_of(line, key);
    } else if (key == L"standard") {
      d.standard = rest_of(line, key);
    } else if (key == L"standard2") {
      d.second_standard = rest_of(line, key);
    } else if (key == L"valve") {
      d.valve = rest_of(line, key);
    } else if (key == L"inlet-head") {
      numbers(1, L"напор на входе, м");
      d.inlet_head = w[1];
    } else if (key == L"main" || key == L"rack") {
      numbers(3, L"интенсивность, площадь, К-фактор");
      auto [i1, s1, k1] = key == L"main" ? std::tie(d.main_intensity, d.main_area, d.main_k)
                                          : std::tie(d.rack_intensity, d.rack_area, d.rack_k);
      i1 = w[1];
      s1 = w[2];
      k1 = w[3];
    } else if (key == L"deluge" || key == L"cock") {
      numbers(2, L"расход, свободный напор");
      (key == L"deluge" ? d.deluge_flow : d.cock_flow) = w[1];
      (key == L"deluge" ? d.deluge_head : d.cock_head) = w[2];
    } else if (key == L"node") {
      if (w.size() != 5) throw DescriptionError(ln, L"после «node» нужно: номер, x, y, отметка");
      for (std::size_t k = 1; k < 5; ++k) check_number(ln, w[k]);
      if (node_index.count(w[1])) throw DescriptionError(ln, L"узел " + w[1] + L" описан дважды");
      node_index[w[1]] = static_cast<int>(d.nodes.size());
      d.nodes.push_back({w[1], num_value(w[2]), num_value(w[3]), num_value(w[4])});
    } else if (key == L"pipe") {
      if (w.size() != 5) throw DescriptionError(ln, L"после «pipe» нужно: узел, узел, длина, диаметр");
      pipes.push_back({ln, w});
    } else if (key == L"outlet") {
      if (w.size() != 3) throw DescriptionError(ln, L"после «outlet» нужно: узел, вид (main, rack, deluge, cock)");
      outlets.push_back({ln, w});
    } else if (key == L"feed") {
      if (w.size() != 2) throw DescriptionError(ln, L"после «feed» нужен номер узла");
      feed = {ln, w[1]};
    } else if (key == L"control") {
      if (w.size() != 3) throw DescriptionError(ln, L"после «control» нужны два узла участка");
      control = {ln, w};
    } else {
      throw DescriptionError(ln, L"неизвестное слово «" + key + L"»");
    }
  }

  auto node_of = [&](int ln, const std::wstring& number) {
    const auto it = node_index.find(number);
    if (it == node_index.end()) throw DescriptionError(ln, L"узел " + number + L" не описан");
    return it->second;
  };
  for (const auto& [ln, w] : pipes) {
    Pipe p{node_of(ln, w[1]), node_of(ln, w[2]), w[3], w[4]};
    if (p.a == p.b) throw DescriptionError(ln, L"труба соединяет узел " + w[1] + L" с самим собой");
    const std::wstring not_positive = L"длина «" + p.length + L"» должна быть положительным числом";
    check_number(ln, p.length, not_positive);
    const double length = num_value(p.length);
    if (length <= 0) throw DescriptionError(ln, not_positive);
    // The network file holds a length to eight decimals: a shorter pipe
    // would be written as one of no length at all.
    if (!(network_file_value(length) > 0))
      throw DescriptionError(ln, L"длина «" + p.length + L"»: меньше 0.00000001 м, в файле сети было бы 0");
    std::wstring dn = p.diameter;
    if (!dn.empty() && dn.back() == L'*') dn.pop_back();
    check_number(ln, dn, L"диаметр «" + p.diameter + L"» не число");
    for (const Pipe& q : d.pipes)
      if ((q.a == p.a && q.b == p.b) || (q.a == p.b && q.b == p.a))
        throw DescriptionError(ln, L"узлы " + w[1] + L" и " + w[2] + L" уже соединены трубой");
    d.pipes.push_back(p);
  }
  for (const auto& [ln, w] : outlets) {
    static const std::map<std::wstring, OutletKind> kinds = {
        {L"main", OutletKind::Main}, {L"rack", OutletKind::Rack}, {L"deluge", OutletKind::Deluge}, {L"cock", OutletKind::FireCock}};
    const auto k = kinds.find(w[2]);
    if (k == kinds.end()) throw DescriptionError(ln, L"вид оросителя «" + w[2] + L"»: main, rack, deluge или cock");
    const int node = node_of(ln, w[1]);
    for (const Outlet& o : d.outlets)
      if (o.node == node) throw DescriptionError(ln, L"в узле " + w[1] + L" уже есть ороситель");
    d.outlets.push_back({node, k->second});
  }
  if (!feed) throw DescriptionError(0, L"не указан узел питания (feed)");
  d.feed = node_of(feed->first, feed->second);
  for (const Outlet& o : d.outlets)
    if (o.node == d.feed) throw DescriptionError(feed->first, L"узел питания не может быть оросителем");
  if (d.outlets.empty()) throw DescriptionError(0, L"в сети нет ни одного оросителя (outlet)");
  if (control) {
    const int a = node_of(control->first, control->second[1]);
    const int b = node_of(control->first, control->second[2]);
    bool found = false;
    for (const Pipe& p : d.pipes) found = found || (p.a == a && p.b == b) || (p.a == b && p.b == a);
    if (!found) throw DescriptionError(control->first, L"узлы узла управления не соединены трубой");
    d.control_unit = {a, b};
  }
  return d;
}

}  // namespace dorv::netexport
