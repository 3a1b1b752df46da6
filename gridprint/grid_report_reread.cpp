#include "gridprint/grid_report_text.h"

namespace dorv::gridprint {

namespace {

std::wstring last_chars(const std::wstring& s, std::size_t n) { return s.size() > n ? s.substr(s.size() - n) : s; }

bool holds(const std::wstring& line, const wchar_t* what) { return line.find(what) != std::wstring::npos; }

}  // namespace

std::optional<SchemeReportValues> read_report_scheme_values(const std::vector<std::wstring>& rezres) {
  SchemeReportValues values;
  std::size_t i = 0;
  const std::size_t n = rezres.size();
  // The input data: the K-factor line, then the free head and inputs 3 to
  // 17; the 13th and 14th lines after it end with the parallel and the ring
  // pipe's diameters.
  while (i < n && !holds(rezres[i], L"К-ф")) ++i;
  if (i + 15 >= n) return std::nullopt;
  values.ParallelPipeText = last_chars(rezres[i + 13], 7);
  values.RingPipeText = last_chars(rezres[i + 14], 7);
  i += 16;
  // The feed pipeline table: past its caption line with "участке,", the units
  // line and the rule, one row per section down to the closing rule.
  while (i < n && !holds(rezres[i], L"участке,")) ++i;
  i += 3;
  int count = 0;
  for (; i < n; ++i) {
    ++count;
    if (holds(rezres[i], L"-------")) break;
  }
  if (i >= n) return std::nullopt;
  values.FeedSectionCount = count - 1;
  return values;
}

}  // namespace dorv::gridprint
