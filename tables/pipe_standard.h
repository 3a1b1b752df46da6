// The pipe standard file trub.inf and the pipe tables read from it. A block
// per standard: a header line holding "#" ("#" and the standard's name), then
// rows of four numbers: nominal diameter, outer diameter, wall, specific
// characteristic K_T, separated by blanks or commas. A block ends at the next
// line holding "#" or at the end of the file. The grid form, the arbitrary
// form and netexport all read it here; they differ only in the two rules
// below.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dorv::tables {

constexpr const wchar_t* kPipeStandardFile = L"trub.inf";
// What a form's main standard shows when none is chosen.
constexpr const wchar_t* kNoStandard = L"ГОСТ на трубы";

struct PipeRow {
  double nominal = 0;  // mm
  double outer = 0;    // mm
  double wall = 0;     // mm
  double kt = 0;       // specific characteristic: loss L*Q^2/K_T over length L
  double inner() const { return outer - 2 * wall; }
};

struct PipeTable {
  std::vector<PipeRow> rows;  // rows[0] is the table's row 1
  int row_count() const { return static_cast<int>(rows.size()); }
  bool empty() const { return rows.empty(); }
  // Row k, from 1 to row_count().
  const PipeRow& row(int k) const { return rows[static_cast<std::size_t>(k - 1)]; }
  // The first row whose nominal diameter equals dn (1-based), 0 when none.
  int row_of(double dn) const;
};

// How a standard's name finds its header line. Either way only header lines
// are searched, an empty name finds nothing, and a header that is the file's
// last line (a header without rows) counts as missing.
enum class StandardName {
  Whole,         // the header's name, blanks at its ends aside, equals the name (blanks around it aside)
  PartOfHeader,  // the first header line that contains the name anywhere
};

// How the rows' numbers are read; the rows are the block's lines longer
// than 5 characters either way.
enum class RowNumbers {
  // 4·n numbers in free format after the header, whatever the line breaks
  // (blanks, commas and line ends separate them): a short row takes its
  // missing numbers from the next line. An item that is no number, or one
  // missing at the end of the file, reads as 0.
  Stream,
  // Each row its own four numbers, up to the first item that is no number; a
  // number missing from a row counts as 0, so a short row never shifts the
  // rows after it.
  PerLine,
};

// The standards as the lists show them: every line holding "#", without its
// first character, in file order.
std::vector<std::wstring> pipe_standard_names(const std::vector<std::wstring>& lines);

// The line number of the standard's header line.
std::optional<std::size_t> find_pipe_standard(const std::vector<std::wstring>& lines, const std::wstring& name,
                                              StandardName rule);

// Rows of the block whose header is line `header`: the lines after it longer
// than 5 characters without "#", up to the next line with "#".
std::size_t count_pipe_rows(const std::vector<std::wstring>& lines, std::size_t header);

// A standard's table; nothing when the standard is missing.
std::optional<PipeTable> load_pipe_table(const std::vector<std::wstring>& lines, const std::wstring& name,
                                         StandardName name_rule, RowNumbers number_rule);

// The file's lines; nothing when it is missing or cannot be read.
std::optional<std::vector<std::wstring>> read_pipe_standard_file(const std::filesystem::path& file);

}  // namespace dorv::tables
