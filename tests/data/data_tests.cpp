// The shipped data tables, read with the program's own readers: their
// structure must hold for every reader of the pipe standards, the pipe look-up
// table and the valve list.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "text/itemreader.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace fs = std::filesystem;
using namespace dorv;

namespace {

const fs::path kData = DORV_DATA_DIR;

struct PipeRow {
  double dn, outer, wall, kt;
  double inner() const { return outer - 2 * wall; }
};

// Standard name -> rows, split as the pipe table loaders do: a line with "#"
// opens a block named by the rest of the line; a line longer than 5
// characters is a row of four numbers separated by blanks or commas.
std::map<std::wstring, std::vector<PipeRow>> read_standards(const std::vector<std::wstring>& lines) {
  std::map<std::wstring, std::vector<PipeRow>> blocks;
  std::vector<PipeRow>* block = nullptr;
  for (const auto& line : lines) {
    if (line.find(L'#') != std::wstring::npos) {
      EXPECT_EQ(line.front(), L'#') << to_utf8(line);
      block = &blocks[line.substr(1)];
      continue;
    }
    if (line.size() <= 5) continue;
    EXPECT_NE(block, nullptr) << "row before the first standard: " << to_utf8(line);
    if (block == nullptr) continue;
    std::vector<double> numbers;
    std::wstring token;
    for (wchar_t c : line + L" ") {
      if (c != L' ' && c != L',') {
        token += c;
      } else if (!token.empty()) {
        EXPECT_TRUE(Item{token}.is_number()) << to_utf8(line);
        numbers.push_back(num_value(token));
        token.clear();
      }
    }
    EXPECT_EQ(numbers.size(), 4u) << to_utf8(line);
    if (numbers.size() == 4) block->push_back({numbers[0], numbers[1], numbers[2], numbers[3]});
  }
  return blocks;
}

// The number after the first "-" of a line, or the line's own number when it
// has no "-": the diameter of a valve size line, 0 on a name line.
double after_dash(const std::wstring& line) {
  const auto dash = line.find(L'-');
  return dash == std::wstring::npos ? num_value(line) : num_value(line.substr(dash + 1));
}

}  // namespace

TEST(ShippedData, PipeStandardsAscendFromTheSmallestPipe) {
  const auto lines = read_lines(kData / "trub.inf");
  const auto blocks = read_standards(lines);

  for (const std::wstring name : {L"ГОСТ 3262-75", L"ГОСТ 10704-91"}) {
    SCOPED_TRACE(to_utf8(name));
    // The loaders take the first line that contains the name; it must be the
    // standard's own header and must not be the file's last line.
    std::size_t first = 0;
    while (first < lines.size() && lines[first].find(name) == std::wstring::npos) ++first;
    ASSERT_LT(first + 1, lines.size());
    EXPECT_EQ(lines[first], L"#" + name);
    ASSERT_TRUE(blocks.contains(name));
  }
  for (const auto& [name, rows] : blocks) {
    SCOPED_TRACE(to_utf8(name));
    ASSERT_GE(rows.size(), 2u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_GT(rows[i].inner(), 0);
      EXPECT_GT(rows[i].kt, 0);
      if (i == 0) continue;
      EXPECT_GT(rows[i].dn, rows[i - 1].dn) << "row " << i + 1;
      EXPECT_GT(rows[i].inner(), rows[i - 1].inner()) << "row " << i + 1;
      EXPECT_GT(rows[i].kt, rows[i - 1].kt) << "row " << i + 1;
    }
  }
}

TEST(ShippedData, LookupTableHoldsTheElectricWeldedPipesByOuterDiameter) {
  auto standards = read_standards(read_lines(kData / "trub.inf"));
  std::map<double, PipeRow> welded;
  for (const auto& row : standards[L"ГОСТ 10704-91"]) welded[row.outer] = row;

  auto items = ItemReader::from_file(kData / "kltr.inf");
  std::vector<double> keys;
  while (const auto key = items.next()) {
    const auto outer = items.next(), wall = items.next(), kt = items.next();
    ASSERT_TRUE(kt.has_value()) << "the file ends inside the record of " << to_utf8(key->text);
    for (const Item* item : {&*key, &*outer, &*wall, &*kt})
      EXPECT_TRUE(item->is_number()) << to_utf8(item->text);
    SCOPED_TRACE(to_utf8(key->text));
    EXPECT_EQ(key->number(), outer->number());
    EXPECT_GT(outer->number() - 2 * wall->number(), 0);
    ASSERT_TRUE(welded.contains(outer->number()));
    EXPECT_EQ(wall->number(), welded[outer->number()].wall);
    EXPECT_EQ(kt->number(), welded[outer->number()].kt);
    keys.push_back(key->number());
  }
  EXPECT_EQ(keys, (std::vector<double>{18, 25, 32, 40, 45, 57, 76, 89, 108, 133, 159, 219, 273, 325}));
}

TEST(ShippedData, ValveBlocksNameEverySizeAndEndWithANameLine) {
  const auto lines = read_lines(kData / "klap.inf");
  ASSERT_FALSE(lines.empty());
  // A closing name line (or end line) after the last block keeps the look-up
  // of a diameter above every size inside the file.
  ASSERT_EQ(num_value(lines.back()), 0) << "the last block is not closed";
  ASSERT_EQ(num_value(lines.front()), 0) << "the file must begin with a valve name";

  int valves = 0;
  std::size_t sizes = 0;
  double last_dn = 0, last_xi = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::wstring& line = lines[i];
    SCOPED_TRACE(to_utf8(line));
    if (num_value(line) == 0) {
      // Both forms cut a type name at "(" or "-" and compare it whole.
      EXPECT_EQ(line.find_first_of(L"(-"), std::wstring::npos);
      EXPECT_FALSE(line.empty() || line.front() == L' ' || line.back() == L' ');
      EXPECT_GT(num_value(lines[i + 1]), 0) << "a valve without sizes";
      ++valves;
      last_dn = last_xi = 0;
      continue;
    }
    // "<coefficient> (<code>-<DN>)"
    const double xi = num_value(line), dn = after_dash(line);
    const auto open = line.find(L'('), dash = line.find(L'-');
    EXPECT_TRUE(open != std::wstring::npos && open < dash);
    EXPECT_NE(line.find(L')', dash), std::wstring::npos);
    EXPECT_GT(dn, last_dn) << "sizes must rise";
    if (last_xi > 0) {
      EXPECT_LT(xi, last_xi) << "a larger valve loses less";
    }
    // At 3 m/s in the bore the loss is of the order of a few tenths of a metre.
    const double q = 3 * dn * dn / 1273.237;
    EXPECT_GT(xi * q * q, 0.05);
    EXPECT_LT(xi * q * q, 1.0);
    last_dn = dn;
    last_xi = xi;
    ++sizes;
  }
  EXPECT_GE(valves, 2);
  EXPECT_GE(sizes, 2u * valves);
  EXPECT_EQ(after_dash(lines.back()), 0);
}

TEST(ShippedData, FilesAreWindows1251WithCrLf) {
  for (const char* name : {"trub.inf", "kltr.inf", "klap.inf"}) {
    SCOPED_TRACE(name);
    const std::string bytes = read_bytes(kData / name);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const std::wstring text = from_cp1251(bytes);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const wchar_t c = text[i];
      if (c == L'\r') {
        EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == L'\n') << "lone CR at byte " << i;
      } else if (c == L'\n') {
        EXPECT_TRUE(i > 0 && text[i - 1] == L'\r') << "lone LF at byte " << i;
      } else {
        // Printable ASCII or a Russian letter; UTF-8 would show as other signs.
        const bool ok = (c >= 0x20 && c < 0x7F) || (c >= L'А' && c <= L'я') || c == L'Ё' || c == L'ё' || c == L'№';
        EXPECT_TRUE(ok) << "byte " << i << " = " << int(static_cast<unsigned char>(bytes[i]));
      }
    }
  }
}
