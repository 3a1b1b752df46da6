// The shared pieces of the printed reports' text pages: the page header that
// numbers the pages from 2, and an inch size set as a stacked fraction.
#include <gtest/gtest.h>

#include "reportkit/report_pages.h"
#include "platform/headless.h"

namespace dorv::testing {
namespace {

using namespace dorv::ui;
using report::FractionColumns;
using report::PageBreak;

class ReportPagesTest : public ::testing::Test {
 protected:
  HeadlessHost host;
  Printer& printer() { return host.printers().printer(); }
  const PrintedDocument& end_document() {
    EXPECT_TRUE(printer().end_doc());
    return host.listed_printers().recorder().documents().at(0);
  }
};

TEST_F(ReportPagesTest, HeaderTextInBothLanguages) {
  EXPECT_EQ(report::page_header_text(false, L"12а", 2), std::wstring(52, L' ') + L"Расчет №12а  Стр. 2");
  EXPECT_EQ(report::page_header_text(true, L" 7", 13), std::wstring(47, L' ') + L"Calculation N 7  Page 13");
}

TEST_F(ReportPagesTest, EachBreakStartsAPageWithABoldHeaderNumberedFromTwo) {
  Printer& p = printer();
  report::use_report_font(p);
  p.text_font.size = 12;
  p.current_y = 500;
  p.print(L"first page");
  PageBreak page_break(p, L"5", false);
  page_break();
  EXPECT_EQ(page_break.next_page_number(), 3);
  EXPECT_FALSE(p.text_font.bold);
  const double after_header = p.current_y;
  page_break();
  const PrintedDocument& doc = end_document();
  ASSERT_EQ(doc.pages.size(), 3u);
  for (int page : {1, 2}) {
    const auto& ops = doc.pages[page].ops;
    ASSERT_EQ(ops.size(), 2u);  // the header and its empty line
    EXPECT_EQ(ops[0].text, report::page_header_text(false, L"5", page + 1));
    EXPECT_EQ(ops[0].y1, 500);
    EXPECT_TRUE(ops[0].font.bold);
    EXPECT_EQ(ops[0].font.name, L"Courier New");
    EXPECT_EQ(ops[0].font.charset, 204);
    EXPECT_EQ(ops[1].text, L"");
  }
  // Two lines of 12 points below the top: the next line is the page's slot 2.
  EXPECT_NEAR(after_header, 500 + 2 * p.text_height(), 1e-9);
}

TEST_F(ReportPagesTest, StackedFractionRaisesTheNumeratorAndLowersTheDenominator) {
  Printer& p = printer();
  report::use_report_font(p);
  p.text_font.size = 12;
  p.current_y = 1000;
  const double y0 = report::StackedFraction(p, L"  pipe 1  ", L'1', L'2', FractionColumns{8960, 9030, 9130});
  EXPECT_EQ(y0, 1000);
  EXPECT_EQ(p.text_font.size, 10);
  EXPECT_EQ(p.current_x, 0);
  const double next_line = p.current_y;
  const auto& ops = end_document().pages.at(0).ops;
  ASSERT_EQ(ops.size(), 4u);
  struct Piece {
    std::wstring text;
    double x, y, size;
  };
  const Piece expected[] = {
      {L"  pipe 1  ", 0, 1000, 12}, {L"1", 8960, 950, 10}, {L"/", 9030, 1000, 12}, {L"2", 9130, 1050, 10}};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ops[i].text, expected[i].text);
    EXPECT_EQ(ops[i].x1, expected[i].x);
    EXPECT_EQ(ops[i].y1, expected[i].y);
    EXPECT_EQ(ops[i].font.size, expected[i].size);
  }
  EXPECT_NEAR(next_line, 1050 + p.text_height(), 1e-9);  // one 10-point line below the denominator
}

}  // namespace
}  // namespace dorv::testing
