#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "tests/support/comma_locale.h"
#include "text/number.h"
#include "text/numtext.h"

using namespace dorv;
using dorv::testing::CommaLocale;

TEST(Number, ScanDecimalTable) {
  struct Case {
    const char* text;
    std::size_t length;
    double value;
    bool exponent;
  };
  const Case cases[] = {
      {"3.5", 3, 3.5, true},          {".32", 3, 0.32, true},         {"-.5x", 3, -0.5, true},
      {"+7", 2, 7.0, true},           {"12.", 3, 12.0, true},         {"1.2.3", 3, 1.2, true},
      {"1e3", 3, 1000.0, true},       {"1e3", 1, 1.0, false},         {"2E-2,", 4, 0.02, true},
      {"5e", 1, 5.0, true},           {"5e+", 1, 5.0, true},          {"-", 0, -1.0, true},
      {".", 0, -1.0, true},           {" 4", 0, -1.0, true},          {"", 0, -1.0, true},
      {"1e400", 5, std::numeric_limits<double>::infinity(), true},
      {"-1e400", 6, -std::numeric_limits<double>::infinity(), true},
      {"1e-400", 6, 0.0, true},       {"0.000e999", 9, 0.0, true},
  };
  for (const Case& c : cases) {
    double v = -1.0;
    EXPECT_EQ(scan_decimal(std::string_view(c.text), v, c.exponent), c.length) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
    std::wstring wide(c.text, c.text + std::char_traits<char>::length(c.text));
    double w = -1.0;
    EXPECT_EQ(scan_decimal(std::wstring_view(wide), w, c.exponent), c.length) << c.text;
    EXPECT_EQ(w, c.value) << c.text;
  }
}

TEST(Number, ScanWholeClampsWhatDoesNotFit) {
  long long v = 0;
  bool fits = true;
  EXPECT_EQ(scan_whole(std::string_view("123-R"), v, &fits), 3u);
  EXPECT_EQ(v, 123);
  EXPECT_TRUE(fits);
  EXPECT_EQ(scan_whole(std::wstring_view(L"123456789012345678901234-R"), v, &fits), 24u);
  EXPECT_FALSE(fits);
  EXPECT_EQ(v, std::numeric_limits<long long>::max());
  EXPECT_EQ(scan_whole(std::string_view("-9223372036854775808"), v, &fits), 20u);
  EXPECT_TRUE(fits);
  EXPECT_EQ(v, std::numeric_limits<long long>::min());
  EXPECT_EQ(scan_whole(std::string_view("x1"), v), 0u);
}

TEST(Number, FormatsAsPrintfDoesInTheCLocale) {
  EXPECT_EQ(format_fixed(1.5, 2), "1.50");
  EXPECT_EQ(format_fixed(-0.0049, 2), "-0.00");
  EXPECT_EQ(format_fixed(2.675, 2), "2.67");  // the double below 2.675
  EXPECT_EQ(format_fixed(1e20, 1), "100000000000000000000.0");
  EXPECT_EQ(format_fixed(std::nan(""), 3), "nan");
  EXPECT_EQ(format_fixed(-std::numeric_limits<double>::infinity(), 3), "-inf");
  EXPECT_EQ(format_exponent(0.45, 14), "4.50000000000000e-01");
  EXPECT_EQ(format_exponent(-12345.0, 2), "-1.23e+04");
  EXPECT_EQ(cformat("%6.2lf|%-5d|%05.1f|%+d|% d|%s|%c|%%|%e", 3.14159, 42, -2.25, 7, 3, "ab", 'z', 0.5),
            "  3.14|42   |-02.2|+7| 3|ab|z|%|5.000000e-01");
  EXPECT_EQ(cformat("%*d|%.*f|%g|%g|%lld|%u", 4, 9, 1, 0.25, 0.0001, 123456789.0, 1LL << 40, 5u),
            "   9|0.2|0.0001|1.23457e+08|1099511627776|5");
}

// The user's locale must not reach the numbers: a Russian locale writes and
// reads "1,5" through the C library.
TEST(Number, CommaLocaleDoesNotReachNumbers) {
  CommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no comma-decimal locale is installed";
  double v = 0.0;
  EXPECT_EQ(scan_decimal(std::string_view("3.5"), v), 3u);
  EXPECT_EQ(v, 3.5);
  EXPECT_EQ(num_value(L" 3.5"), 3.5);
  EXPECT_EQ(num_text(0.45), L" .45");
  EXPECT_EQ(num_text(-1234.5678), L"-1234.5678");
  EXPECT_EQ(format_fixed(1.5, 2), "1.50");
  EXPECT_EQ(cformat("%6.2lf", 1.5), "  1.50");
}
