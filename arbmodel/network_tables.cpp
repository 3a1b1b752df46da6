#include "arbmodel/network_tables.h"

#include <cmath>

#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

const std::vector<std::wstring> kText4Header = {
    L"         Данные участков трубопроводов",
    L"    --------------------------------------",
    L"    Участок   Длина,  Усл.диа-  Разность",
    L"                м     метр,мм   высот,м",
    L"    --------------------------------------",
};

OutletList read_outlet_lists(const std::vector<std::wstring>& list_lines) {
  OutletList o;
  const auto all = blank_fields(list_lines.empty() ? std::wstring() : list_lines[0]);
  const std::size_t size = all.empty() ? 1 : all.size();
  o.list_size = static_cast<double>(size);
  o.table = make_table(size, 4);
  for (std::size_t k = 1; k < all.size(); ++k) o.table[k][1] = Cell::of_text(trim(all[k]));
  const wchar_t* letters[] = {L"д", L"п", L"с"};
  for (std::size_t list = 1; list <= 3; ++list) {
    const std::wstring line = list < list_lines.size() ? list_lines[list] : std::wstring();
    std::wstring compact = line;
    std::erase(compact, L' ');
    if (num_value(compact) <= 0) continue;
    const auto f = blank_fields(line);
    for (std::size_t j = 1; j < f.size(); ++j)
      for (std::size_t k = 1; k < size; ++k)
        if (num_value(o.table[k][1].text) == num_value(f[j])) o.table[k][1].text += letters[list - 1];
  }
  o.groups = {false, false, false, false};
  for (std::size_t k = 1; k < size; ++k) {
    const std::wstring& t = o.table[k][1].text;
    const bool d = contains(t, L"д"), p = contains(t, L"п"), c = contains(t, L"с");
    if (!d && !p && !c) o.groups.main = true;
    o.groups.deluge = o.groups.deluge || d;
    o.groups.fire_cock = o.groups.fire_cock || p;
    o.groups.rack = o.groups.rack || c;
  }
  return o;
}

Table read_node_table(const std::vector<std::wstring>& lines) {
  std::vector<std::vector<std::wstring>> rows;
  bool in = false;
  for (const auto& line : lines) {
    if (in && contains(line, L"#####")) break;
    if (in) rows.push_back(blank_fields(line));
    if (line == L"#####3") in = true;
  }
  std::size_t columns = 17;
  for (const auto& r : rows) columns = std::max(columns, r.size());
  Table t = make_table(rows.size(), columns);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 1; c <= columns; ++c) t[r + 1][c] = Cell::number(0);
    for (std::size_t f = 0; f < rows[r].size(); ++f)
      t[r + 1][f + 1] = contains(rows[r][f], L"*") ? Cell::of_text(rows[r][f]) : Cell::number(num_value(rows[r][f]));
  }
  return t;
}

namespace {

// A number in its shortest form with "0" before a leading point.
std::wstring short_number(double v) { return zero_before_point(num_text_trim(v)); }

std::wstring pad(long long blanks, long long least) { return std::wstring(static_cast<std::size_t>(std::max(blanks, least)), L' '); }

}  // namespace

std::wstring text4_row(const std::wstring& name, const Cell& length, const Cell& diameter, double height) {
  const std::size_t dash = name.find(L'-');
  const long long lead1 = dash == std::wstring::npos ? static_cast<long long>(name.size()) : static_cast<long long>(dash) + 1;
  const long long carry1 = dash == std::wstring::npos ? 0 : static_cast<long long>(name.size() - dash - 1);
  std::wstring row = pad(7 - lead1, 0) + name;
  const std::wstring len = short_number(length.number_value());
  row += pad(9 - chars_before_point(len) - carry1, 1) + len;
  const long long carry2 = chars_from_point(len);
  const std::wstring dn = trim(diameter.str());
  row += pad(10 - static_cast<long long>(dn.size()) - carry2, 1) + dn;
  const long long carry3 = chars_from_point(dn);
  const std::wstring dz = short_number(round_half_even(height, 2));
  row += pad(9 - chars_before_point(dz) - carry3, 1) + dz;
  return row;
}

Sections build_sections(const Table& nodes) {
  Sections s;
  const std::size_t count = nodes.empty() ? 0 : nodes.size() - 1;
  auto pipes_of = [&](std::size_t k) { return static_cast<std::size_t>(std::max(0.0, nodes[k][4].number_value())); };
  s.text4 = kText4Header;
  std::vector<std::vector<Cell>> rows;
  // Every node is checked, the last one too.
  for (std::size_t k = 1; k <= count; ++k) {
    if (pipes_of(k) > 4) {
      s.refused_node = nodes[k][1].number_value();
      break;
    }
    for (std::size_t j = 1; j <= pipes_of(k); ++j) {
      const std::size_t c = 5 + 3 * (j - 1);
      const double b = nodes[k][c].number_value();
      if (b <= static_cast<double>(k) || b > static_cast<double>(count)) continue;
      const std::size_t bi = static_cast<std::size_t>(b);
      const double zk = nodes[k][3].number_value(), zb = nodes[bi][3].number_value();
      std::vector<Cell> row(10, Cell::of_text(L""));
      row[1] = Cell::of_text(zk <= zb ? L" " + whole_text(static_cast<long long>(k)) + L"-" + num_text_trim(b)
                                      : L" " + num_text_trim(b) + L"-" + whole_text(static_cast<long long>(k)));
      row[2] = nodes[k][c + 1];
      row[3] = nodes[k][c + 2];
      row[4] = Cell::number(std::fabs(zb - zk));
      rows.push_back(std::move(row));
    }
  }
  s.table = make_table(rows.size(), 9);
  for (std::size_t i = 0; i < rows.size(); ++i) s.table[i + 1] = rows[i];
  if (!s.refused_node)
    for (std::size_t i = 1; i < s.table.size(); ++i)
      s.text4.push_back(text4_row(s.table[i][1].text, s.table[i][2], s.table[i][3], s.table[i][4].value));
  return s;
}

}  // namespace dorv::arb
