// The units, number texts and inch sizes that both English reports print.
#include <gtest/gtest.h>

#include <string>

#include "reportkit/report_units.h"
#include "text/numtext.h"

namespace dorv::report {
namespace {

constexpr ReportUnits US = ReportUnits::US;
constexpr ReportUnits WE = ReportUnits::WestEuropean;

// A converted value as the tables print it, rounded to two decimals.
double r2(double x) { return round_half_even(x, 2); }

TEST(ReportUnits, ConversionsRoundedAsPrinted) {
  struct Case {
    const char* what;
    double got;
    double want;
  };
  const Case cases[] = {
      {"head 6.89 m in psi", r2(head_in_units(6.89, US)), 10},
      {"head 6.89 m in bar", r2(head_in_units(6.89, WE)), 0.69},
      {"head 12.34 m in psi", r2(head_in_units(12.34, US)), 17.91},
      {"flow 1 L/s in gpm", r2(flow_in_units(1, US)), 15.85},
      {"flow 1 L/s in L/min", r2(flow_in_units(1, WE)), 60},
      {"length 3 m in ft", r2(length_in_units(3, US)), 9.84},
      {"length 3 m stays m", r2(length_in_units(3, WE)), 3},
      {"area 12 m2 in ft2", r2(area_in_units(12, US)), 129.17},
      {"area 12 m2 stays m2", r2(area_in_units(12, WE)), 12},
      {"intensity 0.5 in gpm/ft2", r2(intensity_in_units(0.5, US)), 0.74},
      {"intensity 1 in gpm/ft2", r2(intensity_in_units(1, US)), 1.47},
      {"intensity 0.08 in L/(min*m2)", r2(intensity_in_units(0.08, WE)), 4.8},
      // K of 20 or less is per L/(s·m^0.5); 20 itself belongs there.
      {"K 20 in US", k_factor_in_units(20, US), 266},
      {"K 20 in West-European", k_factor_in_units(20, WE), 3800},
      {"K 0.47 in US", k_factor_in_units(0.47, US), 6.3},
      {"K 0.47 in West-European", k_factor_in_units(0.47, WE), 89.3},
      // Above 20 it is already per L/(min·bar^0.5).
      {"K 20.5 in US", k_factor_in_units(20.5, US), 1.4},
      {"K 20.5 in West-European, as typed", k_factor_in_units(20.5, WE), 20.5},
      {"K 80.25 in West-European, not rounded", k_factor_in_units(80.25, WE), 80.25},
      {"K 80 in US", k_factor_in_units(80, US), 5.6},
      // Ties go to the even digit.
      {"2.125 to two decimals", r2(2.125), 2.12},
      {"0.375 to two decimals", r2(0.375), 0.38},
      {"0.25 to one decimal", round_half_even(0.25, 1), 0.2},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.got, c.want) << c.what;
}

TEST(ReportUnits, ValveCoefficientText) {
  // The loss coefficient is tiny and printed unrounded with its leading "0".
  EXPECT_EQ(valve_coefficient_text(0.0012, US), L"0.00000696");
  // m/(L/s)² to bar/(L/min)²: a tenth for the head, 60² for the flow.
  EXPECT_EQ(valve_coefficient_text(0.0036, WE), L"0.0000001");
  // Its long tail is cut to six significant digits, so the line fits the page.
  EXPECT_EQ(valve_coefficient_text(0.0019, WE), L"0.0000000527778");
  EXPECT_DOUBLE_EQ(valve_coefficient_in_units(1, WE) * 10 * 3600, 1);
  // A valve text without a number: the "0" stands before the number's own 0.
  EXPECT_EQ(valve_coefficient_text(0, US), L"00");
  EXPECT_EQ(valve_coefficient_text(0, WE), L"00");
}

TEST(ReportUnits, NumberTexts) {
  struct Case {
    double x;
    const wchar_t* plain;
    const wchar_t* table;
  };
  const Case cases[] = {
      {12.5, L" 12.5", L"12.5"},   {12, L" 12", L"12.0"},      {0.5, L" .5", L"0.5"},
      {-0.25, L"-.25", L"-0.25"},  {0, L" 0", L"0.0"},         {0.05, L" .05", L"0.05"},
      {-0.5, L"-.5", L"-0.5"},     {100, L" 100", L"100.0"},   {5, L" 5", L"5.0"},
      {-3, L"-3", L"-3.0"},        {12.25, L" 12.25", L"12.25"}, {-12.25, L"-12.25", L"-12.25"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlainNumberText(c.x), c.plain) << c.x;
    EXPECT_EQ(NumberText(c.x), c.table) << c.x;
  }
}

TEST(ReportUnits, PointAlignment) {
  EXPECT_EQ(point_position(L"12.34"), 3u);
  EXPECT_EQ(point_position(L"120"), 4u);  // anchored behind the last digit
  EXPECT_EQ(digits_after_point(L"12.34"), 2u);
  EXPECT_EQ(digits_after_point(L"120"), 0u);
  EXPECT_EQ(blank_run(3), L"   ");
  EXPECT_EQ(blank_run(-2), L"");
  EXPECT_EQ(blank_run(-2, 1), L" ");

  // The plain text placed at the column puts its point in the wanted column,
  // or one to the left below 1 and where rounding adds a digit.
  struct Case {
    double value;
    long long point_column_got;
  };
  const Case cases[] = {{17.91, 21}, {0.5, 20}, {9.49, 21}, {9.5, 20}, {99.99, 20}, {123.45, 21}, {-1.5, 21}};
  for (const Case& c : cases) {
    const std::wstring text = PlainNumberText(c.value);
    const long long start = column_for_point(c.value, 21);
    EXPECT_EQ(start + static_cast<long long>(point_position(text)) - 1, c.point_column_got) << c.value;
  }
  EXPECT_EQ(column_for_point(17.91, 21), 18);
}

TEST(ReportUnits, InchSizes) {
  struct Case {
    double mm;
    const wchar_t* inches;
  };
  const Case cases[] = {
      {15, L" 1/2"}, {20, L" 3/4"}, {25, L"1"},   {32, L"1 1/4"}, {40, L"1 1/2"}, {50, L"2"},
      {63, L"2 1/2"}, {65, L"2 1/2"}, {80, L"3"}, {110, L"4 1/4"}, {150, L"6"},  {160, L"6"},
      {350, L"14"},
      // Sizes the table lacks keep their millimetres instead of the
      // designation of whatever pipe was looked up before.
      {70, L"70 mm"}, {57, L"57 mm"}, {0, L"0 mm"},
  };
  for (const Case& c : cases) EXPECT_EQ(InchSizeTable(c.mm), c.inches) << c.mm;
  // A size of the second pipe standard is typed with "*"; its number finds the row.
  EXPECT_EQ(InchSizeTable(num_value(L"50*")) + L"*", L"2*");
}

}  // namespace
}  // namespace dorv::report
