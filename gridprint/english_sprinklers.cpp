// The English sprinkler table: the heads at the operating sprinklers of the
// fire square, as pressures, and the flows they give, one pair of lines per
// branch line.
#include <cmath>
#include <numeric>

#include "gridform/reportnumbers.h"
#include "gridprint/english_grid_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::gridprint {
namespace {

bool us(ReportUnits units) { return units == ReportUnits::US; }

std::wstring dashes(std::size_t n) { return std::wstring(n, L'-'); }

// A cell of 8 characters: empty for 0, else the value right-aligned, with a
// "0" before the point below 1 and ".00" behind a whole number.
std::wstring cell(double v) {
  if (v == 0) return std::wstring(8, L' ');
  std::wstring text = v > 0 && v < 1 ? L"0" + num_text_trim(v) : num_text(v);
  if (text.find(L'.') == std::wstring::npos) text += L".00";
  return grid::right_aligned(text, 8);
}

double sum(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

}  // namespace

void write_english_sprinkler_table(Lines& out, const grid::GridResultTables& tables, double sprinkler_k,
                                   ReportUnits units, ScratchNumbers& scratch) {
  out.push_back(L"*        Pressures and flows in sprinklers (sprinkler's tubes)");
  out.push_back(L"1        which form most adversely located square of a fire");

  // The first row of heads gives the columns: one per operating sprinkler.
  const std::vector<std::wstring>& rows = tables.grid_lines;
  const std::size_t columns = rows.empty() ? 0 : scratch.through_a(rows.front()).size();
  std::wstring numbers;
  for (std::size_t c = 0; c < columns; ++c)
    numbers += grid::right_aligned(num_text_trim(tables.shift + static_cast<double>(c)), c == 0 ? 7 : 8);
  const std::size_t indent = columns < 4 ? 16 : columns == 4 ? 12 : columns == 5 ? 8 : 4;
  const std::wstring lead(indent, L' ');
  const std::size_t extra = columns > 3 ? 8 * (columns - 3) : 0;
  const std::wstring rule = lead + dashes(46 + extra);
  out.push_back(rule);
  out.push_back(lead + L"  Branch line     |  Sprinkler number in the branch line");
  out.push_back(lead + L"  number          |" + dashes(27 + extra));
  out.push_back(lead + L"                  |" + (numbers.empty() ? numbers : numbers.substr(1)));
  out.push_back(rule);

  // Rows up to the first one that is empty or holds no head; the line after
  // the last row of heads is the empty line before the shift line.
  double branch_line = tables.first_row;
  bool previous_nonzero = true;
  for (std::size_t i = 0; i < rows.size() && previous_nonzero; ++i) {
    const std::wstring& row = rows[i];
    if (trim(row).empty()) break;
    const std::wstring following = i + 1 < rows.size() ? rows[i + 1] : std::wstring();
    std::wstring pressures = lead + L" " + num_text(branch_line) +
                             (us(units) ? L"  Pressure, psi|" : L"  Pressure, bar|");
    std::wstring flows = lead + (us(units) ? L"     Flow, gpm    |" : L"     Flow, L/min  |");
    branch_line += 1;
    for (double head : scratch.through_a(row)) {
      pressures += cell(round_half_even(report::head_in_units(head, units), 2));
      // A head below zero gives no flow rather than the root of a negative.
      const double flow = head > 0 ? sprinkler_k * std::sqrt(head) : 0;
      flows += cell(round_half_even(report::flow_in_units(flow, units), 2));
    }
    const double following_sum = sum(scratch.through_b(following));
    out.push_back(pressures);
    out.push_back(flows);
    // "^" lets the page break under this row; "#" closes the table.
    out.push_back((following_sum > 0 ? L"^" : L"#") + rule.substr(1));
    previous_nonzero = following_sum != 0;
  }
  out.push_back(L"");
}

}  // namespace dorv::gridprint
