// The feed pipeline string: sections separated by ",", each a length, then
// optionally "d" and a nominal diameter, then optionally "h" and a height
// difference (10, 10d50, 10h-1.5, 12.5d57*h2).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dorv::grid {

// The section texts. A "," in the first position is no separator; two
// adjacent commas give an empty section; an empty string is one empty section.
std::vector<std::wstring> split_feed_sections(const std::wstring& text);

struct FeedSectionText {
  double length = 0;
  std::wstring length_text;  // the text the length is read from
  std::wstring diameter;  // empty when the section gives none
  std::wstring height;    // empty when the section gives none
  bool height_before_diameter = false;  // "h" written before "d": no meaning
};
FeedSectionText parse_feed_section(const std::wstring& section);

// False for a text that starts with a number the reader cannot take whole
// ("1e9", "2.5.1", "10m"): read up to where it stops, it would be some other
// value than the one written. An empty text, blanks or a word read as 0 and
// pass.
bool reads_whole(std::wstring_view text);

// The sizes no building's feed pipeline reaches: a section longer than
// 10 km, a height difference beyond 1 km either way, a head beyond 10 000 m.
inline constexpr double kFeedLengthLimit = 10000;
inline constexpr double kFeedHeightLimit = 1000;
inline constexpr double kFeedHeadLimit = 10000;

}  // namespace dorv::grid
