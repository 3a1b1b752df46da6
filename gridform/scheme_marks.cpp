// The operating sprinklers of the last valid calculation on the scheme: the
// sprinklers whose cell in the report's sprinkler table holds a head. The
// table's number line gives the column of its "|" and the first sprinkler
// number; each head line gives its branch-line number before that column
// and its cells after it, 8 characters each.
#include "gridform/gridreport.h"
#include "gridform/reportnumbers.h"
#include "gridform/scheme.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {

MarkResult mark_operating_sprinklers(GridScheme& s, const std::vector<std::wstring>& report) {
  std::size_t k = 0;
  while (k < report.size() && !contains(report[k], L"рядка ")) ++k;
  if (k + 3 >= report.size()) return k < report.size() ? MarkResult::CutShort : MarkResult::NoTable;
  const std::size_t bar = report[k + 1].find(L'|');
  if (bar == std::wstring::npos || bar < 8) return MarkResult::CutShort;
  const std::size_t p = bar + 1;  // its column, counted from 1
  const double first_sprinkler = num_value(columns(report[k + 1], p + 3, p + 8));
  k += 3;
  const double first_row = num_value(columns(report[k], p - 8, p - 4));
  for (int i = 1; i <= s.SchemeRows; ++i) {
    if (i < first_row) continue;
    const std::wstring& row = report[k];
    std::size_t pos = p - 5;
    for (int j = 1; j <= s.SchemeSprinklersPerRow; ++j) {
      if (j < first_sprinkler) continue;
      pos += 8;
      if (num_value(columns(row, pos, pos + 7)) != 0) s.point(i, j, 4) = 1;
    }
    // The flow line, then the separator: "#" after the last row.
    if (k + 2 >= report.size()) return MarkResult::CutShort;
    if (starts_with(report[k + 2], L"#")) return MarkResult::Marked;
    k += 3;
    if (k >= report.size()) return MarkResult::CutShort;
  }
  return MarkResult::Marked;
}

void draw_operating_sprinklers(const GridScheme& s, ui::Surface& pic) {
  pic.fill_color = kOperatingColor;
  pic.fill_solid = true;
  const double sc = s.SchemeScale;
  for (int i = 1; i <= s.SchemeRows; ++i)
    for (int j = 1; j <= s.SchemeSprinklersPerRow; ++j)
      if (s.point(i, j, 4) == 1) pic.circle(s.point(i, j, 1) * sc, s.point(i, j, 3) * sc, kOperatingRadius * sc, kOperatingColor);
}

}  // namespace dorv::grid
