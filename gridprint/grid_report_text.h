// The text pages of the printed grid report: the report file (rezres.txt, or
// rezangl.txt for the English report) read into rows with each row's class,
// then printed 58 slots a page under a title, with page headers, tables kept
// together or continued under their repeated captions, and inch sizes at the
// right of a row set as stacked fractions.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "gridprint/grid_scheme_page.h"
#include "reportkit/report_pages.h"
#include "platform/printer.h"

namespace dorv::gridprint {

// What a first pass over the report file finds: its line count (the header
// line included) and the file line numbers, from 1, of the last line led by
// "&", "$" and "%" (0 when there is none).
struct ReportScan {
  int ReportLineCount = 0;
  int LastAmpLine = 0;
  int LastDollarLine = 0;
  int LastPercentLine = 0;
};
ReportScan scan_report(const std::vector<std::wstring>& lines);

// The class a row of the grid report gets from its marker and its place in a
// table: it says whether the row prints bold and what happens to it at the
// foot of a page.
enum GridLineClass : int {
  kPlainRow = 0,
  kBoldRow = 1,              // "*", and "1" (the sprinkler table's second caption line)
  kNodeCaption = 2,          // "@": kept off the last 9 slots
  kFeedCaption = 3,          // "&": kept off the last 7 slots
  kTotalsCaption = 4,        // "$": kept on one page with the totals
  kSprinklerSeparator = 5,   // "^" and a rule: a page may break here
  kNodeSeparator = 6,        // "^" alone: the empty line before the parallel pipe's row
  kNodeRow = 7,              // a row of the node table
  kFeedRow = 8,              // a row of the feed pipeline table
  kClosingBlock = 9,         // "%": kept on one page with the rest of the report
};

// The report's rows: row r (1 to ReportLineCount - 1) is file line r + 1
// without its marker; row ReportLineCount stays empty (the final empty line).
struct GridReportRows {
  std::vector<std::wstring> text;
  std::vector<int> line_class;
  int LastOneRow = 0;      // the sprinkler table's "1" caption line
  int FeedHeadingRow = 0;  // the feed pipeline table's "&" caption line
  ReportScan scan;
  const std::wstring& row(int r) const;  // empty beyond the rows
};
GridReportRows ingest_grid_report(const std::vector<std::wstring>& lines);

// How the text is printed.
struct GridTextStyle {
  bool english = false;       // English title, page headers and captions
  bool metric_units = false;  // the English report is in West-European units
  std::wstring program_version;
};

// The node table's rule, put at a page's foot in place of a node row.
inline const std::wstring kNodeRule = std::wstring(9, L' ') + std::wstring(51, L'-');

// Prints the title and every row onto the printer as the print command set
// it up (portrait, y 500, 11 points bold), ending with the final empty line;
// page_break starts each later page. The document is left open.
void print_grid_report_text(ui::Printer& printer, const GridReportRows& rows, const GridTextStyle& style,
                            report::PageBreak& page_break);

// ---- the pieces of the page loop ----
// The repeated caption and column header at the top of a page that cut a
// table; each returns the first slot left for the rows.
int SprinklerTableContinuation(ui::Printer& printer, const GridReportRows& rows, const GridTextStyle& style);
int FeedTableContinuation(ui::Printer& printer, const GridReportRows& rows);
int NodeTableContinuation(ui::Printer& printer, const GridTextStyle& style);
// Prints a row whose text holds an inch size: its "/" at position slash (from
// 1, at column 53 or beyond) is set as a stacked fraction, further right on
// the page for a feed pipeline row.
void print_stacked_fraction_row(ui::Printer& printer, const std::wstring& text, std::size_t slash, bool feed_row);
// Position (from 1) of the "/" of a row to be stacked: at column 53 or
// beyond, in a row that mentions neither "SDR" nor "Full"; 0 for a row
// printed plainly.
std::size_t stacked_fraction_slash(const std::wstring& text);

// What the scheme page takes from rezres.txt after the text: the diameters
// of the parallel and the ring pipe (the last 7 characters of their lines)
// and the number of feed pipeline sections. Nothing when the report lacks
// the lines they are read from.
std::optional<SchemeReportValues> read_report_scheme_values(const std::vector<std::wstring>& rezres);

}  // namespace dorv::gridprint
