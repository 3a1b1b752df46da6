#include "gridform/gridrecord.h"

#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {

namespace {

std::vector<std::wstring> record_lines(const GridRecordSource& s, const std::wstring& height_line) {
  std::vector<std::wstring> lines;
  lines.reserve(kGridRecordLines);
  lines.push_back(s.calc_id);
  lines.push_back(s.object);
  for (const auto& f : s.fields) lines.push_back(ltrim(f));
  lines.push_back(s.second_standard.empty() ? s.main_standard : s.main_standard + L"," + s.second_standard);
  lines.push_back(s.valve);
  lines.push_back(s.valve_selection);
  lines.push_back(s.feed_pipeline);
  lines.push_back(num_text(s.total_head));
  lines.push_back(num_text(s.total_flow));
  lines.push_back(height_line);
  for (const auto& r : s.results) lines.push_back(r);
  return lines;
}

}  // namespace

std::vector<std::wstring> grid_record_of_run(const GridRecordSource& s, double total_height) {
  return record_lines(s, num_text(total_height));
}

std::vector<std::wstring> grid_record_at_closing(const GridRecordSource& s) { return record_lines(s, L" 0"); }

std::pair<std::wstring, std::wstring> split_standards(std::wstring line) {
  static const std::wstring old_name = L"10704-76", new_name = L"10704-91";
  for (std::size_t p = line.find(old_name); p != std::wstring::npos; p = line.find(old_name, p + new_name.size()))
    line.replace(p, old_name.size(), new_name);
  const std::size_t comma = line.find(L',');
  if (comma == std::wstring::npos) return {line, L""};
  return {trim(line.substr(0, comma)), trim(line.substr(comma + 1))};
}

GridRecordRead parse_grid_record(const std::vector<std::wstring>& lines) {
  GridRecordRead r;
  r.lines_read = std::min(lines.size(), kGridRecordLines);
  const auto line = [&](std::size_t n) -> std::wstring { return n <= lines.size() ? lines[n - 1] : std::wstring(); };
  for (std::size_t i = 0; i < kGridFieldCount && i + 3 <= lines.size(); ++i) {
    r.field_lines[i] = line(i + 3);
    r.fields[i] = L" " + ltrim(r.field_lines[i]);
  }
  if (lines.size() >= 22) std::tie(r.main_standard, r.second_standard) = split_standards(line(22));
  r.valve = line(23);
  r.valve_selection = line(24);
  r.feed_pipeline = line(25);
  r.total_head = num_value(line(26));
  r.total_flow = num_value(line(27));
  for (std::size_t i = 0; i < 4; ++i) r.previous_results[i] = line(29 + i);
  return r;
}

}  // namespace dorv::grid
