// The Russian report rezres.txt of a grid calculation: a fixed-layout
// listing whose first line names the program and its version and whose
// every later line starts with a class marker that the printer never prints
// (it chooses the line's style and page rule from it). The report is built
// in memory from the run's results and spr.out, and written whole, so that
// a report that cannot be completed leaves the previous one as it was.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "gridform/gridrun.h"

namespace dorv::grid {

using ReportLines = std::vector<std::wstring>;

// What the tables take of the grid result file spr.out.
struct GridResultTables {
  double shift = 0;     // sprinkler number of the fire square's first column
  double first_row = 1; // branch-line number of its first row
  // The pressure grid: the lines after the title up to the shift line.
  std::vector<std::wstring> grid_lines;
  // The branch-line end table: every line after the captions.
  std::vector<std::wstring> end_lines;
};

// Reads the tables of spr.out in the layout of the solver choice (0 the
// position scan's, 1 the grid solver's); nothing when the file is cut short
// before its end table.
std::optional<GridResultTables> read_grid_result_tables(const std::vector<std::wstring>& spr_out, int solver_choice);

// ---- pieces of the report, in the order it is written ----
// The header line, title, object (wrapped) and contract lines.
void write_report_title(ReportLines& out, const GridFormTexts& form, const std::wstring& program_version);
// A value line of the input section: 10 blanks, the caption, and the value
// right-aligned to column 60 (one blank at least between them).
std::wstring report_value_line(const std::wstring& caption, const std::wstring& value);
// The input data.
void write_report_input(ReportLines& out, const GridFormTexts& form, const GridFormState& state);
// The heads and flows at the operating sprinklers of the fire square.
void write_sprinkler_table(ReportLines& out, const GridResultTables& tables, double effective_k);
// The heads and flows at the nodes of the main and additional pipes, and of
// the ring and parallel pipes. Sets BranchRowWritten once a branch line is written.
void write_node_table(ReportLines& out, const GridResultTables& tables, GridFormState& state);
// One row per feed pipeline section.
void write_feed_table(ReportLines& out, const FeedSectionTable& feed);
// The total length of pipe of every nominal diameter, per standard.
void write_pipe_quantities(ReportLines& out, const GridFormTexts& form, const GridFormState& state);
// The four results and the executor's line.
void write_report_totals(ReportLines& out, const GridFormTexts& form, const std::wstring& executor_name);

// The whole report of a completed run, from spr.out as read; nothing when
// spr.out is cut short.
std::optional<ReportLines> grid_report_lines(const GridFormTexts& form, GridFormState& state,
                                             const std::vector<std::wstring>& spr_out,
                                             const std::wstring& program_version, const std::wstring& executor_name);

// The stage of the run: rezres.txt written from spr.out of the program
// folder. A missing or short spr.out, or a report that cannot be written,
// ends the run with a message and leaves the previous report in place.
StageEnd BuildGridReport(GridRun& run);

}  // namespace dorv::grid
