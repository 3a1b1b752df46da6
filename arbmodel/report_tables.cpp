#include "arbmodel/report_tables.h"

#include <algorithm>

#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

std::wstring blanks(long long n) { return std::wstring(static_cast<std::size_t>(std::max(0LL, n)), L' '); }
long long length(const std::wstring& t) { return static_cast<long long>(t.size()); }

// A head or flow cell of the outlet table: the point in the cell's fifth column.
std::wstring outlet_cell(std::wstring t, bool head) {
  const double v = num_value(t);
  if (v > 0 && v < 1) t = L"0" + ltrim(t);
  if (t.find(L'.') == std::wstring::npos) t += L".0";
  const long long p = static_cast<long long>(t.find(L'.')) + 1;
  const long long d = length(t) - p;
  return head ? blanks(std::max(5 - p, 1LL)) + t + blanks(std::max(3 - d, 1LL)) : blanks(5 - p) + t + blanks(3 - d);
}

std::wstring rule(std::size_t outlets) {
  std::wstring r = L"        ----------";
  for (std::size_t i = 0; i < outlets; ++i) r += L"--------";
  return r;
}

}  // namespace

std::wstring zero_led(double v) {
  const std::wstring t = num_text_trim(v);
  return !t.empty() && t[0] == L'.' ? L"0" + t : t;
}

std::vector<std::wstring> outlet_table_lines(const Form4State& s) {
  std::vector<std::wstring> out;
  std::vector<std::size_t> rows;
  for (std::size_t k = 1; k < s.imported.OutletTable.size() && static_cast<double>(k) < s.imported.OutletListSize; ++k) rows.push_back(k);
  for (std::size_t first = 0; first < rows.size(); first += 7) {
    const std::size_t count = std::min<std::size_t>(7, rows.size() - first);
    if (first == 0) out.push_back(rule(count));
    std::wstring nodes = L"          N узла |   ", heads = L"          Напор  |", flows = L"          Расход |";
    for (std::size_t i = first; i < first + count; ++i) {
      const auto& row = s.imported.OutletTable[rows[i]];
      const std::wstring node = row[1].str();
      nodes += node + blanks(8 - length(node));
      heads += outlet_cell(row[2].str(), true);
      flows += outlet_cell(row[3].str(), false);
    }
    out.push_back(nodes);
    out.push_back(rule(count));
    out.push_back(heads);
    out.push_back(flows);
    out.push_back(L"^" + rule(count).substr(1));
  }
  return out;
}

std::vector<std::wstring> section_row_lines(Form4State& s, int control_row) {
  std::vector<std::wstring> out;
  for (std::size_t k = 1; k < s.imported.SectionTable.size(); ++k) {
    auto& row = s.imported.SectionTable[k];
    const std::wstring name = row[1].str();
    const std::size_t dash = name.find(L'-');
    std::wstring line = blanks(12 - (dash == std::wstring::npos ? length(name) : static_cast<long long>(dash) + 1)) + name;
    const long long after_dash = dash == std::wstring::npos ? 0 : length(name) - static_cast<long long>(dash) - 1;
    std::wstring len = row[2].is_text ? row[2].text : zero_led(row[2].value);
    if (!row[2].is_text && control_row == static_cast<int>(k)) {
      len += L"**";
      row[2] = Cell::of_text(len);
    }
    line += blanks(std::max(8 - chars_before_point(len) - after_dash, 1LL)) + len;
    const std::wstring dn = trim(row[3].str());
    line += blanks(std::max(9 - length(dn) - chars_from_point(len), 1LL)) + dn;
    std::wstring previous = dn;
    const std::pair<std::size_t, long long> cells[] = {{4, 9}, {5, 8}, {6, 10}, {7, 9}, {9, 9}};
    for (const auto& [column, width] : cells) {
      const std::wstring t = zero_led(round_half_even(row[column].number_value(), 2));
      line += blanks(std::max(width - chars_before_point(t) - chars_from_point(previous), 1LL)) + t;
      previous = t;
    }
    out.push_back(line);
  }
  return out;
}

std::vector<std::wstring> total_rows(const Form4State& s, bool second, double& volume) {
  std::vector<std::wstring> out;
  const PipeTable& table = second ? s.imported.SecondPipeTable : s.imported.MainPipeTable;
  for (const PipeRow& pipe : table.rows) {
    double total = 0;
    const double d = pipe.outer - 2 * pipe.wall;
    for (std::size_t k = 1; k < s.imported.SectionTable.size(); ++k) {
      const auto& row = s.imported.SectionTable[k];
      const std::wstring dn = row[3].str(), len = row[2].str();
      if (num_value(dn) != pipe.nominal || contains(dn, L"*") != second) continue;
      if (!second && contains(len, L"**")) continue;
      const double l = row[2].number_value();
      total += l;
      volume += 3.1416 * 0.25 * d * d * l * 1e-6;
    }
    if (!(total > 0)) continue;
    const std::wstring dn = num_text(pipe.nominal);
    const std::wstring l = zero_led(round_half_even(total, 1));
    out.push_back(blanks(26 - length(dn)) + dn + blanks(24 - chars_before_point(l)) + l);
  }
  return out;
}

std::vector<std::wstring> section_table_heads() {
  return {L"        Участок  Длина, Усл.диа-  Перепад  Напор в   Напор в  Расход, Скорость",
          L"                   м    метр,мм   высот,м  начале,м  конце,м    л/с   воды,м/с"};
}

std::wstring volume_text(double volume) {
  const double v = round_half_even(volume, 2);
  return v < 1 ? zero_led(v) : num_text(v);
}

}  // namespace dorv::arb
