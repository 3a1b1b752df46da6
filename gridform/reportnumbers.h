// Number texts and the columns of fixed-layout lines, as the report writes
// them and the result readers cut them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dorv::grid {

// The text right-aligned in a field of the width (longer texts unchanged).
std::wstring right_aligned(const std::wstring& text, std::size_t width);
// "0.45" for a value between 0 and 1, the number text (" 12", "-.5") otherwise.
std::wstring zero_led_or_number(double v);
// The numbers of a line, blank-separated; a word counts as 0.
std::vector<double> numbers_of(std::wstring_view line);
// Characters first..last (counted from 1) of a line, as far as it reaches.
std::wstring columns(const std::wstring& line, std::size_t first, std::size_t last);
// Pads the line with blanks so that the text starts in the column (from 1);
// a line already past it gets one blank first unless the text starts with one.
void put_at(std::wstring& line, std::size_t column, const std::wstring& text);
// The column where a text of the width starts so that it ends before the
// column `end`; column 1 for a text too wide for that, so that a wide value
// runs on to the right instead of before the line's start.
std::size_t column_before(std::size_t end, std::size_t width);

}  // namespace dorv::grid
