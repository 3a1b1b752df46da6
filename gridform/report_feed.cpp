// The report's feed pipeline table: one row per section from the grid inlet
// to the control unit. Each number is placed so that its whole part ends in
// its column (18, 28, 37, 46, 56, 67), whatever its decimals.
#include "gridform/gridreport.h"
#include "gridform/reportnumbers.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

// Length of the whole part's number text, sign place included.
std::size_t whole_width(double v) { return num_text(round_half_even(v, 0)).size(); }

}  // namespace

void write_feed_table(ReportLines& out, const FeedSectionTable& feed) {
  const std::wstring rule = L"          -------------------------------------------------------------";
  out.push_back(L"&           Напоры и расходы участков питающего трубопровода");
  out.push_back(rule);
  out.push_back(L"           NN | Напор  | Напор  | Расход | Длина | Перепад  | Условный");
  out.push_back(L"           уч.|в начале|в конце | через  | учас- | высот на | диаметр");
  out.push_back(L"           тр | участ.,| участ.,| участ. | тка,  | участке, |  трубы,");
  out.push_back(L"              | м в.ст.| м в.ст.|  л/с   |   м   |    м     |    мм");
  out.push_back(rule);

  // A row without flow repeats the section number of the row before, a row
  // without length its height.
  std::wstring nn, height;
  for (const FeedSection& s : feed.sections) {
    if (s.flow > 0) nn = s.number < 10 ? L" " + num_text(s.number) : num_text(s.number);
    if (s.length != 0) height = zero_led_or_number(s.height);
    // The head where the water enters the section (the control-unit side)
    // comes first, then the head where it leaves it towards the grid.
    const std::wstring length = zero_led_or_number(s.length);
    const std::wstring diameter = L" " + trim(s.diameter);
    std::wstring row = L"          " + nn;
    put_at(row, column_before(19, whole_width(s.head_end)), num_text(s.head_end));
    put_at(row, column_before(29, whole_width(s.head_start)), num_text(s.head_start));
    put_at(row, column_before(38, whole_width(s.flow)), num_text(s.flow));
    put_at(row, column_before(47, whole_width(s.length)), length);
    put_at(row, column_before(57, whole_width(s.height)), height);
    put_at(row, column_before(68, whole_width(num_value(diameter))), diameter);
    out.push_back(row);
  }
  out.push_back(rule);
}

}  // namespace dorv::grid
