#include "gridform/feedpipe.h"

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

}  // namespace dorv::grid
