#include "tables/k_factor.h"

#include "text/numtext.h"

namespace dorv::tables {

double sprinkler_k_factor(double typed, KRounding rounding) {
  if (!(typed > 20)) return rounding == KRounding::UndividedHalfEven8 ? round_half_even(typed, 8) : typed;
  const double divided = typed / 190;
  switch (rounding) {
    case KRounding::DividedCut2:
      return cut2(divided);
    case KRounding::DividedHalfEven8:
      return round_half_even(divided, 8);
    case KRounding::None:
    case KRounding::UndividedHalfEven8:
      break;
  }
  return divided;
}

}  // namespace dorv::tables
