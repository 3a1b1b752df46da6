// The report's pipe quantities: the metres of pipe of every nominal diameter
// that the grid and the feed pipeline take, for the main standard and, when
// diameters are marked "*", for the second standard. The lengths follow from
// the grid's counts and spacings; the nominal diameter ends in column 26 and
// the length's point (or last digit) stands in column 50.
#include <array>
#include <cmath>

#include "gridform/gridreport.h"
#include "gridform/reportnumbers.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

struct PipeLength {
  std::wstring diameter;  // the field's text: " 25", " 25*" or " нет"
  double length = 0;
};

// PipeLengthTable: the grid's six kinds of pipe.
std::array<PipeLength, 6> pipe_length_table(const GridFormTexts& form) {
  const auto v = [&](int i) { return num_value(form.Text1[static_cast<std::size_t>(i)]); };
  // A dead end beyond a pipe leaves half a step of branch line on that side.
  const double dead_ends = (v(5) > 0 ? 0.5 : 0) + (v(6) > 0 ? 0.5 : 0);
  // The ring and parallel pipes take half a row step of the mains each.
  const double without = (v(15) > 0 ? 0 : 0.5) + (v(14) > 0 ? 0 : 0.5);
  const double mains = v(8) * (v(3) - without);
  const double across = (v(4) - v(5) - v(6)) * v(7);
  return {{{form.Text1[11], v(3) * ((v(4) - dead_ends) * v(7) + 2 * v(17))},
           // A sprinkler below its line (a negative height) takes as much pipe as one above it.
           {form.Text1[10], std::fabs(v(9)) * v(4) * v(3)},
           {form.Text1[12], mains},
           {form.Text1[13], mains},
           {form.Text1[14], across},
           {form.Text1[15], across}}};
}

void write_standard(ReportLines& out, const PipeTable& table, bool second, const std::array<PipeLength, 6>& grid,
                    const FeedSectionTable& feed) {
  const auto counts = [second](const std::wstring& diameter) { return contains(diameter, L"*") == second; };
  for (int k = 1; k <= table.row_count(); ++k) {
    const double dn = table.row(k).nominal;
    double total = 0;
    for (const auto& pipe : grid)
      if (counts(pipe.diameter) && num_value(pipe.diameter) == dn) total += pipe.length;
    for (const auto& section : feed.sections)
      if (counts(section.diameter) && num_value(section.diameter) == dn) total += section.length;
    if (!(total > 0)) continue;
    const std::wstring t = total < 1 ? zero_led_or_number(total) : num_text_trim(total);
    const std::wstring d = num_text(dn);
    std::wstring line = right_aligned(d, 26);
    const std::size_t point = t.find(L'.');
    put_at(line, point == std::wstring::npos ? column_before(51, t.size()) : column_before(50, point), t);
    out.push_back(line);
  }
}

}  // namespace

void write_pipe_quantities(ReportLines& out, const GridFormTexts& form, const GridFormState& state) {
  const auto grid = pipe_length_table(form);
  const std::wstring heading = L"                  Усл. диаметр, мм            Кол, м";
  out.push_back(L"");
  out.push_back(L"$               Суммарное количество труб" + state.MainStandardPhrase + L":");
  out.push_back(heading);
  write_standard(out, state.MainPipeTable, false, grid, state.FeedSectionResults);
  if (!form.Combo2.empty()) {
    out.push_back(L"");
    out.push_back(L"*                Суммарное количество труб" + state.SecondStandardPhrase + L":");
    out.push_back(heading);
    write_standard(out, state.SecondPipeTable, true, grid, state.FeedSectionResults);
  }
}

}  // namespace dorv::grid
