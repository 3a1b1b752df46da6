#include "gridform/feedpipe.h"

#include <algorithm>

#include "text/number.h"
#include "text/numtext.h"

namespace dorv::grid {

std::vector<std::wstring> split_feed_sections(const std::wstring& text) {
  std::vector<std::wstring> sections;
  std::size_t start = 0;  // first character of the current section
  std::size_t search = 1;
  for (;;) {
    const auto comma = search < text.size() ? text.find(L',', search) : std::wstring::npos;
    if (comma == std::wstring::npos) {
      sections.push_back(text.substr(start));
      return sections;
    }
    sections.push_back(text.substr(start, comma - start));
    start = comma + 1;
    search = comma + 1;
  }
}

FeedSectionText parse_feed_section(const std::wstring& section) {
  FeedSectionText out;
  const auto pd = section.find(L'd');
  const auto ph = section.find(L'h');
  out.length = num_value(section);
  out.length_text = section.substr(0, std::min(pd, ph));
  if (pd != std::wstring::npos) {
    if (ph != std::wstring::npos && ph < pd) {
      out.height_before_diameter = true;
      return out;
    }
    out.diameter = ph != std::wstring::npos ? section.substr(pd + 1, ph - pd - 1) : section.substr(pd + 1);
  }
  if (ph != std::wstring::npos) out.height = section.substr(ph + 1);
  return out;
}

bool reads_whole(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  double value = 0;
  const std::size_t n = scan_decimal(text.substr(i), value, /*allow_exponent=*/false);
  if (n == 0) return true;  // no number: read as 0, as a word is
  for (i += n; i < text.size(); ++i)
    if (text[i] != L' ' && text[i] != L'\t') return false;
  return true;
}

}  // namespace dorv::grid
