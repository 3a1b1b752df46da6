#include <gtest/gtest.h>

#include "arbmodel/report_tables.h"

namespace {

using dorv::arb::Cell;

// Numbers of the section table: a fraction gets its "0", a negative fraction
// keeps its "-.52" form, each point in its column.
TEST(ReportTables, NegativeFractionsInTheSectionRowsHaveNoZero) {
  dorv::arb::Form4State s;
  s.imported.SectionTable = dorv::arb::make_table(1, 9);
  auto& row = s.imported.SectionTable[1];
  row[1] = Cell::of_text(L" 1-2");
  row[2] = Cell::number(4.5);
  row[3] = Cell::number(65);
  row[4] = Cell::number(0.3);
  row[5] = Cell::number(-0.52);
  row[6] = Cell::number(-0.004);
  row[7] = Cell::number(-0.456);
  row[9] = Cell::number(0.8);
  const auto lines = dorv::arb::section_row_lines(s, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], L"          1-2      4.5     65        0.3     -.52      0        -.46     0.8");
}

}  // namespace
