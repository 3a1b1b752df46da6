// The end of the English report of an arbitrary network: the footnotes of
// the pipe table, the flows of the result panel (split by outlet kind when
// the network has deluge heads or fire cocks), the heads around the control
// unit and the signature line.
#include <cmath>

#include "arbprint/english_arbitrary_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arbprint {

void write_english_closing(Lines& out, const arb::NetworkFormTexts& f, const arb::Form4State& s, ReportUnits units) {
  const bool us = units == ReportUnits::US;
  if (!s.printout.SecondStandardNote.empty())
    out.push_back(L"          * Tubing in accordance with " + report::latin_standard_name(trim(f.Text10)));
  if (s.imported.ControlUnitOnSection == 1) out.push_back(L"               **The equivalent length of the valve control unit");
  for (int i = 0; i < 3; ++i) out.push_back(L"");

  const std::wstring flow_unit = us ? L" gpm" : L" L/min";
  const auto flow = [&](double litres_per_second) {
    return num_text(round_half_even(report::flow_in_units(litres_per_second, units), 2)) + flow_unit;
  };
  const double full_flow = num_value(f.Text5[0]);
  out.push_back(L"$          Full flow     -     " + flow(full_flow));
  if (s.printout.DelugeFlowSum > 0 || s.printout.FireCockFlowSum > 0) {
    out.push_back(L"*          Flow of sprinklers         -     " +
                  flow(std::fabs(round_half_even(full_flow - s.printout.DelugeFlowSum - s.printout.FireCockFlowSum, 2))));
    if (s.printout.DelugeFlowSum > 0) out.push_back(L"*          Flow of drenchers          -     " + flow(s.printout.DelugeFlowSum));
    if (s.printout.FireCockFlowSum > 0) out.push_back(L"*          Flow of fire-cocks         -     " + flow(s.printout.FireCockFlowSum));
  }

  const auto head = [&](const std::wstring& field) {
    return num_text(round_half_even(report::head_in_units(num_value(field), units), 3)) +
           (us ? L" psi" : L" bar");
  };
  const wchar_t* const reserve = L"*          (with a reserve of 20% on local losses)       - ";
  if (s.imported.ControlUnitOnSection == 1) {
    out.push_back(L"*          Pressure before valve of Supervisory Device  ");
    out.push_back(reserve + head(f.Text5[1]));
    out.push_back(L"*          Necessary pressure on logon");
    out.push_back(reserve + head(f.Text5[2]));
  } else {
    out.push_back(L"*          Pressure after valve of Supervisory Device  ");
    out.push_back(reserve + head(f.Text5[1]));
    out.push_back(L"*          Pressure before valve of Supervisory Device ");
    out.push_back(reserve + head(f.Text5[2]));
  }
  out.push_back(L"");
  out.push_back(L"");
  out.push_back(L"           Prepared by:                              _________________");
}

}  // namespace dorv::arbprint
