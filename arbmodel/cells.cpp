#include "arbmodel/cells.h"

#include "text/numtext.h"

namespace dorv::arb {

double Cell::number_value() const { return is_text ? num_value(text) : value; }

std::wstring Cell::str() const { return is_text ? text : num_text_trim(value); }

Table make_table(std::size_t rows, std::size_t columns) {
  return Table(rows + 1, std::vector<Cell>(columns + 1, Cell::of_text(L"")));
}

std::vector<std::wstring> blank_fields(std::wstring_view line) {
  std::vector<std::wstring> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == L' ') ++i;
    const std::size_t s = i;
    while (i < line.size() && line[i] != L' ') ++i;
    if (i > s) out.emplace_back(line.substr(s, i - s));
  }
  return out;
}

}  // namespace dorv::arb
