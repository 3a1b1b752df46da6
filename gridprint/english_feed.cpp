// The English common-main table, one row per section of the feed pipeline
// from the control unit to the grid, and the closing block of results.
#include "gridform/reportnumbers.h"
#include "gridprint/english_grid_report.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::gridprint {
namespace {

using report::column_for_point;
using report::PlainNumberText;

bool us(ReportUnits units) { return units == ReportUnits::US; }

const std::wstring kRule = L"          -------------------------------------------------------------";

// Where the decimal points of a row stand: start head, end head, flow,
// length, height difference; and where the size begins.
struct RowColumns {
  long long points[5];
  std::size_t size;
};
constexpr RowColumns kUsColumns{{21, 31, 41, 50, 60}, 69};
constexpr RowColumns kMetricColumns{{21, 30, 42, 52, 62}, 68};

}  // namespace

void WriteSectionRows(Lines& out, const grid::FeedSectionTable& feed, ReportUnits units) {
  const RowColumns& at = us(units) ? kUsColumns : kMetricColumns;
  int counter = 0;
  for (const grid::FeedSection& s : feed.sections) {
    ++counter;
    const std::wstring number = counter < 10 ? L" " + PlainNumberText(counter) : PlainNumberText(counter);
    // The water enters a section at its control-unit end: that head is the
    // section's beginning pressure.
    const double values[5] = {
        round_half_even(report::head_in_units(s.head_end, units), 2),
        round_half_even(report::head_in_units(s.head_start, units), 2),
        round_half_even(report::flow_in_units(s.flow, units), 2),
        round_half_even(report::length_in_units(s.length, units), 2),
        round_half_even(report::length_in_units(s.height, units), 2),
    };
    const std::wstring texts[5] = {
        PlainNumberText(values[0]), PlainNumberText(values[1]), PlainNumberText(values[2]),
        grid::zero_led_or_number(values[3]), grid::zero_led_or_number(values[4]),
    };
    const double size = num_value(s.diameter);
    const std::wstring size_text = us(units)
                                       ? report::InchSizeTable(size) + (contains(s.diameter, L"*") ? L"*" : L"")
                                       : num_text_trim(size);
    std::wstring row = std::wstring(10, L' ') + number;
    for (int i = 0; i < 5; ++i) {
      const long long column = column_for_point(values[i], at.points[i]);
      grid::put_at(row, static_cast<std::size_t>(column < 1 ? 1 : column), texts[i]);
    }
    grid::put_at(row, at.size, size_text);
    out.push_back(row);
  }
}

void write_english_feed_table(Lines& out, const grid::FeedSectionTable& feed, ReportUnits units) {
  out.push_back(L"&           Pressures and flows in the common main");
  out.push_back(kRule);
  out.push_back(L"          Sec- |Beginning| Ending  |  Flow,  |  Pipe   |Elevation| Pipe");
  out.push_back(L"          tion |pressure,|pressure,|         | lenght, | differ.,| size,");
  out.push_back(us(units) ? L"               |   psi   |  psi    |   gpm   |   ft    |   ft    |  in."
                          : L"               |   bar   |  bar    |  L/min  |    m    |    m    |  mm");
  out.push_back(kRule);
  WriteSectionRows(out, feed, units);
  out.push_back(kRule);
  out.push_back(L"");
}

void write_english_closing(Lines& out, const grid::GridFormTexts& form, ReportUnits units) {
  const std::wstring reserve = L"*          (with a reserve of 20% on local losses)       - ";
  const std::wstring head_unit = us(units) ? L" psi" : L" bar";
  const auto head = [&](const std::wstring& field) {
    return PlainNumberText(round_half_even(report::head_in_units(num_value(field), units), 3)) + head_unit;
  };
  out.push_back(L"%");
  out.push_back(L"*          Full flow                                     - " +
                PlainNumberText(round_half_even(report::flow_in_units(num_value(form.Text5[0]), units), 2)) +
                (us(units) ? L" gpm" : L" L/min"));
  out.push_back(L"*          Pressure in the point of input in grid system");
  out.push_back(reserve + head(form.Text5[1]));
  out.push_back(L"*          Pressure after valve of Supervisory Device");
  out.push_back(reserve + head(form.Text5[2]));
  out.push_back(L"*          Pressure before valve of Supervisory Device ");
  out.push_back(reserve + head(form.Text5[3]));
  out.push_back(L"");
  out.push_back(L"");
  out.push_back(L"           Prepared by:                              _________________");
}

}  // namespace dorv::gridprint
