#include "gridform/pipetables.h"

#include "platform/files.h"
#include "text/linefile.h"
#include "text/number.h"
#include "text/strings.h"

namespace dorv::grid {

std::vector<std::wstring> pipe_standard_names(const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> names;
  for (const auto& line : lines)
    if (contains(line, L"#")) names.push_back(line.substr(1));
  return names;
}

std::optional<std::size_t> find_pipe_standard(const std::vector<std::wstring>& lines, const std::wstring& name) {
  const std::wstring wanted = trim(name);
  if (wanted.empty()) return std::nullopt;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if (contains(lines[i], L"#") && trim(lines[i].substr(1)) == wanted) return i;
  return std::nullopt;
}

std::size_t count_pipe_rows(const std::vector<std::wstring>& lines, std::size_t header) {
  std::size_t n = 0;
  for (std::size_t i = header + 1; i < lines.size(); ++i) {
    if (contains(lines[i], L"#")) break;
    if (lines[i].size() > 5) ++n;
  }
  return n;
}

namespace {

// Items in free format from line `from` on: blanks, commas and line ends
// separate them.
class FreeFormatNumbers {
 public:
  FreeFormatNumbers(const std::vector<std::wstring>& lines, std::size_t from) : lines_(lines), line_(from) {}
  double next() {
    while (line_ < lines_.size()) {
      const std::wstring& text = lines_[line_];
      while (pos_ < text.size() && (text[pos_] == L' ' || text[pos_] == L'\t' || text[pos_] == L',')) ++pos_;
      if (pos_ >= text.size()) {
        ++line_;
        pos_ = 0;
        continue;
      }
      std::size_t end = pos_;
      while (end < text.size() && text[end] != L' ' && text[end] != L'\t' && text[end] != L',') ++end;
      double value = 0;
      scan_decimal(std::wstring_view(text).substr(pos_, end - pos_), value);
      pos_ = end;
      return value;
    }
    return 0;
  }

 private:
  const std::vector<std::wstring>& lines_;
  std::size_t line_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<PipeTable> load_pipe_table(const std::vector<std::wstring>& lines, const std::wstring& name) {
  const auto header = find_pipe_standard(lines, name);
  if (!header) return std::nullopt;
  const std::size_t n = count_pipe_rows(lines, *header);
  PipeTable table;
  table.rows.assign(n + 1, std::array<double, 6>{});
  FreeFormatNumbers numbers(lines, *header + 1);
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t c = 1; c <= 4; ++c) table.rows[i][c] = numbers.next();
    table.rows[i][5] = static_cast<double>(i);
  }
  return table;
}

std::optional<std::vector<std::wstring>> read_pipe_standard_file(const std::wstring& name) {
  try {
    return try_read_lines(sys::resolve(name));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace dorv::grid
