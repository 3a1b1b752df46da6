// The rules of the network form's sprinkler fields, on their texts: a number
// typed with a comma takes the point, and the free head and the intensity of
// a sprinkler group follow each other through its area and K-factor. The
// form runs them when a field loses the focus, the calculation when it has
// asked for a missing value.
#pragma once
#include <array>
#include <string>

#include "arbmodel/form4_state.h"

namespace dorv::arb {

// A sprinkler group's field texts: intensity, area, K-factor, free head.
using SprinklerTexts = std::array<std::wstring*, 4>;

// The main sprinklers' field `left` (0 to 3) left: every field of the group
// takes the point, then the field's rule runs; the K-factor the calculation
// uses is kept in MainSprinklerK.
void main_sprinkler_field_left(const SprinklerTexts& fields, int left, ImportedValues& v);
// A rack sprinklers' field left: that field takes the point, then its rule
// runs.
void rack_sprinkler_field_left(const SprinklerTexts& fields, int left, ImportedValues& v);

}  // namespace dorv::arb
