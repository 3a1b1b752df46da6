// The sprinkler field rules on the texts of a group.
#include <gtest/gtest.h>

#include "arbmodel/field_rules.h"

namespace {

using namespace dorv::arb;
using Texts = std::array<std::wstring, 4>;

// A value that the import or a field rule computed goes when a value it was
// computed from is emptied or leaves its range; the user's own values stay,
// and no field shows a number out of all measure.
TEST(FieldRules, AComputedValueGoesWithTheValuesItCameFrom) {
  // As the import leaves the main sprinklers: the free head computed.
  Texts main = {L" 0.08", L" 12", L" .47", L" 4.17"};
  ImportedValues v;
  v.SprinklerComputedField[kMainKind] = ComputedField::FreeHead;
  auto leave = [&](int index, const wchar_t* text) {
    main[static_cast<std::size_t>(index)] = text;
    main_sprinkler_field_left({&main[0], &main[1], &main[2], &main[3]}, index, v);
  };
  leave(1, L"");  // the imported head came from the area
  EXPECT_EQ(main, (Texts{L" 0.08", L"", L" .47", L""}));
  leave(1, L"12");
  EXPECT_EQ(main, (Texts{L" 0.08", L"12", L" .47", L" 4.17"}));
  leave(3, L"5");  // the user's head: the intensity follows from it
  EXPECT_EQ(main, (Texts{L" 0.088", L"12", L" .47", L"5"}));
  leave(2, L"");
  EXPECT_EQ(main, (Texts{L"", L"12", L"", L"5"}));
  leave(2, L"0.47");  // nothing to compute from: nothing cleared either
  EXPECT_EQ(main, (Texts{L"", L"12", L"0.47", L"5"}));
  leave(0, L"0.08");
  EXPECT_EQ(main, (Texts{L"0.08", L"12", L"0.47", L" 4.17"}));
  leave(0, L"99999999");
  EXPECT_EQ(main, (Texts{L"99999999", L"12", L"0.47", L""}));
  leave(0, L"0,08");
  leave(2, L"0.0000001");  // a K-factor below any sprinkler's
  EXPECT_EQ(main, (Texts{L"0.08", L"12", L"0.0000001", L""}));

  // The rack sprinklers by the same rule; only the field left takes the point.
  Texts rack = {L"0,1", L"12", L"95", L""};
  const SprinklerTexts fields = {&rack[0], &rack[1], &rack[2], &rack[3]};
  rack_sprinkler_field_left(fields, 2, v);
  EXPECT_EQ(rack, (Texts{L"0,1", L"12", L"95", L" 5.76"}));
  rack[1] = L"";
  rack_sprinkler_field_left(fields, 1, v);
  EXPECT_EQ(rack, (Texts{L"0,1", L"", L"95", L""}));
  EXPECT_EQ(v.SprinklerComputedField[kRackKind], ComputedField::None);
}

}  // namespace
