#include "tables/valve_file.h"

#include "text/numtext.h"

namespace dorv::tables {

double valve_line_size(std::wstring_view line) {
  const auto dash = line.find(L'-');
  if (dash == std::wstring_view::npos) return num_value(line);
  return num_value(line.substr(dash + 1));
}

std::optional<std::vector<std::wstring>> valve_sizes(const std::vector<std::wstring>& lines,
                                                      const std::wstring& name) {
  std::size_t k = 0;
  while (k < lines.size() && lines[k] != name) ++k;
  if (k == lines.size()) return std::nullopt;
  std::vector<std::wstring> sizes;
  for (++k; k < lines.size() && valve_line_size(lines[k]) > 0; ++k) sizes.push_back(lines[k]);
  return sizes;
}

std::optional<std::wstring> choose_valve_size(const std::vector<std::wstring>& sizes, double dn) {
  if (sizes.empty()) return std::nullopt;
  const std::wstring* chosen = &sizes.back();
  for (const auto& line : sizes) {
    if (valve_line_size(line) >= dn) {
      chosen = &line;
      break;
    }
  }
  if (num_value(*chosen) <= 0) return std::nullopt;
  return *chosen;
}

}  // namespace dorv::tables
