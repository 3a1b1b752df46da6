// The free head and the intensity kept consistent as the fields are left.
#include <gtest/gtest.h>

#include "gridform/fieldrules.h"
#include "text/codepage.h"

namespace {

using namespace dorv::grid;

struct Fields {
  const wchar_t* head;       // Text1(0)
  const wchar_t* k;          // Text1(1)
  const wchar_t* a;          // Text1(7)
  const wchar_t* b;          // Text1(8)
  const wchar_t* intensity;  // Text1(18)
};

TEST(FieldRules, TableOfCases) {
  struct Case {
    const char* what;
    int left;  // the field that loses the focus
    Fields before;
    Fields after;
    double effective_k;  // -1: not computed
  } cases[] = {
      {"head from intensity", 18, {L"", L".47", L"3", L"4", L".08"}, {L" 4.17", L".47", L"3", L"4", L".08"}, 0.47},
      {"K above 20 is per L/min", 1, {L"", L"90", L"3", L"4", L".08"}, {L" 4.11", L"90", L"3", L"4", L".08"},
       90.0 / 190},
      {"K of exactly 20 stays; a head below .005 shows 0", 7, {L"9", L"20", L"3", L"4", L".08"},
       {L" 0", L"20", L"3", L"4", L".08"}, 20},
      {"intensity from head", 0, {L"4.17", L".47", L"3", L"4", L""}, {L"4.17", L".47", L"3", L"4", L" 0.08"}, 0.47},
      {"a head of 1.00 shows 1", 8, {L"", L"1", L"1", L"1", L"1"}, {L" 1", L"1", L"1", L"1", L"1"}, 1},
      {"a head below 1 gets its zero", 18, {L"", L"1", L"1", L"1", L".6708"}, {L" 0.45", L"1", L"1", L"1", L".6708"},
       1},
      {"a comma stays while a field is empty", 7, {L"", L".47", L"3,5", L"4", L""}, {L"", L".47", L"3,5", L"4", L""},
       -1},
      {"commas become points once all are filled", 7, {L"", L",47", L"3,5", L"4", L"0,08"},
       {L" 5.68", L".47", L"3.5", L"4", L"0.08"}, 0.47},
      {"a blank counts as filled", 18, {L"", L" ", L"3", L"4", L".08"}, {L"", L" ", L"3", L"4", L".08"}, 0},
      {"leaving the free head with a spacing of 0 changes nothing else", 0, {L"4", L".47", L"0", L"4", L".1"},
       {L"4", L".47", L"0", L"4", L".1"}, 0.47},
      {"a negative head has no intensity", 0, {L"-1", L".47", L"3", L"4", L".1"}, {L"-1", L".47", L"3", L"4", L".1"},
       0.47},
      {"the area field is not part of the rule", 2, {L"", L".47", L"3", L"4", L".08"},
       {L"", L".47", L"3", L"4", L".08"}, -1},
      {"nor the height between rows and pipes", 17, {L"", L".47", L"3", L"4", L".08"},
       {L"", L".47", L"3", L"4", L".08"}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::array<std::wstring, 19> f{};
    f[0] = c.before.head, f[1] = c.before.k, f[7] = c.before.a, f[8] = c.before.b, f[18] = c.before.intensity;
    f[2] = L"120";
    f[17] = L"1,5";
    double k_eff = -1;
    apply_field_rule(c.left, f, k_eff);
    EXPECT_EQ(dorv::to_utf8(f[0]), dorv::to_utf8(c.after.head));
    EXPECT_EQ(dorv::to_utf8(f[1]), dorv::to_utf8(c.after.k));
    EXPECT_EQ(dorv::to_utf8(f[7]), dorv::to_utf8(c.after.a));
    EXPECT_EQ(dorv::to_utf8(f[8]), dorv::to_utf8(c.after.b));
    EXPECT_EQ(dorv::to_utf8(f[18]), dorv::to_utf8(c.after.intensity));
    EXPECT_EQ(f[17], L"1,5");
    EXPECT_NEAR(k_eff, c.effective_k, 1e-12);
  }
}

}  // namespace
