// The head of the English report of an arbitrary network: title, project and
// contract, and the initial data converted into the chosen units. An outlet
// group is reported only while the form shows it.
#include "arbprint/english_arbitrary_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arbprint {
namespace {

using report::area_in_units;
using report::flow_in_units;
using report::head_in_units;
using report::intensity_in_units;
using report::k_factor_in_units;
using report::latin_standard_name;

bool us(ReportUnits units) { return units == ReportUnits::US; }

void write_title(Lines& out, const arb::NetworkFormTexts& f, const std::wstring& english_object_name) {
  out.push_back(L"");
  out.push_back(L"                Hydraulic calculation N" + f.Text2);
  out.push_back(L"               (project of an arbitrary configuration)");
  out.push_back(L"");
  const std::wstring project = english_object_name.empty() ? f.Text3 : trim(english_object_name);
  for (auto& line : wrap_object_line(L"          Project: " + project)) out.push_back(std::move(line));
  out.push_back(L"          Contract: " + f.Text8);
  out.push_back(L"");
}

void write_standard_and_valve(Lines& out, const arb::NetworkFormTexts& f, const arb::Form4State& s, ReportUnits units) {
  if (trim(s.imported.MainStandardPhrase) == L"по ГОСТ СОВМ") {
    out.push_back(L"          Tubing in accordance with GOST 3262-75 (for d<=50 mm)");
    out.push_back(L"          and GOST 10704-76 (for d>50 mm)");
  } else {
    out.push_back(L"          Tubing in accordance with                     -      " +
                  latin_standard_name(f.Text9));
  }
  const std::wstring& valve = f.Text15;
  if (const auto type = report::valve_type_in(valve)) out.push_back(L"          Type of the valve of Supervisory Device              - " + *type);
  out.push_back(L"          Loss-factor of the valve ");
  out.push_back((us(units) ? L"          of Supervisory Device, psi/gpm^2                     - "
                           : L"          of Supervisory Device, bar/(L/min)^2                 - ") +
                report::valve_coefficient_text(num_value(valve), units));
}

// The four lines of a sprinkler group: water density, protected area,
// K-factor and lowest operating pressure.
struct SprinklerGroup {
  bool shown;  // the form shows the group
  const std::wstring *density, *area, *k_factor, *pressure;
  std::array<const wchar_t*, 4> us_captions, metric_captions;
};

void write_sprinkler_group(Lines& out, const SprinklerGroup& g, ReportUnits units) {
  if (!g.shown) return;
  const auto& captions = us(units) ? g.us_captions : g.metric_captions;
  out.push_back(captions[0] +
                led_fraction_text(round_half_even(intensity_in_units(num_value(*g.density), units), 2)));
  const double area = area_in_units(num_value(*g.area), units);
  out.push_back(captions[1] + led_fraction_text(us(units) ? round_half_even(area, 2) : area));
  out.push_back(captions[2] + num_text(k_factor_in_units(num_value(*g.k_factor), units)));
  const double pressure = round_half_even(head_in_units(num_value(*g.pressure), units), 1);
  out.push_back(captions[3] + (us(units) ? num_text(pressure) : fraction_text(pressure)));
}

// The two lines of deluge heads or fire cocks: lowest operating pressure and
// normative flow.
void write_flow_group(Lines& out, bool shown, const std::wstring& flow, const std::wstring& head,
                      const std::array<const wchar_t*, 2>& captions, ReportUnits units) {
  if (!shown) return;
  const double pressure = round_half_even(head_in_units(num_value(head), units), 1);
  out.push_back(captions[0] + (us(units) ? num_text(pressure) : fraction_text(pressure)));
  const double q = flow_in_units(num_value(flow), units);
  out.push_back(captions[1] + num_text(us(units) ? round_half_even(q, 1) : q));
}

}  // namespace

std::wstring led_fraction_text(double v) {
  return (v >= 0 && v < 1 ? L" " : L"") + fraction_text(v);
}

// A "0" goes before the point of a value below 1 ("0.74"); 0 itself, with no
// point to lead, is "0"; a negative value keeps its sign in front ("-0.5").
std::wstring fraction_text(double v) { return zero_before_point(num_text_trim(v)); }

void write_english_head(Lines& out, const arb::NetworkFormTexts& f, const arb::Form4State& s,
                        const std::wstring& english_object_name, ReportUnits units) {
  write_title(out, f, english_object_name);
  out.push_back(L"*         THE INITIAL DATA:");
  write_standard_and_valve(out, f, s, units);
  write_sprinkler_group(
      out,
      {f.GroupShown[arb::kMainKind], &f.Text1[0], &f.Text1[1], &f.Text1[2], &f.Text1[3],
       {L"          Water density for main sprinklers, gpm/ft2           - ",
        L"          Average area of main sprinkler operation, ft2        - ",
        L"          Main sprinkler's K-factor                            - ",
        L"          Minimum operating pressure of main sprinkler, psi    - "},
       {L"          Water density for main sprinklers, L/(min*m^2)        - ",
        L"          Average area of main sprinkler operation, m^2         - ",
        L"          Main sprinkler's K-factor                             - ",
        L"          Minimum operating pressure of main sprinkler, bar   - "}},
      units);
  write_sprinkler_group(
      out,
      {f.GroupShown[arb::kRackKind], &f.Text16, &f.Text17, &f.Text18, &f.Text19,
       {L"          Water density for in-rack sprinklers , gpm/ft2       - ",
        L"          Average area of in-rack sprinkler operation, ft2     - ",
        L"          In-rack sprinkler's K-factor                         - ",
        L"          Minimum operating pressure of in-rack sprinkler, psi - "},
       {L"          Water density for in-rack sprinklers, L/(min*m^2)        - ",
        L"          Average area of in-rack sprinkler operation, m^2         - ",
        L"          In-rack sprinkler's K-factor                             - ",
        L"          Minimum operating pressure of in-rack sprinkler, bar   - "}},
      units);
  write_flow_group(out, f.GroupShown[arb::kDelugeKind], f.Text11, f.Text12,
                   us(units) ? std::array{L"          Minimum operating pressure of a drencher, psi    - ",
                                          L"          Normative flow of a drencher, gpm                - "}
                             : std::array{L"          Minimum operating pressure of a drencher, bar    - ",
                                          L"          Normative flow of a drencher, L/min              - "},
                   units);
  write_flow_group(out, f.GroupShown[arb::kFireCockKind], f.Text13, f.Text14,
                   us(units) ? std::array{L"          Minimum operating pressure of a fire cock, psi   - ",
                                          L"          Normative flow of a fire cock, gpm               - "}
                             : std::array{L"          Minimum operating pressure of a fire-cock, bar   - ",
                                          L"          Normative flow of a fire-cock, L/min             - "},
                   units);
}

}  // namespace dorv::arbprint
