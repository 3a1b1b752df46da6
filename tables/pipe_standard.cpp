#include "tables/pipe_standard.h"

#include "text/linefile.h"
#include "text/number.h"
#include "text/strings.h"

namespace dorv::tables {

int PipeTable::row_of(double dn) const {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].nominal == dn) return static_cast<int>(i) + 1;
  return 0;
}

std::vector<std::wstring> pipe_standard_names(const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> names;
  for (const auto& line : lines)
    if (contains(line, L"#")) names.push_back(line.substr(1));
  return names;
}

std::optional<std::size_t> find_pipe_standard(const std::vector<std::wstring>& lines, const std::wstring& name,
                                              StandardName rule) {
  const std::wstring wanted = rule == StandardName::Whole ? trim(name) : name;
  if (wanted.empty()) return std::nullopt;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (!contains(lines[i], L"#")) continue;
    if (rule == StandardName::Whole ? trim(lines[i].substr(1)) == wanted : contains(lines[i], wanted)) return i;
  }
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

bool is_separator(wchar_t c) { return c == L' ' || c == L'\t' || c == L','; }

// Items in free format from line `from` on: blanks, commas and line ends
// separate them.
class NumberStream {
 public:
  NumberStream(const std::vector<std::wstring>& lines, std::size_t from) : lines_(lines), line_(from) {}
  double next() {
    while (line_ < lines_.size()) {
      const std::wstring& text = lines_[line_];
      while (pos_ < text.size() && is_separator(text[pos_])) ++pos_;
      if (pos_ >= text.size()) {
        ++line_;
        pos_ = 0;
        continue;
      }
      std::size_t end = pos_;
      while (end < text.size() && !is_separator(text[end])) ++end;
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

// Up to four numbers of one row.
PipeRow row_of_line(std::wstring_view line) {
  double v[4] = {0, 0, 0, 0};
  std::size_t i = 0;
  for (double& x : v) {
    while (i < line.size() && is_separator(line[i])) ++i;
    const std::size_t n = scan_decimal(line.substr(i), x);
    if (n == 0) break;
    i += n;
  }
  return {v[0], v[1], v[2], v[3]};
}

}  // namespace

std::optional<PipeTable> load_pipe_table(const std::vector<std::wstring>& lines, const std::wstring& name,
                                         StandardName name_rule, RowNumbers number_rule) {
  const auto header = find_pipe_standard(lines, name, name_rule);
  if (!header) return std::nullopt;
  PipeTable table;
  if (number_rule == RowNumbers::Stream) {
    NumberStream numbers(lines, *header + 1);
    table.rows.resize(count_pipe_rows(lines, *header));
    for (PipeRow& row : table.rows) {
      row.nominal = numbers.next();
      row.outer = numbers.next();
      row.wall = numbers.next();
      row.kt = numbers.next();
    }
  } else {
    for (std::size_t i = *header + 1; i < lines.size() && !contains(lines[i], L"#"); ++i)
      if (lines[i].size() > 5) table.rows.push_back(row_of_line(lines[i]));
  }
  return table;
}

std::optional<std::vector<std::wstring>> read_pipe_standard_file(const std::filesystem::path& file) {
  try {
    return try_read_lines(file);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace dorv::tables
