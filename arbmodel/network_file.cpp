#include "arbmodel/network_file.h"

#include "arbmodel/cells.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

ConvertedExport convert_export(const std::vector<std::wstring>& lines) {
  ConvertedExport out;
  std::size_t first = 0;
  if (!lines.empty() && starts_with(lines[0], L"#####")) {
    std::wstring version = lines.size() > 1 ? lines[1] : std::wstring();
    std::erase(version, L'.');
    out.data_version = num_value(version);
    first = 3;
  }
  if (first < lines.size()) out.body.assign(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end());
  return out;
}

namespace {

bool is_whole(const std::wstring& f) {
  return starts_with_number(f) && num_text_trim(num_value(f)) == (f[0] == L'+' ? f.substr(1) : f);
}

std::wstring at_line(std::size_t i) { return L" (строка " + std::to_wstring(i + 1) + L")"; }

}  // namespace

std::wstring check_network_data(const std::vector<std::wstring>& lines) {
  if (lines.empty()) return L"файл пуст";
  if (lines.size() <= kHeadLines || trim(lines[kHeadLines]) != L"#####1")
    return L"нет 15 строк исходных данных и строки #####1 за ними";
  std::size_t i = kHeadLines + 1;
  std::size_t network_lines = 0;
  for (; i < lines.size() && !contains(lines[i], L"#####2"); ++i, ++network_lines) {
    if (network_lines == 0) continue;  // the solver's header line
    const auto f = blank_fields(lines[i]);
    if (f.empty()) return L"пустая строка в описании расчетной сети" + at_line(i);
    if (f.size() < 4 || !is_whole(f[0]) || !is_whole(f[3]) || num_value(f[3]) < 0)
      return L"неполная строка узла расчетной сети" + at_line(i);
    if (f.size() < 4 + 2 * static_cast<std::size_t>(num_value(f[3])))
      return L"у узла " + f[0] + L" расчетной сети не хватает связей" + at_line(i);
  }
  if (i == lines.size()) return L"нет строки #####2";
  if (network_lines < 2) return L"в расчетной сети нет узлов";
  const std::size_t lists = i + 1;
  if (lists + 4 >= lines.size() || trim(lines[lists + 4]) != L"#####3")
    return L"после строки #####2 нет четырех перечней узлов и строки #####3";
  std::size_t nodes_end = lists + 5;
  while (nodes_end < lines.size() && trim(lines[nodes_end]) != L"#####4") ++nodes_end;
  if (nodes_end == lines.size()) return L"нет строки #####4";
  const std::size_t node_count = nodes_end - (lists + 5);
  if (node_count == 0) return L"нет ни одного узла схемы";
  for (std::size_t r = lists + 5; r < nodes_end; ++r) {
    const auto f = blank_fields(lines[r]);
    if (f.size() < 4) return L"неполная строка узла схемы" + at_line(r);
    const double pipes = num_value(f[3]);
    if (pipes < 0 || pipes != static_cast<long long>(pipes)) return L"неверное число труб узла " + f[0] + at_line(r);
    if (f.size() < 4 + 3 * static_cast<std::size_t>(pipes))
      return L"у узла " + f[0] + L" не хватает данных труб" + at_line(r);
    for (std::size_t j = 0; j < static_cast<std::size_t>(pipes); ++j) {
      const double other = num_value(f[4 + 3 * j]);
      if (other < 1 || other > static_cast<double>(node_count) || other != static_cast<long long>(other))
        return L"труба узла " + f[0] + L" ведет к несуществующему узлу" + at_line(r);
    }
  }
  const auto outlets = blank_fields(lines[lists]);
  for (std::size_t k = 1; k < outlets.size(); ++k) {
    const double row = num_value(outlets[k]);
    if (row < 1 || row > static_cast<double>(node_count))
      return L"ороситель " + outlets[k] + L" не является узлом схемы" + at_line(lists);
  }
  return L"";
}

std::wstring check_record_without_results(const std::vector<std::wstring>& lines, bool ends_with_line_end) {
  if (lines.empty()) return L"файл пуст";
  if (!ends_with_line_end) return L"файл оборван";
  std::vector<std::wstring> whole = lines;
  whole.emplace_back(L"#####4");
  return check_network_data(whole);
}

ControlSection read_export_results(const std::vector<std::wstring>& lines) {
  ControlSection c;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != L"#####4") continue;
    auto take = [&](std::size_t k) {
      const std::wstring v = k < lines.size() ? lines[k] : std::wstring();
      return v == L"nil" ? std::wstring() : v;
    };
    c.start = take(i + 1);
    c.end = take(i + 2);
  }
  return c;
}

std::optional<StoredResults> read_stored_results(const std::vector<std::wstring>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!contains(lines[i], L"#####4")) continue;
    StoredResults out;
    out.lines.resize(5);
    for (std::size_t k = 0; k < 5 && i + 1 + k < lines.size(); ++k) out.lines[k] = lines[i + 1 + k], ++out.present;
    return out;
  }
  return std::nullopt;
}

std::vector<std::wstring> upgrade_layout(const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> out;
  std::size_t i = 0;
  for (; i < lines.size() && i < 13; ++i) {
    std::wstring line = lines[i];
    if (contains(line, L"ГОСТ")) {
      const std::size_t at = line.find(L"ГОСТ 10704-76");
      if (at != std::wstring::npos) line.replace(at, 13, L"ГОСТ 10704-91");
    }
    if (trim(line) == L"#####1") out.insert(out.end(), 3, std::wstring());
    out.push_back(line);
  }
  for (; i < lines.size(); ++i) {
    out.push_back(lines[i]);
    if (trim(lines[i]) != L"#####2") continue;
    for (std::size_t k = 1; k <= 3 && i + 1 < lines.size(); ++k) out.push_back(lines[++i]);
    if (i + 1 < lines.size() && trim(lines[i + 1]) == L"#####3") out.emplace_back();
  }
  return out;
}

}  // namespace dorv::arb
