// The pipe table of the English report of an arbitrary network: one line a
// section, its seven values placed so that each value's anchor (the "-" of
// the section, the point of a number, the blank of an inch size) stands a
// fixed step to the right of the anchor before it.
#include <algorithm>

#include "arbprint/english_arbitrary_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arbprint {
namespace {

using report::blank_run;

const wchar_t* const kRule = L"        ----------------------------------------------------------------";
constexpr long long kFirstAnchorColumn = 11;

bool us(ReportUnits units) { return units == ReportUnits::US; }

// Characters of a cell before its anchor; a cell without its anchor
// character is anchored just behind its last character.
long long before_anchor(const std::wstring& cell, wchar_t anchor) {
  const std::size_t at = cell.find(anchor);
  return static_cast<long long>(at == std::wstring::npos ? cell.size() : at);
}

// A section's line built cell by cell.
class RowBuilder {
 public:
  void add(const std::wstring& cell, wchar_t anchor, long long step) {
    const long long before = before_anchor(cell, anchor);
    // A value too wide for its step keeps one blank from the one before.
    line_ += line_.empty() ? blank_run(kFirstAnchorColumn - 1 - before)
                           : blank_run(step - tail_ - before, 1);
    line_ += cell;
    tail_ = static_cast<long long>(cell.size()) - before;
  }
  std::wstring line() const { return line_; }

 private:
  std::wstring line_;
  long long tail_ = 0;  // characters of the last cell from its anchor on
};

// A value below 1 in magnitude with a "0" before its point.
std::wstring zero_led(double v) { return zero_before_point(num_text_trim(v)); }

// The markers a cell carries over from the section table: "**" on the
// length and height difference of the control unit's section, "*" on a
// value of the second pipe standard.
std::wstring marked(std::wstring text, const arb::Cell& source, bool may_be_control_unit) {
  const std::wstring from = source.str();
  if (contains(from, L"**")) {
    if (may_be_control_unit) text += L"**";
  } else if (contains(from, L"*")) {
    text += L"*";
  }
  return text;
}

std::wstring size_text(const arb::Cell& cell, ReportUnits units) {
  if (us(units)) return report::InchSizeTable(cell.number_value());
  return contains(cell.str(), L"*") ? num_text_trim(cell.number_value()) : trim(cell.str());
}

std::wstring section_line(const std::vector<arb::Cell>& row, ReportUnits units) {
  const auto length_text = [&](const arb::Cell& cell) {
    const double v = cell.number_value();
    return us(units) ? num_text_trim(round_half_even(report::length_in_units(v, units), 2)) : zero_led(v);
  };
  const auto head_text = [&](const arb::Cell& cell) {
    const double v = report::head_in_units(cell.number_value(), units);
    return us(units) ? num_text_trim(round_half_even(v, 1)) : zero_led(round_half_even(v, 2));
  };
  const double flow = round_half_even(report::flow_in_units(row[7].number_value(), units), 1);
  const std::wstring size = marked(size_text(row[3], units), row[3], false);
  const bool size_has_blank = contains(size, L" ");

  RowBuilder line;
  line.add(row[1].str(), L'-', 0);
  line.add(marked(length_text(row[2]), row[2], true), L'.', us(units) ? 9 : 11);
  line.add(size, L' ', contains(size, L"/") ? 8 : 9);
  line.add(marked(length_text(row[4]), row[4], true), L'.',
           size_has_blank ? 10 : us(units) ? 9 : contains(size, L"*") ? 6 : 7);
  line.add(marked(head_text(row[5]), row[5], false), L'.', 12);
  line.add(marked(head_text(row[6]), row[6], false), L'.', 10);
  line.add(marked(us(units) ? num_text_trim(flow) : zero_led(flow), row[7], false), L'.', 10);
  return line.line();
}

}  // namespace

Lines english_pipe_table_heads(ReportUnits units) {
  if (us(units))
    return {L"        Pipe      Pipe    Pipe  Elevation    Beginning  Ending    Flow,",
            L"        between  lenght,  size, difference,  pressure, pressure,  gpm ",
            L"        nodes      ft      in.      ft         psi       psi"};
  return {L"        Pipe      Pipe    Pipe  Elevation    Beginning  Ending    Flow,",
          L"        between  lenght,  size, difference,  pressure, pressure,  L/min ",
          L"        nodes      m       mm       m          bar       bar"};
}

void write_english_pipe_table(Lines& out, const arb::Form4State& s, ReportUnits units) {
  out.push_back(kRule);
  for (const auto& head : english_pipe_table_heads(units)) out.push_back(head);
  out.push_back(kRule);
  for (std::size_t r = 1; r < s.imported.SectionTable.size() && static_cast<double>(r) <= s.imported.SectionCount; ++r)
    if (s.imported.SectionTable[r].size() > 7) out.push_back(section_line(s.imported.SectionTable[r], units));
  out.push_back(kRule);
}

}  // namespace dorv::arbprint
