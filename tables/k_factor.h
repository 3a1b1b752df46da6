// The sprinklers' K-factor as the calculations use it, in L/(s·m^0.5): one
// typed above 20 is per L/(min·bar^0.5) and is divided by 190; one of 20 or
// less is taken as typed.
#pragma once

namespace dorv::tables {

// What each user of the K-factor rounds.
enum class KRounding {
  None,                 // nothing
  DividedCut2,          // a divided K-factor is cut to 2 decimals
  DividedHalfEven8,     // a divided K-factor is rounded to 8 decimals, a half to even
  UndividedHalfEven8,   // one of 20 or less is rounded to 8 decimals, a half to even; a divided one is not
};

double sprinkler_k_factor(double typed, KRounding rounding);

}  // namespace dorv::tables
