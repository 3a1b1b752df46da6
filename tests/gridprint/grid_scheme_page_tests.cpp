// The printed scheme page of a grid: title and legend, where the drawing
// stands on the paper, and what it draws, read from the recording printer.
#include <gtest/gtest.h>

#include <cmath>

#include "gridprint/grid_scheme_page.h"
#include "platform/headless.h"
#include "platform/printer.h"

namespace {

using namespace dorv;
using namespace dorv::gridprint;
using Kind = ui::DrawOp::Kind;

class SchemePage : public ::testing::Test {
 protected:
  ui::HeadlessHost host_;
  ui::Printer& printer() { return host_.printers().printer(); }

  // Prints the page as the report leaves the printer: twips, the scheme page
  // begun with its header at y 500 in the 12-point report font.
  const ui::PrintedPage& print(const GridSchemePageInput& input) {
    ui::Printer& p = printer();
    p.set_scale_mode(0);
    p.current_y = 500;
    p.current_x = 0;
    p.text_font.name = L"Courier New";
    p.text_font.size = 12;
    p.print(L"header");
    p.print(L"");
    header_end_ = p.current_y;
    EXPECT_TRUE(PrintGridSchemePage(p, input));
    const auto& docs = host_.listed_printers().recorder().documents();
    EXPECT_EQ(docs.size(), 1u);
    EXPECT_FALSE(p.in_document());
    return docs.back().pages.back();
  }
  double header_end_ = 0;
};

std::vector<ui::DrawOp> of_kind(const ui::PrintedPage& page, Kind kind) {
  std::vector<ui::DrawOp> out;
  for (const auto& op : page.ops)
    if (op.kind == kind) out.push_back(op);
  return out;
}

TEST_F(SchemePage, TitleAndLegendInEitherLanguageAtTheSamePlaces) {
  struct Case {
    bool english;
    const wchar_t* title;
    const wchar_t* legend;
  };
  const Case cases[] = {
      {false, L"                                РАСЧЕТНАЯ СХЕМА",
       L"                     - ороситель         - расчетный ороситель"},
      {true, L"                     THE SCHEME FOR HIDRAULIC CALCULATION",
       L"                     - sprinkler         - calculated sprinkler"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    host_.listed_printers().recorder().clear();
    GridSchemePageInput in;
    in.EnglishReportFlag = c.english;
    const ui::PrintedPage& page = print(in);
    const auto texts = of_kind(page, Kind::Text);
    ASSERT_GE(texts.size(), 6u);
    // After the header: title, empty, legend, empty, then two empty lines.
    EXPECT_EQ(texts[2].text, c.title);
    EXPECT_EQ(texts[3].text, L"");
    EXPECT_EQ(texts[4].text, c.legend);
    EXPECT_EQ(texts[4].text.find(L'-'), 21u);
    EXPECT_EQ(texts[4].text.rfind(L'-'), 41u);
    EXPECT_EQ(texts[2].font.name, L"Courier New");
    EXPECT_EQ(texts[2].font.size, 12);
    EXPECT_TRUE(texts[2].font.bold);
    EXPECT_EQ(texts[2].y1, header_end_);

    // The symbols level with the legend line: 410 twips above the print
    // position after the empty line under it.
    const double legend_y = texts[5].y1 + (texts[5].y1 - texts[4].y1) - 410;
    const auto circles = of_kind(page, Kind::Circle);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_DOUBLE_EQ(circles[0].x1, 2850);
    EXPECT_NEAR(circles[0].y1, legend_y, 1e-3);
    EXPECT_EQ(circles[0].radius, 40);
    EXPECT_TRUE(circles[0].filled);
    EXPECT_EQ(circles[0].fill_color, ui::rgb(192, 192, 192));
    EXPECT_EQ(circles[0].color, ui::kBlack);
    EXPECT_DOUBLE_EQ(circles[1].x1, 5700);
    EXPECT_NEAR(circles[1].y1, legend_y, 1e-3);
    EXPECT_EQ(circles[1].radius, 60);
    EXPECT_EQ(circles[1].fill_color, ui::rgb(255, 0, 0));
    EXPECT_EQ(circles[1].color, ui::rgb(255, 0, 0));
  }
}

}  // namespace
