// The feed pipeline string: sections separated by ",", each a length, then
// optionally "d" and a nominal diameter, then optionally "h" and a height
// difference (10, 10d50, 10h-1.5, 12.5d57*h2).
#pragma once
#include <string>
#include <vector>

namespace dorv::grid {

// The section texts. A "," in the first position is no separator; two
// adjacent commas give an empty section; an empty string is one empty section.
std::vector<std::wstring> split_feed_sections(const std::wstring& text);

struct FeedSectionText {
  double length = 0;
  std::wstring diameter;  // empty when the section gives none
  std::wstring height;    // empty when the section gives none
  bool height_before_diameter = false;  // "h" written before "d": no meaning
};
FeedSectionText parse_feed_section(const std::wstring& section);

}  // namespace dorv::grid
