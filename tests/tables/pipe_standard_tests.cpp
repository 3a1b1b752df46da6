// The pipe standard file: the lists' names, finding a block, counting and
// loading its rows, by the whole name (grid form) or by a part of a header
// (arbitrary form, netexport).
#include <gtest/gtest.h>

#include <array>

#include "tables/pipe_standard.h"
#include "text/codepage.h"

namespace {

using namespace dorv::tables;

const std::vector<std::wstring> kFile = {
    L"#ГОСТ 3262-75(ср)",     // a longer name standing before the one it contains
    L"15 21.3 3.2 0.1",
    L"#ГОСТ 3262-75",
    L"15 21.3 2.5 0.18",
    L"20 26.8 2.5 0.926",
    L"#ГОСТ 10704-91",
    L"",                      // an empty line is neither counted nor read
    L"15 18 2.0 0.0755",
    L"20,25,2.0,.75",         // commas separate numbers too
    L"  25   32 2.0   3.5 ",
    L"#ГОСТ без труб",        // a header as the last line: no such standard
};

using Row = std::array<double, 4>;
std::vector<Row> rows_of(const PipeTable& t) {
  std::vector<Row> rows;
  for (const PipeRow& r : t.rows) rows.push_back({r.nominal, r.outer, r.wall, r.kt});
  return rows;
}

TEST(PipeStandard, NamesAsTheListsShowThem) {
  EXPECT_EQ(pipe_standard_names(kFile),
            (std::vector<std::wstring>{L"ГОСТ 3262-75(ср)", L"ГОСТ 3262-75", L"ГОСТ 10704-91", L"ГОСТ без труб"}));
}

TEST(PipeStandard, LoadsTheBlockWhoseHeaderNamesTheStandard) {
  for (const auto name_rule : {StandardName::Whole, StandardName::PartOfHeader})
    for (const auto number_rule : {RowNumbers::Stream, RowNumbers::PerLine}) {
      const auto welded = load_pipe_table(kFile, L"ГОСТ 10704-91", name_rule, number_rule);
      ASSERT_TRUE(welded);
      EXPECT_EQ(rows_of(*welded), (std::vector<Row>{{15, 18, 2.0, 0.0755}, {20, 25, 2.0, 0.75}, {25, 32, 2.0, 3.5}}));
      EXPECT_EQ(welded->row_count(), 3);
      EXPECT_EQ(welded->row(2).inner(), 21);
      EXPECT_EQ(welded->row_of(25), 3);
      EXPECT_EQ(welded->row_of(32), 0);
    }
}

// Where the two forms' rules part: the grid form takes a standard by its
// whole name and reads the numbers as one stream; the arbitrary form takes
// the first header holding the name and reads each row on its own line.
TEST(PipeStandard, TheRulesWhereTheyDiffer) {
  const std::vector<std::wstring> short_rows = {L"#A", L"12345", L"15 18 2 1", L"", L"20 25 2", L"25 32 2 3", L"#B",
                                                L"x"};
  const std::vector<std::wstring> no_number = {L"#A", L"15 18 x 1", L"20 25 2 3", L"#B", L"x"};
  struct Case {
    const std::vector<std::wstring>* file;
    std::wstring name;
    StandardName name_rule;
    RowNumbers number_rule;
    std::optional<std::vector<Row>> rows;
  };
  const Case cases[] = {
      // "ГОСТ 3262-75" is also part of the earlier "(ср)" header.
      {&kFile, L"ГОСТ 3262-75", StandardName::Whole, RowNumbers::Stream,
       std::vector<Row>{{15, 21.3, 2.5, 0.18}, {20, 26.8, 2.5, 0.926}}},
      {&kFile, L"ГОСТ 3262-75", StandardName::PartOfHeader, RowNumbers::PerLine,
       std::vector<Row>{{15, 21.3, 3.2, 0.1}}},
      {&kFile, L" ГОСТ 3262-75(ср) ", StandardName::Whole, RowNumbers::Stream, std::vector<Row>{{15, 21.3, 3.2, 0.1}}},
      {&kFile, L"10704", StandardName::Whole, RowNumbers::Stream, std::nullopt},
      {&kFile, L"10704", StandardName::PartOfHeader, RowNumbers::PerLine,
       std::vector<Row>{{15, 18, 2.0, 0.0755}, {20, 25, 2.0, 0.75}, {25, 32, 2.0, 3.5}}},
      // A short row takes the next line's numbers, or keeps its place.
      {&short_rows, L"A", StandardName::Whole, RowNumbers::Stream,
       std::vector<Row>{{12345, 15, 18, 2}, {1, 20, 25, 2}, {25, 32, 2, 3}}},
      {&short_rows, L"A", StandardName::PartOfHeader, RowNumbers::PerLine,
       std::vector<Row>{{15, 18, 2, 1}, {20, 25, 2, 0}, {25, 32, 2, 3}}},
      // An item that is no number reads as 0, or ends its row.
      {&no_number, L"A", StandardName::Whole, RowNumbers::Stream, std::vector<Row>{{15, 18, 0, 1}, {20, 25, 2, 3}}},
      {&no_number, L"A", StandardName::PartOfHeader, RowNumbers::PerLine,
       std::vector<Row>{{15, 18, 0, 0}, {20, 25, 2, 3}}},
  };
  for (const Case& c : cases) {
    const auto t = load_pipe_table(*c.file, c.name, c.name_rule, c.number_rule);
    ASSERT_EQ(t.has_value(), c.rows.has_value()) << dorv::to_utf8(c.name);
    if (t) {
      EXPECT_EQ(rows_of(*t), *c.rows) << dorv::to_utf8(c.name);
    }
  }
  EXPECT_EQ(count_pipe_rows(short_rows, 0), 3u);
  EXPECT_EQ(count_pipe_rows(short_rows, 6), 0u);
}

TEST(PipeStandard, MissingStandards) {
  for (const auto name_rule : {StandardName::Whole, StandardName::PartOfHeader}) {
    // A header as the file's last line, a standard not in the file, an empty
    // name, and a text that only a row holds.
    for (const wchar_t* name : {L"ГОСТ без труб", L"ГОСТ 8732-78", L"", L"21.3 2.5"})
      EXPECT_FALSE(load_pipe_table(kFile, name, name_rule, RowNumbers::Stream)) << dorv::to_utf8(name);
    EXPECT_FALSE(load_pipe_table({}, L"ГОСТ 3262-75", name_rule, RowNumbers::PerLine));
  }
  // By the whole name: a part of a header's name, or a name with more after it.
  for (const wchar_t* name : {L"ГОСТ", L"10704", L"ГОСТ 10704-91(ср)", L"  "})
    EXPECT_FALSE(load_pipe_table(kFile, name, StandardName::Whole, RowNumbers::Stream)) << dorv::to_utf8(name);
}

}  // namespace
