// The English report rezangl.txt of a grid calculation, written by the print
// command when the user chooses English. It is not a translation of
// rezres.txt: it is built anew, in US or West-European units, from the form's
// fields, the feed pipeline the calculation computed and the solver's result
// file spr.out, as a report file the grid pagination prints like the Russian
// one (line 1 a header line never printed, every later line led by its class
// marker).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "gridform/gridreport.h"
#include "gridform/gridrun.h"
#include "reportkit/english_start.h"
#include "reportkit/report_units.h"

namespace dorv::gridprint {

using report::ReportUnits;
using Lines = std::vector<std::wstring>;

// What the English report is written from.
struct EnglishGridSource {
  const grid::GridFormTexts& form;
  // The form-level values; the second standard's phrase keeps its Latin
  // spelling of the maker's name after the report.
  grid::GridFormState& state;
  std::wstring program_version;
  // The English object name from nazangl.txt; empty when there is none.
  std::wstring english_object_name;
};

// Lines of spr.out turned into numbers through the scratch files "a" and "b"
// of the program folder: each line is written to its file and read back
// number by number. Throws FileError when a scratch file cannot be written or
// read back.
class ScratchNumbers {
 public:
  explicit ScratchNumbers(const std::filesystem::path& folder);
  ~ScratchNumbers();  // the scratch files are removed
  ScratchNumbers(const ScratchNumbers&) = delete;
  ScratchNumbers& operator=(const ScratchNumbers&) = delete;
  std::vector<double> through_a(const std::wstring& line) { return round_trip(a_, line); }
  std::vector<double> through_b(const std::wstring& line) { return round_trip(b_, line); }

 private:
  static std::vector<double> round_trip(const std::filesystem::path& file, const std::wstring& line);
  std::filesystem::path a_, b_;
};

// The numbers of a free-format line: separated by blanks, tabs or commas; a
// word that is no number counts as 0.
std::vector<double> free_format_numbers(std::wstring_view line);

// ---- the stages of the report, in the order it is written ----
// The header line, title, project (wrapped), contract and the initial data.
void write_english_head(Lines& out, EnglishGridSource& src, ReportUnits units);
// The pressures and flows at the operating sprinklers of the fire square.
void write_english_sprinkler_table(Lines& out, const grid::GridResultTables& tables, double sprinkler_k,
                                   ReportUnits units, ScratchNumbers& scratch);
// The node table of the two cross mains: captions, and the rows from spr.out's
// end table (WriteNodeRows).
void write_english_node_table(Lines& out, const grid::GridResultTables& tables, int dead_end_flag,
                              ReportUnits units);
void WriteNodeRows(Lines& out, const std::vector<std::wstring>& end_lines, int dead_end_flag, ReportUnits units);
// The common-main table (WriteSectionRows for its rows) and the closing block.
void write_english_feed_table(Lines& out, const grid::FeedSectionTable& feed, ReportUnits units);
void WriteSectionRows(Lines& out, const grid::FeedSectionTable& feed, ReportUnits units);
void write_english_closing(Lines& out, const grid::GridFormTexts& form, ReportUnits units);

// The whole report from spr.out as read; nothing when spr.out is cut short
// before its end table.
std::optional<Lines> english_grid_report_lines(EnglishGridSource& src, const std::vector<std::wstring>& spr_out,
                                               ReportUnits units, ScratchNumbers& scratch);

using report::EnglishReportEnd;
using report::EnglishReportResult;

// Asks for the unit system and writes rezangl.txt in the program folder from
// the form, spr.out and nazangl.txt there. state.SolverChoice is the dead-end
// flag that tells the layout of spr.out (1 gridsolve's, 0 gridio's), as the
// print command has brought it up to date. english_object_name is the
// program-wide English object name, set anew from nazangl.txt.
EnglishReportResult MakeEnglishGridReport(const grid::GridFormTexts& form, grid::GridFormState& state,
                                          const std::filesystem::path& folder, const std::wstring& program_version,
                                          std::wstring& english_object_name);

}  // namespace dorv::gridprint
