#include "arbform/pipe_standard.h"

#include "text/linefile.h"
#include "text/number.h"
#include "text/strings.h"

namespace dorv::arb {

int PipeTable::row_of(double dn) const {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].nominal == dn) return static_cast<int>(i) + 1;
  return 0;
}

namespace {

// Up to four numbers of a row, separated by blanks or commas.
PipeRow parse_row(std::wstring_view line) {
  double v[4] = {0, 0, 0, 0};
  std::size_t i = 0;
  for (double& x : v) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L',' || line[i] == L'\t')) ++i;
    const std::size_t n = scan_decimal(line.substr(i), x);
    if (n == 0) break;
    i += n;
  }
  return {v[0], v[1], v[2], v[3]};
}

}  // namespace

std::optional<PipeTable> find_pipe_standard(const std::vector<std::wstring>& lines, std::wstring_view name) {
  if (name.empty()) return std::nullopt;
  std::size_t header = lines.size();
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (contains(lines[i], L"#") && contains(lines[i], name)) {
      header = i;
      break;
    }
  }
  if (header == lines.size()) return std::nullopt;
  PipeTable table;
  for (std::size_t i = header + 1; i < lines.size() && !contains(lines[i], L"#"); ++i)
    if (lines[i].size() > 5) table.rows.push_back(parse_row(lines[i]));
  return table;
}

std::optional<PipeTable> load_pipe_standard(const std::filesystem::path& file, std::wstring_view name) {
  const auto lines = try_read_lines(file);
  if (!lines) return std::nullopt;
  return find_pipe_standard(*lines, name);
}

}  // namespace dorv::arb
