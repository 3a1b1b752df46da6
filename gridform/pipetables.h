// The pipe standard file trub.inf and the pipe tables read from it. A block
// per standard: a header line holding "#" ("#" and the standard's name), then
// rows of four numbers: nominal diameter, outer diameter, wall, specific
// characteristic K_T. The arbitrary-configuration form reads it the same way.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace dorv::grid {

constexpr const wchar_t* kPipeStandardFile = L"trub.inf";

// One loaded standard: rows 1..n, columns 1 DN, 2 outer diameter, 3 wall,
// 4 K_T, 5 the row's number; row 0 and column 0 hold nothing.
struct PipeTable {
  std::vector<std::array<double, 6>> rows;
  std::size_t row_count() const { return rows.empty() ? 0 : rows.size() - 1; }
  bool empty() const { return row_count() == 0; }
};

// The standards as the lists show them: every line holding "#", without its
// first character, in file order.
std::vector<std::wstring> pipe_standard_names(const std::vector<std::wstring>& lines);

// The block of a standard as the list names it: the header line whose name
// (the line without its first character, blanks at its ends aside) equals
// the name. A part of a name, or a name with something added, finds no
// block. Nothing either when only the file's last line is that header (a
// header without rows).
std::optional<std::size_t> find_pipe_standard(const std::vector<std::wstring>& lines, const std::wstring& name);

// Rows of the block whose header is line `header`: the lines after it longer
// than 5 characters without "#", up to the next line with "#".
std::size_t count_pipe_rows(const std::vector<std::wstring>& lines, std::size_t header);

// Loads a standard's table: 4·n numbers read in free format after the header
// (blanks, commas and line ends separate them), n counted as above. An item
// that is no number reads as 0, and so does one missing at the end of the file.
std::optional<PipeTable> load_pipe_table(const std::vector<std::wstring>& lines, const std::wstring& name);

// The file's lines; nothing when it is missing or cannot be read.
std::optional<std::vector<std::wstring>> read_pipe_standard_file(const std::wstring& name = kPipeStandardFile);

}  // namespace dorv::grid
