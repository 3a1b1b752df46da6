// The three tables of the arbitrary network's report that are built from
// the form's tables: the outlet table, the pipe-section rows with the
// control unit's mark, and the pipe totals per nominal diameter with the
// water volume of the pipes.
#pragma once
#include <string>
#include <vector>

#include "arbmodel/form4_state.h"

namespace dorv::arb {

// The trimmed number text with "0" before a leading point (0.35); a negative
// fraction keeps its "-.52" form.
std::wstring zero_led(double v);

// The outlets in blocks of seven: node row, heads and flows.
std::vector<std::wstring> outlet_table_lines(const Form4State& s);
// One line per section; the control unit's section (control_row, 0 for
// none) gets "**" after its length, in the line and in SectionTable.
std::vector<std::wstring> section_row_lines(Form4State& s, int control_row);
// The column heads of the section rows, under the table's caption in the
// report and again where a printed page continues the table.
std::vector<std::wstring> section_table_heads();
// The total rows of the main or the second pipe table; adds the water volume
// of the sections counted to `volume` (m3).
std::vector<std::wstring> total_rows(const Form4State& s, bool second, double& volume);
std::wstring volume_text(double volume);

}  // namespace dorv::arb
