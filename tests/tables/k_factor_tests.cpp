// The K-factor: above 20 divided by 190, with each user's rounding.
#include <gtest/gtest.h>

#include "tables/k_factor.h"

namespace {

using dorv::tables::KRounding;
using dorv::tables::sprinkler_k_factor;

TEST(KFactor, AboveTwentyIsDividedAndRoundedAsAsked) {
  struct Case {
    double typed;
    KRounding rounding;
    double expected;
  };
  const Case cases[] = {
      {20, KRounding::None, 20},  // 20 itself is not divided
      {20.01, KRounding::None, 20.01 / 190},
      {80, KRounding::DividedCut2, 0.42},  // 0.42105… cut
      {90, KRounding::DividedCut2, 0.47},  // 0.47368… cut, not rounded
      {0.123456789, KRounding::DividedCut2, 0.123456789},
      {80, KRounding::DividedHalfEven8, 0.42105263},
      {0.123456789, KRounding::DividedHalfEven8, 0.123456789},
      {80, KRounding::UndividedHalfEven8, 80.0 / 190},
      {0.123456789, KRounding::UndividedHalfEven8, 0.12345679},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sprinkler_k_factor(c.typed, c.rounding), c.expected)
        << c.typed << " rounding " << static_cast<int>(c.rounding);
}

}  // namespace
