// The report's node table: the heads and flows where each branch line meets
// the main and the additional pipe, taken from the end table of spr.out,
// with the ring pipe before the branch lines and the parallel pipe after
// them. The grid solver's lines carry two heads a side; the table shows the
// columns the position scan writes (number, head, flow, flow, head), so both
// layouts give the same table.
#include "gridform/gridreport.h"
#include "gridform/reportnumbers.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {

void write_node_table(ReportLines& out, const GridResultTables& t, GridFormState& state) {
  const std::wstring rule = L"          ---------------------------------------------------";
  out.push_back(L"");
  out.push_back(L"@                 Напоры и расходы в узлах основной и");
  out.push_back(L"*                    дополнительной труб решетки");
  out.push_back(rule);
  out.push_back(L"           Номер |    Узлы осн. трубы  |   Узлы доп. трубы ");
  out.push_back(L"           рядка |-------------------------------------------");
  out.push_back(L"                 |  Напор   |  Расход  |  Расход   |  Напор");
  out.push_back(L"                 |  м.в.ст. |   л/с    |   л/с     |  м.в.ст.");
  out.push_back(rule);

  const bool scan_layout = state.SolverChoice != 1;
  for (const std::wstring& line : t.end_lines) {
    if (trim(line).empty()) continue;  // a blank line at the file's end is no pipe
    // A line starting "маг" reads as 0: the ring pipe before the first
    // branch line, the parallel pipe after them.
    if (num_value(line) == 0) {
      if (state.BranchRowWritten == 0) {
        out.push_back(L"          Кольц. ");
        out.push_back(L"          труба" +
                      (scan_layout ? columns(line, 4, line.size()) : columns(line, 4, 19) + columns(line, 26, 57)));
        out.push_back(L"");
      } else {
        out.push_back(L"^");
        out.push_back(L"          Парал. ");
        // The grid solver's parallel line has its own columns; its head,
        // flow, flow and head are set under the columns of the other rows.
        out.push_back(L"          труба" +
                      (scan_layout ? columns(line, 4, line.size())
                                   : L"  " + columns(line, 6, 13) + L"   " + columns(line, 25, 32) + L"   " +
                                         columns(line, 36, 43) + L"   " + columns(line, 46, 53)));
      }
    } else {
      out.push_back(std::wstring(12, L' ') +
                    (scan_layout ? line : columns(line, 1, 14) + columns(line, 22, 53)));
      state.BranchRowWritten = 1;
    }
  }
  out.push_back(rule);
  out.push_back(L"");
}

}  // namespace dorv::grid
