// The form's network tables hold cells that are either a number or a text
// (a diameter of the second pipe standard, "25*", stays text). Tables are
// indexed from 1 as the calculation and the report address them; row 0 and
// column 0 carry nothing.
#pragma once
#include <string>
#include <vector>

namespace dorv::arb {

struct Cell {
  double value = 0;
  std::wstring text;
  bool is_text = false;

  static Cell number(double v) { return Cell{v, {}, false}; }
  static Cell of_text(std::wstring t) { return Cell{0, std::move(t), true}; }
  // The number a cell stands for: a text cell's leading number.
  double number_value() const;
  // A number in its shortest decimal form (no leading blank), a text as it is.
  std::wstring str() const;
  bool empty() const { return is_text && text.empty(); }
};

using Table = std::vector<std::vector<Cell>>;
// rows + 1 rows of columns + 1 cells, every cell an empty text... or 0.
Table make_table(std::size_t rows, std::size_t columns);

// Fields of a line separated by runs of blanks.
std::vector<std::wstring> blank_fields(std::wstring_view line);

}  // namespace dorv::arb
