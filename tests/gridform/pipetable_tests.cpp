// The pipe standard file: the lists' names, finding a block, counting and
// loading its rows.
#include <gtest/gtest.h>

#include "gridform/pipetables.h"
#include "text/codepage.h"

namespace {

using namespace dorv::grid;

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

TEST(PipeTables, NamesAsTheListsShowThem) {
  EXPECT_EQ(pipe_standard_names(kFile),
            (std::vector<std::wstring>{L"ГОСТ 3262-75(ср)", L"ГОСТ 3262-75", L"ГОСТ 10704-91", L"ГОСТ без труб"}));
}

TEST(PipeTables, LoadsTheBlockWhoseHeaderNamesTheStandard) {
  const auto welded = load_pipe_table(kFile, L"ГОСТ 10704-91");
  ASSERT_TRUE(welded);
  ASSERT_EQ(welded->row_count(), 3u);
  const std::array<double, 6> expected[] = {
      {0, 15, 18, 2.0, 0.0755, 1}, {0, 20, 25, 2.0, 0.75, 2}, {0, 25, 32, 2.0, 3.5, 3}};
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(welded->rows[i + 1], expected[i]) << "row " << i + 1;
  EXPECT_EQ(welded->rows[0], (std::array<double, 6>{}));

  // "ГОСТ 3262-75" is also part of the earlier "(ср)" header: each name
  // still loads its own block.
  const auto light = load_pipe_table(kFile, L"ГОСТ 3262-75");
  ASSERT_TRUE(light);
  ASSERT_EQ(light->row_count(), 2u);
  EXPECT_EQ(light->rows[1][3], 2.5);
  const auto medium = load_pipe_table(kFile, L"ГОСТ 3262-75(ср)");
  ASSERT_TRUE(medium);
  ASSERT_EQ(medium->row_count(), 1u);
  EXPECT_EQ(medium->rows[1][3], 3.2);
}

TEST(PipeTables, MissingStandards) {
  for (const wchar_t* name : {L"ГОСТ без труб", L"ГОСТ 8732-78",
                              // a part of a header's name, or a name with more after it
                              L"ГОСТ", L"10704", L"ГОСТ 10704-91(ср)", L""})
    EXPECT_FALSE(load_pipe_table(kFile, name)) << dorv::to_utf8(name);
  EXPECT_FALSE(load_pipe_table({}, L"ГОСТ 3262-75"));
}

TEST(PipeTables, RowsAreLinesLongerThanFiveCharacters) {
  const std::vector<std::wstring> file = {L"#A", L"12345", L"15 18 2 1", L"", L"20 25 2 3", L"#B", L"x"};
  EXPECT_EQ(count_pipe_rows(file, 0), 2u);
  EXPECT_EQ(count_pipe_rows(file, 5), 0u);
  // Items are read blindly after the header: the short line's number comes first.
  const auto t = load_pipe_table(file, L"A");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->rows[1], (std::array<double, 6>{0, 12345, 15, 18, 2, 1}));
  EXPECT_EQ(t->rows[2], (std::array<double, 6>{0, 1, 20, 25, 2, 2}));
}

}  // namespace
