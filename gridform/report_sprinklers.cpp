// The report's sprinkler table: for each branch line of the fire square a
// head line and a flow line, one 8-character cell per sprinkler under the
// sprinkler numbers. The scheme finds the operating sprinklers again in
// this table, so its columns are fixed: the number line holds "|" and the
// numbers, each head line its row number in the 5 characters from 8 before
// that "|", and a row's separator begins with "#" after the last row.
#include <cmath>

#include "gridform/gridreport.h"
#include "gridform/reportnumbers.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

// A head or flow cell: blank for 0, "0.64" for a value below 1.
std::wstring cell(double v) {
  if (v == 0) return std::wstring(8, L' ');
  return right_aligned(zero_led_or_number(v), 8);
}

}  // namespace

void write_sprinkler_table(ReportLines& out, const GridResultTables& t, double effective_k) {
  out.push_back(L"*        Напоры и расходы в оросителях (патрубках оросителей), входящих");
  out.push_back(L"1        в наиболее неблагоприятно расположенный квадрат пожара решетки");

  const std::vector<double> first = t.grid_lines.empty() ? std::vector<double>{} : numbers_of(t.grid_lines[0]);
  std::wstring numbers;
  for (std::size_t k = 0; k < first.size(); ++k) numbers += right_aligned(num_text(t.shift + static_cast<double>(k)), 8);
  const std::size_t w = first.size();
  const std::wstring indent(w < 4 ? 18 : w == 4 ? 14 : w == 5 ? 10 : 6, L' ');
  std::wstring groups;
  for (std::size_t k = 3; k < w; ++k) groups += L"--------";
  const std::wstring rule = indent + std::wstring(38, L'-') + groups;
  out.push_back(rule);
  out.push_back(indent + L"  Номер   |  Номера оросителей в рядке");
  out.push_back(indent + L"  рядка   |---------------------------" + groups);
  out.push_back(indent + L"          |" + (numbers.empty() ? numbers : numbers.substr(1)));
  out.push_back(rule);

  // A line of zeros or an empty line closes the table; nothing after it is a row.
  double row = t.first_row;
  double row_sum = 1;
  for (std::size_t k = 0; k < t.grid_lines.size() && row_sum != 0; ++k) {
    const std::wstring& cur = t.grid_lines[k];
    if (trim(cur).empty()) continue;
    std::wstring heads = indent + L" " + num_text(row) + L"  Напор|";
    std::wstring flows = indent + L"     Расх.|";
    row += 1;
    for (double h : numbers_of(cur)) {
      // A negative head has no flow; it shows without one.
      const double q = h > 0 ? round_half_up(effective_k * std::sqrt(h), 2) : 0;
      heads += h < 0 ? right_aligned(num_text(h), 8) : cell(h);
      flows += cell(q);
    }
    row_sum = 0;
    if (k + 1 < t.grid_lines.size())
      for (double h : numbers_of(t.grid_lines[k + 1])) row_sum += h;
    out.push_back(heads);
    out.push_back(flows);
    out.push_back((row_sum > 0 ? L"^" : L"#") + rule.substr(1));
  }
}

}  // namespace dorv::grid
