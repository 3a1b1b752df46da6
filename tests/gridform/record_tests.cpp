// The grid input record: both writer forms, the reader, the old standard name.
#include <gtest/gtest.h>

#include "gridform/gridrecord.h"
#include "text/codepage.h"

namespace {

using namespace dorv::grid;

GridRecordSource sample() {
  GridRecordSource s;
  s.calc_id = L" 15-R";
  s.object = L"Склад";
  const wchar_t* fields[19] = {L" 4.17", L" .47", L" 120 (10 ор.)", L" 4", L" 8", L" нет", L"нет", L" 3", L" 4",
                               L" .3", L" 15", L" 32", L" 65", L" 65", L"", L" нет", L" 6", L" нет", L" 0.08"};
  for (int i = 0; i < 19; ++i) s.fields[static_cast<std::size_t>(i)] = fields[i];
  s.main_standard = L"ГОСТ 3262-75";
  s.valve = L"0.0019 (УУСЗ-65)";
  s.valve_selection = L"Узел управления спринклерный водозаполненный";
  s.feed_pipeline = L"15d80h3,20d80";
  s.total_head = 23.4;
  s.total_flow = 0.45;
  s.results = {L" 9.12", L" 13.36", L" 13.95", L" 14.1"};
  return s;
}

TEST(GridRecord, WrittenInARunAndAtClosing) {
  GridRecordSource s = sample();
  const std::vector<std::wstring> run = grid_record_of_run(s, 6.5);
  const std::vector<std::wstring> expected = {
      L" 15-R", L"Склад", L"4.17", L".47", L"120 (10 ор.)", L"4", L"8", L"нет", L"нет", L"3", L"4", L".3", L"15", L"32",
      L"65", L"65", L"", L"нет", L"6", L"нет", L"0.08", L"ГОСТ 3262-75", L"0.0019 (УУСЗ-65)",
      L"Узел управления спринклерный водозаполненный", L"15d80h3,20d80", L" 23.4", L" .45", L" 6.5", L" 9.12",
      L" 13.36", L" 13.95", L" 14.1"};
  EXPECT_EQ(run, expected);

  // Closing without a run: the total height is " 0", the result lines are
  // what the result boxes hold (empty), a second standard follows a comma,
  // and a typed coefficient has no selection line.
  s.results = {};
  s.total_head = 0;
  s.second_standard = L"ГОСТ 10704-91";
  s.valve = L".002";
  s.valve_selection.clear();
  const auto closing = grid_record_at_closing(s);
  ASSERT_EQ(closing.size(), kGridRecordLines);
  EXPECT_EQ(closing[21], L"ГОСТ 3262-75,ГОСТ 10704-91");
  EXPECT_EQ(closing[22], L".002");
  EXPECT_EQ(closing[23], L"");
  EXPECT_EQ(closing[25], L" 0");
  EXPECT_EQ(closing[27], L" 0");
  for (std::size_t i = 28; i < 32; ++i) EXPECT_EQ(closing[i], L"");
}

TEST(GridRecord, ReadBackIntoTheForm) {
  const GridRecordSource s = sample();
  const GridRecordRead r = parse_grid_record(grid_record_of_run(s, 6.5));
  EXPECT_EQ(r.lines_read, 32u);
  EXPECT_EQ(r.fields[0], L" 4.17");
  EXPECT_EQ(r.field_lines[0], L"4.17");
  EXPECT_EQ(r.fields[6], L" нет");  // stored without blanks, shown with one
  EXPECT_EQ(r.fields[14], L" ");
  EXPECT_EQ(r.fields[18], L" 0.08");
  EXPECT_EQ(r.main_standard, L"ГОСТ 3262-75");
  EXPECT_EQ(r.second_standard, L"");
  EXPECT_EQ(r.valve, s.valve);
  EXPECT_EQ(r.valve_selection, s.valve_selection);
  EXPECT_EQ(r.feed_pipeline, s.feed_pipeline);
  EXPECT_DOUBLE_EQ(r.total_head, 23.4);
  EXPECT_DOUBLE_EQ(r.total_flow, 0.45);
  EXPECT_EQ(r.previous_results, s.results);
}

TEST(GridRecord, StandardsLineWithTheOldName) {
  struct Case {
    const wchar_t* line;
    const wchar_t* main;
    const wchar_t* second;
  } cases[] = {
      {L"ГОСТ 10704-76", L"ГОСТ 10704-91", L""},
      {L"ГОСТ 3262-75", L"ГОСТ 3262-75", L""},
      {L" ГОСТ 3262-75 , ГОСТ 10704-76 ", L"ГОСТ 3262-75", L"ГОСТ 10704-91"},
      {L"ГОСТ 10704-76,ГОСТ 10704-76", L"ГОСТ 10704-91", L"ГОСТ 10704-91"},
      {L"", L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(dorv::to_utf8(c.line));
    const auto [main, second] = split_standards(c.line);
    EXPECT_EQ(main, c.main);
    EXPECT_EQ(second, c.second);
  }
}

TEST(GridRecord, AShortRecordFillsWhatItHolds) {
  auto lines = grid_record_of_run(sample(), 0);
  lines.resize(10);
  const GridRecordRead r = parse_grid_record(lines);
  EXPECT_EQ(r.lines_read, 10u);
  EXPECT_EQ(r.fields[7], L" 3");
  EXPECT_EQ(r.fields[8], L"");
  EXPECT_EQ(r.main_standard, L"");
  EXPECT_EQ(r.previous_results[0], L"");
  EXPECT_EQ(r.total_head, 0);
}

}  // namespace
