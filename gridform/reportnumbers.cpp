#include "gridform/reportnumbers.h"

#include "text/numtext.h"

namespace dorv::grid {

std::wstring right_aligned(const std::wstring& text, std::size_t width) {
  return text.size() >= width ? text : std::wstring(width - text.size(), L' ') + text;
}

std::wstring zero_led_or_number(double v) {
  if (v > 0 && v < 1) return L"0" + num_text_trim(v);
  return num_text(v);
}

std::vector<double> numbers_of(std::wstring_view line) {
  std::vector<double> numbers;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && (line[pos] == L' ' || line[pos] == L'\t')) ++pos;
    if (pos == line.size()) break;
    std::size_t end = pos;
    while (end < line.size() && line[end] != L' ' && line[end] != L'\t') ++end;
    numbers.push_back(num_value(line.substr(pos, end - pos)));
    pos = end;
  }
  return numbers;
}

std::wstring columns(const std::wstring& line, std::size_t first, std::size_t last) {
  if (first > line.size() || last < first) return {};
  return line.substr(first - 1, last - first + 1);
}

void put_at(std::wstring& line, std::size_t column, const std::wstring& text) {
  if (line.size() + 1 < column) line.append(column - 1 - line.size(), L' ');
  else if (line.size() + 1 > column && !text.empty() && text[0] != L' ') line += L' ';
  line += text;
}

std::size_t column_before(std::size_t end, std::size_t width) { return end > width + 1 ? end - width : 1; }

}  // namespace dorv::grid
