// The English node table: heads and flows at the nodes of the left and right
// cross mains, one row per branch line, with the closer (ring) and the
// parallel main where the grid has them. The values of a column stand with
// their decimal points one under the other (columns 27, 38, 49 and 59).
#include "gridform/reportnumbers.h"
#include "gridprint/english_grid_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::gridprint {
namespace {

using report::blank_run;
using report::digits_after_point;
using report::point_position;

enum class Kind { Head, Flow };
struct Span {
  std::size_t start, length;
  Kind kind;
};
using Spans = std::vector<Span>;

// Where the values stand in the lines of spr.out's end table.
const Spans kFourNumberRow{{5, 9, Kind::Head}, {16, 9, Kind::Flow}, {27, 9, Kind::Flow}, {38, 9, Kind::Head}};
const Spans kSixNumberBranch{{6, 9, Kind::Head}, {24, 9, Kind::Flow}, {35, 9, Kind::Flow}, {46, 9, Kind::Head}};
const Spans kSixNumberRing{{4, 15, Kind::Head}, {20, 15, Kind::Flow}, {46, 15, Kind::Head}};
const Spans kSixNumberParallel{{4, 15, Kind::Head}, {23, 15, Kind::Flow}, {33, 15, Kind::Flow}, {46, 15, Kind::Head}};

std::vector<double> values_of(const std::wstring& line, const Spans& spans, ReportUnits units) {
  std::vector<double> values;
  for (const Span& s : spans) {
    const double v = num_value(grid::columns(line, s.start, s.start + s.length - 1));
    values.push_back(round_half_even(s.kind == Kind::Head ? report::head_in_units(v, units)
                                                          : report::flow_in_units(v, units),
                                     2));
  }
  return values;
}

// A pipe row's value: its plain text with ".0" behind a whole number, and no
// "0" before the point (0.5 is written .5).
std::wstring pipe_value_text(double v) {
  std::wstring text = num_text_trim(v);
  if (text.find(L'.') == std::wstring::npos) text += L".0";
  return text;
}

// The values after the row's lead, each preceded by the blanks that put its
// point in its column. first_point is the point's place counted from the end
// of the lead; gaps are the distances from one point to the next.
std::wstring aligned_values(const std::vector<std::wstring>& texts, long long first_point,
                            const std::vector<long long>& gaps) {
  std::wstring row;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const long long p = static_cast<long long>(point_position(texts[i]));
    // A value too wide for its place keeps one blank before it.
    row += i == 0 ? blank_run(first_point - p)
                  : blank_run(gaps[i - 1] - static_cast<long long>(digits_after_point(texts[i - 1])) - p, 1);
    row += texts[i];
  }
  return row;
}

std::wstring branch_row(const std::wstring& line, const Spans& spans, ReportUnits units) {
  std::vector<std::wstring> texts;
  for (double v : values_of(line, spans, units)) texts.push_back(report::NumberText(v));
  // The branch-line number, right-aligned in two characters, and two blanks.
  std::wstring number = left(line, 4);
  number.resize(4, L' ');
  return std::wstring(15, L' ') + number + aligned_values(texts, 8, {11, 11, 10});
}

std::wstring pipe_row(const std::wstring& lead, const std::wstring& line, const Spans& spans, ReportUnits units) {
  std::vector<std::wstring> texts;
  for (double v : values_of(line, spans, units)) texts.push_back(pipe_value_text(v));
  // The six-number ring line has no second flow: its last head stands where
  // the fourth value of the other rows does.
  const std::vector<long long> gaps =
      texts.size() == 3 ? std::vector<long long>{11, 21} : std::vector<long long>{11, 11, 10};
  return lead + aligned_values(texts, 6, gaps);
}

}  // namespace

void WriteNodeRows(Lines& out, const std::vector<std::wstring>& end_lines, int dead_end_flag, ReportUnits units) {
  const bool six_numbers = dead_end_flag == 1;
  const std::wstring lead = six_numbers ? L"             mains   " : L"             main    ";
  bool branch_row_written = false;
  for (const std::wstring& line : end_lines) {
    // A blank line (the end of a file written with a last line end) is no
    // pipe row.
    if (trim(line).empty()) continue;
    const double v = num_value(line);
    if (v > 0) {
      out.push_back(branch_row(line, six_numbers ? kSixNumberBranch : kFourNumberRow, units));
      branch_row_written = true;
    } else if (v == 0 && !branch_row_written) {
      out.push_back(L"             Closer ");
      out.push_back(pipe_row(lead, line, six_numbers ? kSixNumberRing : kFourNumberRow, units));
      out.push_back(L"");
    } else if (v == 0) {
      out.push_back(L"^");
      out.push_back(L"             Parall.");
      out.push_back(pipe_row(lead, line, six_numbers ? kSixNumberParallel : kFourNumberRow, units));
    }
  }
}

void write_english_node_table(Lines& out, const grid::GridResultTables& tables, int dead_end_flag,
                              ReportUnits units) {
  const std::wstring rule = L"            ----------------------------------------------------";
  out.push_back(L"@                 Pressures and flows in nodes of left ");
  out.push_back(L"*                       and right cross mains");
  out.push_back(rule);
  out.push_back(L"                    |    Nodes of left    |    Nodes of right ");
  out.push_back(L"             Branch |     cross main      |     cross main");
  out.push_back(L"              line  |-------------------------------------------");
  out.push_back(L"             number | Pressure, |  Flow,  |  Flow,   | Pressure,");
  out.push_back(units == ReportUnits::US ? L"                    |    psi    |  gpm    |  gpm     |    psi"
                                         : L"                    |    bar    |  L/min  |  L/min   |    bar");
  out.push_back(rule);
  WriteNodeRows(out, tables.end_lines, dead_end_flag, units);
  out.push_back(rule);
  out.push_back(L"");
}

}  // namespace dorv::gridprint
