// The text pages of the printed report of an arbitrary network: the report
// file (rezres.txt, or the English rezangl.txt) read into classed lines and
// printed page by page, 60 lines to a page, with a page header on every page
// after the first, tables kept together or continued under their repeated
// captions, and in the US-unit English report inch sizes set as stacked
// fractions.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace dorv::arbprint {

// A report file as the pre-pass counts it. Line 1 is the version line, never
// printed; every later line begins with its class marker. Line numbers count
// from 1 with the version line included; 0 where there is no such line.
struct ReportFile {
  std::vector<std::wstring> lines;  // every line of the file, the version line first
  int line_count = 0;               // lines in the file
  int last_dollar_line = 0;         // the last line that begins with "$" (before the pipe totals)
  int last_percent_line = 0;        // the last line that begins with "%" (before the closing block)
};
ReportFile prepass(std::vector<std::wstring> lines);

// What a body line's first character and its place make of it.
enum class ReportLineClass {
  Plain = 0,
  Heading = 1,             // "*": bold
  PipeCaption = 2,         // "&": the pipe table's caption, kept off a page's foot
  Totals = 3,              // "$": the pipe totals, kept off a page's foot
  SprinklerSeparator = 4,  // "^" with a rule: where the sprinkler table may break
  PipeRow = 7,             // a row of the pipe table
};

struct ReportLine {
  std::wstring text;  // without its class marker
  ReportLineClass line_class = ReportLineClass::Plain;
};

// The body lines, numbered from 1 (body line k is file line k + 1): entries
// 1 to line_count - 1. Entry 0 and the closing entry line_count are empty
// plain lines; the closing one is printed as the text's last, empty line.
std::vector<ReportLine> classify_lines(const ReportFile& file);

// The report's own values the pages show.
struct ReportPagesInput {
  std::wstring calculation_number;  // as typed on the form, behind "Расчет №"
  std::wstring program_version;     // ends the title line
  bool english = false;             // the English report (English header, captions, fractions)
  bool metric = false;              // the English report is in West-European units
};

// Prints the report text into the document: the printer is in twips, its
// position at the page's top (y 500), 11 points bold. Leaves the position
// just below the last text line and returns the number the next page header
// shows (2 when the text took one page).
int print_report_text(ui::Printer& printer, const ReportFile& file, const ReportPagesInput& input);

// The 1-based position of the slash of an inch size "a b/c" (or " b/c") in a
// line of the English report: a one-digit numerator behind a blank, a
// one-digit denominator; 0 when the line holds none. Unit texts such as
// "gpm/ft2" or "psi/gpm^2" are no inch size.
std::size_t inch_fraction_slash(std::wstring_view text);

}  // namespace dorv::arbprint
