// The grid parameter file spr.in as the grid form writes it: 17 numbers, one
// a line, each after a label that holds no digit and no "-".
#pragma once
#include <string>
#include <vector>

#include "text/number.h"

namespace dorv::testing {

// Values in file order: a, b, sprinklers a line, lines, line pipe K, main 1
// K, required head, sprinkler K, open sprinklers, tolerance, cross-pipe K,
// feed offset, riser height, main 2 K, ring K, dead ends 1, dead ends 2.
// Numbers with a decimal point whatever the locale.
inline std::string grid_parameter_text(const std::vector<double>& values) {
  std::string t;
  for (std::size_t i = 0; i < values.size(); ++i)
    t += dorv::cformat("value %c = %.10g\r\n", static_cast<char>('A' + i), values[i]);
  return t;
}

}  // namespace dorv::testing
