// What the grid solver programs share in writing the grid result file
// spr.out: the table of heads in the opened sprinklers and the file itself.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "solvers/common/gridparams.h"

namespace dorv::solvers {

// One head cell, "%6.2lf   ".
std::wstring head_cell(double head);

// The rows of sprinkler heads: each full line of the square from the far end
// towards the feed, one cell a column and a line break; then the partial
// line, with no line break after it: PartialOffset cells of 0, its heads,
// and cells of 0 up to SquareWidth. Without a partial line that last row is
// SquareWidth cells of 0 when zero_row_without_partial, else it is left out.
// head(node) gives the head to print for a sprinkler node (2q+1..M).
std::wstring square_head_rows(const ParameterRecord& r, const std::function<double(int node)>& head,
                            bool zero_row_without_partial);

// printf writes a negative value that rounds to zero at its decimals (a
// negative zero, or -0.0001 at three) as "-0.000"; to the reader it is zero.
// Each such number of the text loses its "-" to a blank, so that every
// column stays where it was.
std::wstring without_negative_zeros(std::wstring text);

// No head (m) or flow (L/s) of any installation comes near this; a result
// that does is no solution of the grid.
inline constexpr double kMaxResultValue = 1e6;

// True when every number in the text is finite and, with bound > 0, below
// bound in magnitude. The texts checked (spr.out, the solver's problem file)
// hold Cyrillic labels and numbers alone, so "nan" or "inf" in them can only
// be a number the formatter could not write.
bool numbers_sensible(std::wstring_view text, double bound);

// Writes the text as spr.out is kept: code page 866, each "\n" as CR LF.
// The file is replaced whole, so that it never holds a part of a report;
// it is a working file of the run (as is a position's problem file), handed
// on at once, so nobody waits for the disk. Returns false when it could not
// be written.
bool write_result_file(const std::filesystem::path& path, std::wstring_view text);

// Leaves the file empty, so that no earlier result passes for this run's;
// a missing file stays missing (no result either way). False on failure.
bool empty_result_file(const std::filesystem::path& path);

}  // namespace dorv::solvers
