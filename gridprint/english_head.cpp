// The head of the English grid report: title, project and contract, and the
// initial data converted into the chosen units.
#include <cmath>

#include "gridform/reportnumbers.h"
#include "gridprint/english_grid_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::gridprint {
namespace {

using report::area_in_units;
using report::head_in_units;
using report::InchSizeTable;
using report::intensity_in_units;
using report::k_factor_in_units;
using report::length_in_units;
using report::PlainNumberText;

bool us(ReportUnits units) { return units == ReportUnits::US; }

std::wstring replace_all(std::wstring text, std::wstring_view from, std::wstring_view to) {
  for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A standard's name from its phrase " по ГОСТ 3262-75 (...)", without the
// leading " по ".
std::wstring standard_name(const std::wstring& phrase) {
  const std::wstring name = report::latin_standard_name(phrase);
  return name.size() > 4 ? name.substr(4) : std::wstring();
}

// A value from 0 to below 1 with a blank and "0" before its point (" 0.74",
// and " 0" for 0 itself, which has no point to lead), a negative one with
// its "0" after the sign ("-0.5"), else its trimmed text.
std::wstring fraction_text(double v) {
  if (v >= 1) return num_text_trim(v);
  return (v >= 0 ? L" " : L"") + zero_before_point(num_text_trim(v));
}

// A distance or height difference given in a field, converted, or "No" when
// the field is absent or 0. A negative value keeps its sign: a pendent
// sprinkler hangs below its branch line, a grid may be fed from behind its
// main pipe.
std::wstring optional_length(const std::wstring& field, ReportUnits units, bool zero_before_fraction) {
  const double v = num_value(field);
  if (v == 0) return L"No";
  const double converted = round_half_even(length_in_units(v, units), 2);
  return zero_before_fraction ? trim(grid::zero_led_or_number(converted)) : num_text_trim(converted);
}

void write_title(Lines& out, const EnglishGridSource& src) {
  out.push_back(L"           Calculationprogram ВИРН-Дорв " + src.program_version);
  out.push_back(L"");
  out.push_back(L"                Hydraulic calculation N" + src.form.Text2);
  out.push_back(L"                        (grid system)");
  out.push_back(L"");
  const std::wstring project = src.english_object_name.empty() ? src.form.Text3 : trim(src.english_object_name);
  for (auto& line : wrap_object_line(L"          Project: " + project)) out.push_back(std::move(line));
  out.push_back(L"          Contract: " + src.form.Text8);
  out.push_back(L"");
}

void write_standards_and_valve(Lines& out, EnglishGridSource& src, ReportUnits units) {
  out.push_back(L"          Tubing in accordance with              -      " + standard_name(src.state.MainStandardPhrase));
  if (!src.state.SecondStandardPhrase.empty()) {
    src.state.SecondStandardPhrase = replace_all(src.state.SecondStandardPhrase, L"Фазер", L"Fazer");
    out.push_back(L"          Tubing* in accordance with             -      " +
                  standard_name(src.state.SecondStandardPhrase));
  }
  const std::wstring& valve = src.form.Combo1_1;
  if (const auto type = report::valve_type_in(valve)) out.push_back(L"          Type of the valve of Supervisory Device          - " + *type);
  out.push_back(L"          Loss-factor of the valve ");
  out.push_back((us(units) ? L"          of Supervisory Device, psi/gpm^2                 - "
                           : L"          of Supervisory Device, bar/(L/min)^2             - ") +
                report::valve_coefficient_text(num_value(valve), units));
}

void write_sprinklers(Lines& out, const grid::GridFormTexts& f, ReportUnits units) {
  if (!f.Text1[18].empty())
    out.push_back((us(units) ? L"          Water density for sprinklers, gpm/ft2            - "
                             : L"          Water density for sprinklers, L/(min*m^2)        - ") +
                  fraction_text(round_half_even(intensity_in_units(num_value(f.Text1[18]), units), 2)));
  // The design area field holds the area and, in brackets, the number of
  // sprinklers opened in it; a field without the count reads as no count.
  const std::wstring& area_field = f.Text1[2];
  const std::size_t bracket = area_field.find(L'(');
  const std::wstring area = area_field.substr(0, bracket);
  const double opened = bracket == std::wstring::npos ? 0 : num_value(std::wstring_view(area_field).substr(bracket + 1));
  if (us(units))
    out.push_back(L"          Normative area of irrigation, ft2                - " +
                  num_text_trim(round_half_even(area_in_units(num_value(area), units), 2)));
  else
    out.push_back(L"          Normative area of irrigation, m2                 - " + trim(area));
  out.push_back(L"          Number of the working sprinklers                 - " + num_text_trim(opened));
  // The K-factor is converted whether or not an intensity is given: the
  // line would otherwise carry no value.
  out.push_back(L"          Sprinkler's K-factor                             - " +
                num_text_trim(k_factor_in_units(num_value(f.Text1[1]), units)));
  const double pressure = round_half_even(head_in_units(num_value(f.Text1[0]), units), 1);
  if (us(units))
    out.push_back(L"          Minimum operating pressure of a sprinkler, psi   - " + num_text_trim(pressure));
  else
    out.push_back(L"          Minimum operating pressure of a sprinkler, bar   - " + trim(fraction_text(pressure)));
}

void write_grid_geometry(Lines& out, const grid::GridFormTexts& f, ReportUnits units) {
  out.push_back(L"          Number of branch lines in the grid system        - " + trim(f.Text1[3]));
  out.push_back(L"          Number of sprinklers in the medial branch        - " +
                num_text_trim(num_value(f.Text1[4]) - num_value(f.Text1[5]) - num_value(f.Text1[6])));
  out.push_back(L"          Number of sprinklers in the left cantilever      - " +
                (num_value(f.Text1[5]) > 0 ? trim(f.Text1[5]) : std::wstring(L"No")));
  out.push_back(L"          Number of sprinklers in the right cantilever     - " +
                (num_value(f.Text1[6]) > 0 ? trim(f.Text1[6]) : std::wstring(L"No")));
  const auto spacing = [&](const std::wstring& field) {
    return num_text_trim(round_half_even(length_in_units(num_value(field), units), 2));
  };
  if (us(units)) {
    out.push_back(L"          Distance between sprinklers in the branch, ft    - " + spacing(f.Text1[7]));
    out.push_back(L"          Distance between branches, ft                    - " + spacing(f.Text1[8]));
    out.push_back(L"          Elevation difference between the branch line");
    out.push_back(L"            and sprinklers, ft                             - " +
                  optional_length(f.Text1[9], units, true));
  } else {
    out.push_back(L"          Distance between sprinklers in the branch, m     - " + spacing(f.Text1[7]));
    out.push_back(L"          Distance between branches, m                     - " + spacing(f.Text1[8]));
    out.push_back(L"          Elevation difference between the branch line");
    out.push_back(L"            and sprinklers, m                              - " +
                  optional_length(f.Text1[9], units, true));
  }
}

void write_pipe_sizes(Lines& out, const grid::GridFormTexts& f, ReportUnits units) {
  struct Pipe {
    int field;
    const wchar_t* us_caption;
    const wchar_t* metric_caption;
    bool may_be_absent;
  };
  static const Pipe kPipes[] = {
      {10, L"          Pipe size of sprinkler's tube, in.               -  ",
       L"          Pipe size of sprinkler's tube,  mm               - ", true},
      {11, L"          Pipe size of branch line, in.                    -  ",
       L"          Pipe size of branch line,  mm                    - ", false},
      {12, L"          Pipe size of left cross main, in.                -  ",
       L"          Pipe size of left cross main,  mm                - ", false},
      {13, L"          Pipe size of right cross main, in.               -  ",
       L"          Pipe size of right cross main,  mm               - ", false},
      {14, L"          Pipe size of parallel main, in.                  -  ",
       L"          Pipe size of parallel main,  mm                  - ", true},
      {15, L"          Pipe size of closer main, in.                    -  ",
       L"          Pipe size of closer main, mm                     - ", true},
  };
  for (const Pipe& p : kPipes) {
    const std::wstring& text = f.Text1[p.field];
    if (!us(units)) {
      out.push_back(p.metric_caption + trim(text));
      continue;
    }
    const double size = num_value(text);
    std::wstring inches;
    if (p.may_be_absent && !(size > 0)) {
      inches = L"No";
    } else {
      inches = InchSizeTable(size);
      if (p.field == 12) inches = trim(inches);
      if (contains(text, L"*")) inches += L"*";
    }
    out.push_back(p.us_caption + inches);
  }
}

void write_feed_point(Lines& out, const grid::GridFormTexts& f, ReportUnits units) {
  out.push_back(L"          Distance from the left cross main up to");
  out.push_back((us(units) ? L"            the point of input in grid system, ft          - "
                           : L"            the point of input in grid system, m           - ") +
                optional_length(f.Text1[16], units, false));
  out.push_back(L"          Elevation difference between the cross mains");
  out.push_back((us(units) ? L"            and branch lines, ft                           - "
                           : L"            and branch lines, m                            - ") +
                optional_length(f.Text1[17], units, false));
}

}  // namespace

void write_english_head(Lines& out, EnglishGridSource& src, ReportUnits units) {
  write_title(out, src);
  out.push_back(L"*         THE INITIAL DATA:");
  write_standards_and_valve(out, src, units);
  write_sprinklers(out, src.form, units);
  write_grid_geometry(out, src.form, units);
  write_pipe_sizes(out, src.form, units);
  write_feed_point(out, src.form, units);
  out.push_back(L"");
  out.push_back(L"*         RESULTS OF CALCULATION:");
  out.push_back(L"");
}

}  // namespace dorv::gridprint
