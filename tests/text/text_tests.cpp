#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "text/codepage.h"
#include "text/itemreader.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace fs = std::filesystem;
using namespace dorv;

namespace {

fs::path temp_dir() {
  auto d = fs::temp_directory_path() / ("dorv_text_" + std::to_string(::getpid()));
  fs::create_directories(d);
  return d;
}

}  // namespace

TEST(CodePage, Cp1251CyrillicRoundTrip) {
  std::wstring all;
  for (wchar_t c = L'А'; c <= L'я'; ++c) all += c;
  all += L"Ёё№";
  const std::string bytes = to_cp1251(all);
  ASSERT_EQ(bytes.size(), all.size());
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xC0);    // А
  EXPECT_EQ(static_cast<unsigned char>(bytes[63]), 0xFF);   // я
  EXPECT_EQ(static_cast<unsigned char>(bytes[64]), 0xA8);   // Ё
  EXPECT_EQ(static_cast<unsigned char>(bytes[65]), 0xB8);   // ё
  EXPECT_EQ(static_cast<unsigned char>(bytes[66]), 0xB9);   // №
  EXPECT_EQ(from_cp1251(bytes), all);
}

TEST(CodePage, EveryByteSurvivesBothSingleByteCodePages) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  for (CodePage cp : {CodePage::Cp1251, CodePage::Cp866}) {
    const std::wstring text = decode(bytes, cp);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(encode(text, cp), bytes);
  }
}

TEST(CodePage, Cp866AndUtf8) {
  EXPECT_EQ(to_cp866(L"Ошибка"), "\x8e\xe8\xa8\xa1\xaa\xa0");
  EXPECT_EQ(to_cp866(L"Ёё№"), "\xf0\xf1\xfc");
  EXPECT_EQ(to_utf8(L"Пуск №1"), "\xd0\x9f\xd1\x83\xd1\x81\xd0\xba \xe2\x84\x96" "1");
  EXPECT_EQ(from_utf8(to_utf8(L"ВИРН ₽ 𝄞")), L"ВИРН ₽ 𝄞");
  EXPECT_EQ(from_utf8("a\xff" "b"), L"a\uFFFD" L"b");
}

// Only the shortest form of a character is text: a longer form of "." or "/"
// would pass every check of a name for those characters.
TEST(CodePage, Utf8RefusesOverlongFormsSurrogatesAndValuesPastTheLast) {
  const struct {
    const char* bytes;
    std::wstring text;
  } cases[] = {
      {"\xc0\xae\xc0\xae\xc0\xaf", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // "../" in two bytes a character
      {"\xe0\x80\xae", L"\uFFFD\uFFFD\uFFFD"},                                  // "." in three
      {"\xf0\x80\x80\xaf", L"\uFFFD\uFFFD\uFFFD\uFFFD"},                        // "/" in four
      {"\xc1\xbf", L"\uFFFD\uFFFD"},                                             // U+007F in two
      {"\xed\xa0\x80", L"\uFFFD\uFFFD\uFFFD"},                                  // a surrogate
      {"\xf4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},                        // past U+10FFFF
      // The shortest forms at each length's edges stay characters.
      {"\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
       L"\u0080\u07FF\u0800\uD7FF\uE000\U00010000\U0010FFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(from_utf8(c.bytes), c.text) << c.bytes;
    // What is text goes back to the same bytes.
    if (c.text.find(L'\uFFFD') == std::wstring::npos) {
      EXPECT_EQ(to_utf8(c.text), c.bytes);
    }
  }
  // Nothing UTF-8 cannot hold is written as if it could.
  EXPECT_EQ(to_utf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b', static_cast<wchar_t>(0x110000)}), "a?b?");
}

TEST(CodePage, UnmappableCharacterBecomesQuestionMark) {
  EXPECT_EQ(to_cp1251(L"a€b"), "a\x88" "b");   // the euro sign has a byte
  EXPECT_EQ(to_cp1251(L"a☃b"), "a?b");         // the snowman has none
  EXPECT_EQ(to_cp866(L"x€y"), "x?y");
}

TEST(NumText, Table) {
  struct Case { double x; const wchar_t* text; };
  const Case cases[] = {
      {0.0, L" 0"},          {-0.0, L" 0"},
      {0.45, L" .45"},       {-0.5, L"-.5"},
      {1.0, L" 1"},          {-12.0, L"-12"},
      {0.1 + 0.2, L" .3"},   {1.0 / 3.0, L" .333333333333333"},
      {2.0 / 3.0, L" .666666666666667"},
      {123456789012345.0, L" 123456789012345"},
      {1234567890123456.0, L" 1234567890123460"},
      {1e-7, L" .0000001"},  {-1e-7, L"-.0000001"},
      {1e15, L" 1000000000000000"},
      {12.5, L" 12.5"},      {100.25, L" 100.25"},
      {0.001, L" .001"},     {99.99999999999999, L" 100"},
      {3.14159265358979, L" 3.14159265358979"},
  };
  for (const auto& c : cases) EXPECT_EQ(num_text(c.x), c.text) << c.x;
  EXPECT_EQ(num_text_trim(0.45), L".45");
  EXPECT_EQ(num_text_trim(-0.45), L"-.45");
}

TEST(NumText, ZeroBeforePoint) {
  EXPECT_EQ(zero_before_point(L" .45"), L" 0.45");
  EXPECT_EQ(zero_before_point(L"-.5"), L"-0.5");
  EXPECT_EQ(zero_before_point(L".3"), L"0.3");
  EXPECT_EQ(zero_before_point(L" 12.5"), L" 12.5");
}

TEST(NumValue, Table) {
  struct Case { const wchar_t* text; double value; };
  const Case cases[] = {
      {L"", 0},          {L" нет", 0},     {L"abc", 0},        {L"12", 12},
      {L"  12.5xyz", 12.5}, {L"-.5", -0.5},  {L" .45", 0.45},     {L"+3", 3},
      {L" 42-R", 42},    {L"1.2.3", 1.2},  {L"1e5", 1},          {L"-", 0},
      {L".", 0},         {L"-0", 0},       {L"12,5", 12},        {L"007", 7},
      {L"123456789012345", 123456789012345.0},
  };
  for (const auto& c : cases) EXPECT_EQ(num_value(c.text), c.value) << std::string(c.text, c.text + wcslen(c.text));
  EXPECT_FALSE(std::signbit(num_value(L"-0")));
  EXPECT_TRUE(starts_with_number(L" 5 м"));
  EXPECT_FALSE(starts_with_number(L" нет"));
}

TEST(NumValue, DecimalComma) {
  EXPECT_EQ(num_value(first_comma_to_point(L"12,5")), 12.5);
  EXPECT_EQ(first_comma_to_point(L"1,2,3"), L"1.2,3");
  EXPECT_EQ(all_commas_to_point(L"1,2,3"), L"1.2.3");
}

TEST(Rounding, Table) {
  EXPECT_EQ(round_half_up(2.345, 2), 2.35);
  EXPECT_EQ(round_half_up(-2.5, 0), -2.0);    // Int(-2.5 + 0.5) = -2
  EXPECT_EQ(round_half_up(-2.51, 0), -3.0);
  EXPECT_EQ(round_half_up(0.0005, 3), 0.001);
  EXPECT_EQ(round_half_up(1.2344, 3), 1.234);
  EXPECT_EQ(cut2(3.999), 3.99);
  EXPECT_EQ(cut2(-1.001), -1.01);             // Int is the floor
  EXPECT_EQ(round_half_even(2.5, 0), 2.0);
  EXPECT_EQ(round_half_even(3.5, 0), 4.0);
  EXPECT_EQ(round_half_even(-2.5, 0), -2.0);
  EXPECT_EQ(round_half_even(0.125, 2), 0.12);
  EXPECT_EQ(round_half_even(0.375, 2), 0.38);
  EXPECT_EQ(round_half_even(1.26, 1), 1.3);
  EXPECT_EQ(trunc_whole(-2.7), -2);
  EXPECT_EQ(trunc_whole(2.7), 2);
  EXPECT_EQ(int_floor(-2.7), -3.0);
}

// Each rule applied to the decimal value a double stands for: a value within
// a few units in its last place of a boundary stands on it, one a digit
// further off does not.
TEST(Rounding, DecimalBoundaries) {
  struct Case {
    const char* what;
    double x, half_up, cut, half_even;
  };
  const double computed_33_07 = 1.5 + 5.05 + 1.2 * (28.65 - 5.05 - 1.5);  // 33.069999999999993
  const Case cases[] = {
      {"1.235, stored above", 1.235, 1.24, 1.23, 1.24},
      {"-1.235, stored below", -1.235, -1.23, -1.24, -1.24},
      {"33.07 left by a computation", computed_33_07, 33.07, 33.07, 33.07},
      {"0.125, exact in binary", 0.125, 0.13, 0.12, 0.12},
      {"1.005, stored below", 1.005, 1.01, 1.0, 1.0},
      {"1.015, stored below", 1.015, 1.02, 1.01, 1.02},
      {"0.29, scaled to 28.999999999999996", 0.29, 0.29, 0.29, 0.29},
      {"-0.29", -0.29, -0.29, -0.29, -0.29},
      {"near, not on, a half", 2.2349999, 2.23, 2.23, 2.23},
      {"just past a half", 2.2350001, 2.24, 2.23, 2.24},
      {"near, not on, a whole", 0.2899999, 0.29, 0.28, 0.29},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(round_half_up(c.x, 2), c.half_up) << c.what;
    EXPECT_EQ(cut2(c.x), c.cut) << c.what;
    EXPECT_EQ(round_half_even(c.x, 2), c.half_even) << c.what;
  }
  EXPECT_EQ(round_half_up(8.0125, 3), 8.013);    // scaled to 8012.499999999999
  EXPECT_EQ(round_half_even(8.0125, 3), 8.012);
  EXPECT_EQ(round_half_even(2.0005, 3), 2.0);     // scaled to 2000.5000000000002
  EXPECT_FALSE(std::signbit(cut2(-0.0)));
  // Values the scale leaves whole, and those beyond any arithmetic, are their
  // own rounding.
  EXPECT_EQ(round_half_up(1e300, 2), 1e300);
  EXPECT_EQ(cut2(-1e20), -1e20);
  EXPECT_TRUE(std::isnan(round_half_even(std::nan(""), 2)));
  EXPECT_EQ(round_half_up(HUGE_VAL, 2), HUGE_VAL);
}

TEST(LineFile, WritesCp1251WithCrLfAndReadsEveryLineEnd) {
  const auto dir = temp_dir();
  const auto f = dir / "lines.txt";
  write_lines(f, {L"Договор: 12", L"", L"№ 5"});
  EXPECT_EQ(read_bytes(f), "\xc4\xee\xe3\xee\xe2\xee\xf0: 12\r\n\r\n\xb9 5\r\n");
  EXPECT_EQ(read_lines(f), (std::vector<std::wstring>{L"Договор: 12", L"", L"№ 5"}));

  write_bytes(f, "a\nb\r\nc\rd");
  EXPECT_EQ(read_lines(f), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  write_bytes(f, "");
  EXPECT_TRUE(read_lines(f).empty());
  write_bytes(f, "\r\n");
  EXPECT_EQ(read_lines(f), std::vector<std::wstring>{L""});
  fs::remove_all(dir);
}

// An item holding a line break never adds a line: whatever held the text
// (a box of several lines, a file of another program), the break is a blank.
TEST(LineFile, ALineBreakInsideAnItemIsWrittenAsABlank) {
  const auto dir = temp_dir();
  const auto f = dir / "lines.txt";
  write_lines(f, {L" 1-R", L"Склад\r\nВТОРАЯ\rСТРОКА\n", L"3.67"});
  EXPECT_EQ(read_lines(f), (std::vector<std::wstring>{L" 1-R", L"Склад ВТОРАЯ СТРОКА ", L"3.67"}));
  {
    LineWriter w(f);
    w.write(L"a\rb");
    w.write_line(L"\nc");
  }
  EXPECT_EQ(read_bytes(f), "a b c\r\n");
  fs::remove_all(dir);
}

TEST(LineFile, WholeFileReadsGiveEveryByte) {
  const auto dir = temp_dir();
  const auto f = dir / "bytes.bin";
  std::string bytes(300000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  for (const std::string& content : {bytes, std::string(), std::string("\r\n")}) {
    write_bytes(f, content);
    EXPECT_EQ(try_read_bytes(f), content);
    const auto whole = try_read_file(f);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->view(), content);
  }
  EXPECT_FALSE(try_read_file(dir / "no_such_file.bin").has_value());
  EXPECT_FALSE(try_read_file(dir).has_value());  // a folder is no file
  fs::remove_all(dir);
}

TEST(LineFile, MissingFileIsAClearError) {
  const auto missing = temp_dir() / "no_such_file.txt";
  EXPECT_FALSE(try_read_lines(missing).has_value());
  try {
    read_lines(missing);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.message(), L"Не найден файл «" + from_utf8(missing.string()) + L"».");
  }
  EXPECT_THROW(LineReader r(missing), FileError);
  const auto unreachable = temp_dir() / "no_dir" / "x.txt";
  for (auto save : {&write_bytes, &write_bytes_atomic, &replace_bytes}) {
    try {
      save(unreachable, "x");
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_NE(e.message().find(L"«" + from_utf8(unreachable.string()) + L"»: файл или папка не существует."),
                std::wstring::npos);
    }
  }
}

TEST(LineFile, SequentialReaderAndWriter) {
  const auto dir = temp_dir();
  const auto f = dir / "seq.txt";
  {
    LineWriter w(f);
    w.write_line(L"первая");
    w.write(L"вто");
    w.write_line(L"рая");
  }
  LineWriter(f, CodePage::Cp1251, LineWriter::Mode::Append).write_line(L"третья");
  LineReader r(f);
  EXPECT_EQ(r.next(), L"первая");
  EXPECT_EQ(r.next(), L"вторая");
  EXPECT_FALSE(r.eof());
  EXPECT_EQ(r.next(), L"третья");
  EXPECT_TRUE(r.eof());
  std::wstring line = L"x";
  EXPECT_FALSE(r.read(line));
  EXPECT_EQ(line, L"");

  write_lines_atomic(f, {L"new"});
  EXPECT_EQ(read_bytes(f), "new\r\n");
  int files = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1);  // no temporary left behind
  fs::remove_all(dir);
}

TEST(ItemReader, CommasLineEndsAndQuotes) {
  ItemReader r(L"15, 21.3,2.5,0.18\r\n\"Труба, сварная\",57,3.5,110\nkey  ,1\n\n");
  std::vector<std::wstring> texts;
  std::vector<bool> numbers;
  while (auto it = r.next()) {
    texts.push_back(it->text);
    numbers.push_back(it->is_number());
  }
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"15", L"21.3", L"2.5", L"0.18", L"Труба, сварная", L"57", L"3.5",
                                              L"110", L"key", L"1"}));
  EXPECT_EQ(numbers, (std::vector<bool>{true, true, true, true, false, true, true, true, false, true}));
  EXPECT_TRUE(r.eof());
}

TEST(ItemReader, ValuesCompareAsNumbersOrTexts) {
  Item n1{L"57", false}, n2{L" 57.0", false}, t1{L"57", true}, t2{L"ДУ50", false};
  EXPECT_TRUE(same_value(n1, n2));
  EXPECT_TRUE(same_value(n1, t1));   // a quoted "57" compares as text "57"
  EXPECT_FALSE(same_value(n2, t1));
  EXPECT_TRUE(same_value(t2, Item{L"ДУ50", true}));
  EXPECT_FALSE(same_value(t2, Item{L"ду50", true}));
}

#include "text/strings.h"

TEST(Strings, TrimCaseAndParts) {
  EXPECT_EQ(trim(L"  12-R \t "), L"12-R \t");
  EXPECT_EQ(ltrim(L"   7"), L"7");
  EXPECT_EQ(rtrim(L"7   "), L"7");
  EXPECT_EQ(lower(L"ДВОРЕЦ Спорта ЁЖ Abc"), L"дворец спорта ёж abc");
  EXPECT_EQ(upper(L"дворец ёж abc"), L"ДВОРЕЦ ЁЖ ABC");
  EXPECT_TRUE(equal_ignore_case(L"Perform", L"PERFORM"));
  EXPECT_TRUE(contains_ignore_case(L"ДВОРЕЦ СПОРТА", L"рец сп"));
  EXPECT_FALSE(contains(L"ДВОРЕЦ", L"рец"));
  EXPECT_EQ(right(L"abc", 2), L"bc");
  EXPECT_EQ(right(L"abc", 5), L"abc");
  EXPECT_TRUE(ends_with(L" 12-R", L"-R"));
}

TEST(Strings, RandomHexGivesTheDigitsAskedForAndNewOnesEachTime) {
  for (const std::size_t digits : {0, 1, 16, 17, 32}) {
    const std::string hex = random_hex(digits);
    EXPECT_EQ(hex.size(), digits);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << hex;
  }
  // Past sixteen digits the bits come from a new draw, not from a spent one.
  EXPECT_NE(random_hex(32).substr(16), std::string(16, '0'));
  EXPECT_NE(random_hex(32), random_hex(32));
}
