// The outlet table of the English report of an arbitrary network: the head
// and flow at every operating outlet, seven outlets to a block, each value
// in a cell of eight characters with its point in the cell's fifth column.
#include <algorithm>
#include <cmath>

#include "arbprint/english_arbitrary_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arbprint {
namespace {

constexpr std::size_t kOutletsPerBlock = 7;
constexpr long long kCellWidth = 8;
constexpr long long kPointColumn = 5;

// A value's cell: "0" before the point of a value below 1 in magnitude,
// ".0" behind a whole number, the point in the cell's fifth column. A head
// keeps a blank on either side, so that a wide value never touches its
// neighbour.
std::wstring outlet_cell(double value, bool head) {
  std::wstring text = zero_before_point(num_text_trim(value));
  if (text.find(L'.') == std::wstring::npos) text += L".0";
  const long long point = static_cast<long long>(report::point_position(text));
  const long long least = head ? 1 : 0;
  return report::blank_run(kPointColumn - point, least) + text +
         report::blank_run(kCellWidth - kPointColumn + point - static_cast<long long>(text.size()), least);
}

// The outlet coefficient of an entry's kind: flow in L/s per square root of
// a metre of head.
double outlet_k(const arb::Form4State& s, const std::wstring& entry) {
  const int kind = contains(entry, L"д")   ? arb::kDelugeKind
                   : contains(entry, L"п") ? arb::kFireCockKind
                   : contains(entry, L"с") ? arb::kRackKind
                                           : arb::kMainKind;
  return s.imported.OutletDataInFile[static_cast<std::size_t>(kind)].k;
}

// The free head in m at an outlet's node: the solver's head there less the
// node's elevation; 0 for a node the answer does not hold.
double outlet_head(const arb::Form4State& s, const std::wstring& entry) {
  const double node = num_value(entry);
  if (!(node >= 1 && node < static_cast<double>(s.imported.NodeTable.size()))) return 0;
  const auto& row = s.imported.NodeTable[static_cast<std::size_t>(node)];
  const double answer = row[2].number_value();
  if (!(answer >= 0 && answer < static_cast<double>(s.run.AnswerRows.size()))) return 0;
  return s.run.AnswerRows[static_cast<std::size_t>(answer)][2].number_value() - row[3].number_value();
}

// The outlet's flow in the report's units. The coefficient is per square
// root of a metre: in US units the flow comes from the head in metres and is
// converted like every other flow. In bar the flow is taken from the printed
// pressure, so that a reader can check it from the table, with 189.5 as the
// coefficient's factor from √m and L/s to √bar and L/min.
double outlet_flow(double k, double head_m, double printed_pressure, ReportUnits units) {
  if (units == ReportUnits::US) return report::flow_in_units(k * std::sqrt(std::max(head_m, 0.0)), units);
  return k * std::sqrt(std::max(printed_pressure, 0.0)) * 189.5;
}

struct Block {
  std::wstring nodes, pressures, flows, rule;
};

Block new_block(ReportUnits units) {
  const bool us = units == ReportUnits::US;
  return {L"         N of node    |   ", us ? L"         Pressure, psi|" : L"         Pressure, bar|",
          us ? L"         Flow, gpm    |" : L"         Flow, L/min  |", L"        --------------"};
}

}  // namespace

void write_english_outlet_table(Lines& out, const arb::Form4State& s, ReportUnits units) {
  std::size_t outlets = 0;
  while (outlets + 1 < s.imported.OutletTable.size() && static_cast<double>(outlets + 1) < s.imported.OutletListSize) ++outlets;
  std::wstring top_rule = L"        --------------";
  Block block = new_block(units);
  for (std::size_t k = 1; k <= outlets; ++k) {
    const std::wstring entry = s.imported.OutletTable[k][1].str();
    block.rule += L"--------";
    top_rule += L"--------";
    block.nodes += entry + std::wstring(entry.size() < kCellWidth ? kCellWidth - entry.size() : 0, L' ');
    const double head_m = outlet_head(s, entry);
    const double pressure = round_half_even(report::head_in_units(head_m, units), 2);
    block.pressures += outlet_cell(pressure, true);
    block.flows += outlet_cell(round_half_even(outlet_flow(outlet_k(s, entry), head_m, pressure, units), 2), false);
    if (k % kOutletsPerBlock == 0 || k == outlets) {
      if (k <= kOutletsPerBlock) out.push_back(top_rule);
      out.push_back(block.nodes);
      out.push_back(block.rule);
      out.push_back(block.pressures);
      out.push_back(block.flows);
      out.push_back(L"^" + block.rule.substr(1));
      block = new_block(units);
    }
  }
}

}  // namespace dorv::arbprint
