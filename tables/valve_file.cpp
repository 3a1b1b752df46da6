#include "tables/valve_file.h"

#include "text/numtext.h"

namespace dorv::tables {

std::vector<std::wstring> valve_names(const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> names;
  for (const auto& line : lines)
    if (num_value(line) == 0) names.push_back(line);
  return names;
}

bool has_valve_coefficient(std::wstring_view line) { return num_value(line) > 0; }

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

bool valve_has_coefficients(const std::vector<std::wstring>& lines, const std::wstring& name) {
  const auto sizes = valve_sizes(lines, name);
  if (!sizes || sizes->empty()) return false;
  for (const auto& line : *sizes)
    if (!has_valve_coefficient(line)) return false;
  return true;
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
  if (!has_valve_coefficient(*chosen)) return std::nullopt;
  return *chosen;
}

}  // namespace dorv::tables
