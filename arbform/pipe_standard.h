// The pipe standards of the pipe standard file trub.inf: per standard a
// header line with "#" and the standard's name, then one row per pipe size of
// four numbers (nominal diameter, outer diameter, wall, specific
// characteristic K_T).
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorv::arb {

struct PipeRow {
  double nominal = 0;  // mm
  double outer = 0;    // mm
  double wall = 0;     // mm
  double kt = 0;       // specific characteristic: loss L*Q^2/K_T over length L
};

struct PipeTable {
  std::vector<PipeRow> rows;  // rows[0] is the table's row 1
  // The row whose nominal diameter equals dn (1-based), 0 when none.
  int row_of(double dn) const;
};

// The block of a standard among the lines of a pipe standard file. Only
// header lines (lines with "#") are searched for the name, the first one that
// contains it wins; an empty name is never found, nor is a header that is the
// file's last line. Rows are the block's lines longer than 5 characters up to
// the next line with "#"; each gives its own four numbers (a number missing
// from a row counts as 0, so that a short row never shifts the rows after it).
std::optional<PipeTable> find_pipe_standard(const std::vector<std::wstring>& lines, std::wstring_view name);
// The same from the file; nothing when the file cannot be read.
std::optional<PipeTable> load_pipe_standard(const std::filesystem::path& file, std::wstring_view name);

}  // namespace dorv::arb
