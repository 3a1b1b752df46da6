#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cstring>
#include <random>
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
      {"5e99999999999999999999", 22, std::numeric_limits<double>::infinity(), true},
      {"5e-99999999999999999999", 23, 0.0, true},
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

TEST(Number, ScanDecimalRoundsAsTheStandardReaderDoes) {
  // Short decimals take a quicker road than long ones; both must give the
  // correctly rounded double, bit for bit, at every length around the border.
  std::mt19937 rng(11);
  auto digits = [&](int count) {
    std::string d;
    for (int i = 0; i < count; ++i) d += static_cast<char>('0' + rng() % 10);
    return d;
  };
  for (int c = 0; c < 20000; ++c) {
    std::string text = (rng() % 3 == 0 ? "-" : "") + digits(static_cast<int>(rng() % 12));
    if (rng() % 4 != 0) text += "." + digits(static_cast<int>(rng() % 26));
    if (text.find_first_of("0123456789") == std::string::npos) continue;
    double expected = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    // What follows a number ends it, whatever byte it is: also one just
    // beside the digits' codes, or one with its high bit set.
    static const char kEnds[] = {' ', '/', ':', '\x80', '\xff', '\xb9', ','};
    const std::string followed = text + (rng() % 2 ? std::string(1, kEnds[rng() % sizeof kEnds]) + "12345678" : "");
    double v = 1.0;
    ASSERT_EQ(scan_decimal(std::string_view(followed), v), text.size()) << followed;
    ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << text << " " << v << " " << expected;
  }
}

TEST(Number, FixedDigitsAreThoseOfTheStandardFormatter) {
  // Common values take a quicker road than the rest; every road must give the
  // standard formatter's digits, ties (values with few binary digits) and
  // carries into the whole part included.
  std::mt19937_64 rng(12);
  auto check = [](double x, int decimals) {
    char expected[512];
    const auto r = std::to_chars(expected, expected + sizeof expected, x, std::chars_format::fixed, decimals);
    ASSERT_EQ(format_fixed(x, decimals), std::string(expected, r.ptr)) << x << " " << decimals;
  };
  for (int c = 0; c < 200000; ++c) {
    const int decimals = static_cast<int>(rng() % 19);
    double x;
    switch (c % 4) {
      case 0:  // any magnitude
        x = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 140) - 120);
        break;
      case 1:  // few binary digits: exact ties at the last decimal
        x = std::ldexp(static_cast<double>(rng() % 100000), -static_cast<int>(rng() % 24));
        break;
      case 2:  // just below a carry: 0.99999..., 9.9999...
        x = std::nextafter(std::pow(10.0, static_cast<int>(rng() % 8)) - std::pow(10.0, -decimals) / 2,
                           rng() % 2 ? 0.0 : 1e300);
        break;
      default:  // heads and flows as the solvers write them
        x = std::uniform_real_distribution<double>(0, 1000)(rng);
    }
    if (rng() % 2) x = -x;
    check(x, decimals);
  }
  for (double x : {0.0, -0.0, 0.5, 2.5, 0.125, 0.375, 1e-300, 9007199254740991.5, 9007199254740992.0, 1e22})
    for (int d = 0; d <= 18; ++d) check(x, d);
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
