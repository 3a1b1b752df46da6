// The grid scheme: the model it leaves and the drawing it records.
#include <gtest/gtest.h>

#include <cmath>

#include "gridform/scheme.h"
#include "platform/headless.h"

namespace {

using namespace dorv;
using namespace dorv::grid;
using Kind = ui::DrawOp::Kind;

class Canvas : public ui::Surface {
 protected:
  int area_width() const override { return 9000; }
  int area_height() const override { return 6000; }
};

std::array<std::wstring, 19> grid_fields(const wchar_t* rows, const wchar_t* per_row, const wchar_t* dead_main,
                                         const wchar_t* dead_add) {
  std::array<std::wstring, 19> f{};
  f[3] = rows, f[4] = per_row, f[5] = dead_main, f[6] = dead_add;
  f[7] = L" 3", f[8] = L" 3", f[9] = L" .3", f[14] = L" 65", f[15] = L" 65", f[17] = L" 1";
  return f;
}

int count(const Canvas& c, Kind kind) {
  int n = 0;
  for (const auto& op : c.ops()) n += op.kind == kind;
  return n;
}

// Printed text is measured by the host.
class GridScheme : public ::testing::Test {
 protected:
  ui::HeadlessHost host_;
};

void expect_point(SchemePoint p, double x, double y) {
  EXPECT_NEAR(p.x, x, 0.01);
  EXPECT_NEAR(p.y, y, 0.01);
}

TEST_F(GridScheme, RingAndParallelPipesDeadEndAndFeedPipeline) {
  // Two rows of four sprinklers, one of them on a dead end beyond the main
  // pipe, row spacing equal to the sprinkler spacing (r = 1).
  grid::GridScheme s;
  Canvas c;
  ASSERT_TRUE(DrawGridScheme(s, grid_fields(L" 2", L" 4", L" 1", L" нет"), L"12d50h3,8d40", c, 9000, 6000));
  const double sx = 250 * std::sqrt(3.0);
  EXPECT_EQ(s.SchemeRows, 2);
  EXPECT_EQ(s.SchemeSprinklersPerRow, 4);
  EXPECT_NEAR(s.point(1, 1, 1), 2 * sx, 0.01);
  EXPECT_NEAR(s.point(1, 1, 2), 250, 1e-9);
  EXPECT_NEAR(s.point(1, 1, 3), 205, 1e-9);  // heads 0.3 m above the branch line
  EXPECT_NEAR(s.point(2, 1, 1), sx, 0.01);
  EXPECT_NEAR(s.point(2, 4, 2), 1250, 1e-9);
  const double scale = 0.9 * 9000 / (5 * sx + 2 * sx);
  EXPECT_NEAR(s.SchemeScale, scale, 1e-6);
  EXPECT_EQ(s.PipeLevelOffset, 150);

  // The main pipe half a step after the dead-end sprinkler, the additional
  // pipe half a step after the last one, both 1 m below the branch lines.
  expect_point(s.MainPipeStart, 2 * sx + 216.506, 525);
  expect_point(s.MainPipeEnd, sx + 216.506, 775);
  expect_point(s.AddPipeStart, 5 * sx + 216.506, 1275);
  expect_point(s.AddPipeEnd, 4 * sx + 216.506, 1525);
  expect_point(s.RingCornerMain, 2 * sx + 433.012, 400);
  expect_point(s.RingCornerAdd, 5 * sx + 433.012, 1150);
  expect_point(s.ParallelCornerMain, sx, 900);
  expect_point(s.ParallelCornerAdd, 4 * sx, 1650);
  // The riser of the dead end and the stub to the additional pipe.
  EXPECT_NEAR(s.point(1, 1, 6), 375, 1e-9);
  EXPECT_NEAR(s.point(1, 1, 8), 525, 1e-9);
  EXPECT_NEAR(s.point(1, 4, 5), 5 * sx, 0.01);
  EXPECT_NEAR(s.point(1, 4, 8), 1125, 1e-9);
  EXPECT_NEAR(s.point(2, 0, 6), 1525, 1e-9);

  // Lines: main pipe and 2 risers; additional pipe, 2 stubs and 2 risers;
  // ring 3; parallel 3; branch lines 2·3; drops 8.
  EXPECT_EQ(count(c, Kind::Line), 3 + 5 + 3 + 3 + 6 + 8);
  EXPECT_EQ(count(c, Kind::Circle), 8);
  ASSERT_EQ(count(c, Kind::Text), 2 + 4);
  int teal = 0, green = 0, blue = 0;
  for (const auto& op : c.ops()) {
    if (op.kind != Kind::Line) continue;
    teal += op.color == kPipeColor, green += op.color == kBranchColor, blue += op.color == kDropColor;
  }
  EXPECT_EQ(teal, 1 + 1 + 3 + 3);
  EXPECT_EQ(green, 2 + 4 + 6);
  EXPECT_EQ(blue, 8);
  for (const auto& op : c.ops()) {
    if (op.kind == Kind::Circle) {
      EXPECT_TRUE(op.filled);
      EXPECT_EQ(op.fill_color, kHeadFill);
      EXPECT_NEAR(op.radius, 40 * scale, 1e-9);
    }
    EXPECT_EQ(op.scale_left, -500);
    EXPECT_EQ(op.scale_top, -1000);
  }
  // Row numbers at the risers' feet on the additional pipe, in dark red;
  // sprinkler numbers above the first row's heads, in black.
  std::vector<const ui::DrawOp*> texts;
  for (const auto& op : c.ops())
    if (op.kind == Kind::Text) texts.push_back(&op);
  EXPECT_EQ(texts[0]->text, L" 1 ");
  EXPECT_EQ(texts[0]->color, kRowNumberColor);
  EXPECT_NEAR(texts[0]->x1, s.AddPipeStart.x * scale, 1e-6);
  EXPECT_NEAR(texts[0]->y1, s.AddPipeStart.y * scale, 1e-6);
  EXPECT_EQ(texts[1]->text, L" 2 ");
  EXPECT_EQ(texts[5]->text, L" 4 ");
  EXPECT_EQ(texts[5]->color, ui::kBlack);
  EXPECT_NEAR(texts[2]->x1, (2 * sx + 50) * scale, 1e-6);
  EXPECT_NEAR(texts[2]->y1, 5 * scale, 1e-6);
  EXPECT_NEAR(texts[2]->font.size, 4 * scale, 1e-9);

  ASSERT_EQ(s.FeedSectionCount, 2);
  EXPECT_EQ(s.FeedSections[1][1], 12);
  EXPECT_EQ(s.FeedSections[1][2], 3);
  EXPECT_EQ(s.FeedSections[2][1], 8);
  EXPECT_EQ(s.FeedSections[2][2], 0);
}

TEST_F(GridScheme, DeadEndsOnBothSides) {
  // d5 = 2 and d6 = 3 of 10: the pipes cross between sprinklers 2 and 3 and
  // between 7 and 8; no stubs, only the risers.
  grid::GridScheme s;
  Canvas c;
  auto f = grid_fields(L" 1", L" 10", L" 2", L" 3");
  f[14] = f[15] = L" нет";
  ASSERT_TRUE(DrawGridScheme(s, f, L"", c, 9000, 6000));
  EXPECT_NEAR(s.MainPipeStart.x, s.point(1, 2, 1) + 216.506, 1e-9);
  EXPECT_NEAR(s.AddPipeStart.x, s.point(1, 7, 1) + 216.506, 1e-9);
  EXPECT_EQ(count(c, Kind::Line), 2 + 2 + 9 + 10);
  EXPECT_EQ(s.FeedSectionCount, 1);
}

TEST_F(GridScheme, WhatCannotBeDrawnLeavesThePictureEmptyAndTheModelAlone) {
  struct Case {
    const char* what;
    const wchar_t* rows;
    const wchar_t* per_row;
    const wchar_t* spacing;
    const wchar_t* row_spacing;
    const wchar_t* dead_main;
  } cases[] = {
      {"no sprinkler spacing", L"2", L"4", L" нет", L"3", L""},
      {"no rows", L"0", L"4", L"3", L"3", L""},
      {"no sprinklers", L"2", L"", L"3", L"3", L""},
      {"a billion rows", L"1000000000", L"4", L"3", L"3", L""},
      {"more sprinklers than a drawing holds", L"1000", L"1000", L"3", L"3", L""},
      {"a negative row spacing", L"2", L"4", L"3", L"-3", L""},
      {"a dead end longer than the row", L"2", L"4", L"3", L"3", L"5"},
  };
  grid::GridScheme s;
  {
    Canvas c;
    ASSERT_TRUE(DrawGridScheme(s, grid_fields(L" 2", L" 4", L" 1", L""), L"", c, 9000, 6000));
  }
  const grid::GridScheme before = s;
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    auto f = grid_fields(k.rows, k.per_row, k.dead_main, L"");
    f[7] = k.spacing;
    f[8] = k.row_spacing;
    Canvas c;
    EXPECT_FALSE(DrawGridScheme(s, f, L"1,2", c, 9000, 6000));
    EXPECT_TRUE(c.ops().empty());
    EXPECT_EQ(s.SchemeRows, before.SchemeRows);
    EXPECT_EQ(s.SchemePoints, before.SchemePoints);
    EXPECT_EQ(s.FeedSectionCount, before.FeedSectionCount);
  }
}

TEST_F(GridScheme, FeedScaleFromTheRunAloneWithoutHeights) {
  // Sums of the sections: run Σ(L − |h|), rise Σh. Without any height the
  // run alone sets the scale (0.4 of the additional pipe's x over the run),
  // an empty pipeline takes 100 units a metre; with heights the smaller of
  // that and 0.4 of the room below the grid over the rise.
  struct Case {
    const char* what;
    const wchar_t* feed;
    double run, rise;
  } cases[] = {
      {"no heights", L"20,10d50", 30, 0},
      {"an empty pipeline", L"", 0, 0},
      {"heights up and down that cancel", L"12d50h3,8d40h-3", 14, 0},
      {"a height", L"12d50h3,8d40", 17, 3},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    grid::GridScheme s;
    Canvas c;
    auto f = grid_fields(L" 2", L" 4", L" нет", L" нет");
    f[14] = L" нет";
    ASSERT_TRUE(DrawGridScheme(s, f, k.feed, c, 9000, 6000));
    EXPECT_FALSE(draw_feed_pipeline(s, f, c));
    const double k_run = k.run == 0 ? 100 : 0.4 * s.AddPipeStart.x / k.run;
    const double scale = k.rise == 0 ? k_run : std::min(k_run, 0.4 * (16000 - s.AddPipeEnd.y) / k.rise);
    const auto& first = s.FeedSections[1];
    // The inlet half a row step beyond the last row, on the main pipe's line.
    EXPECT_NEAR(first[3], s.MainPipeEnd.x - 216.506, 1e-9);
    EXPECT_NEAR(first[4], s.MainPipeEnd.y + 125, 1e-9);
    EXPECT_NEAR(first[5], first[4] + scale * first[2], 1e-9);
    EXPECT_NEAR(first[6], first[3] + scale * (first[1] - first[2]), 1e-9);
    EXPECT_NEAR(first[7], first[5] + scale * (first[1] - first[2]) / std::sqrt(3.0), 1e-9);
    for (int i = 1; i <= s.FeedSectionCount; ++i)
      for (int col = 3; col <= 7; ++col) EXPECT_TRUE(std::isfinite(s.FeedSections[i][col]));
  }
}

TEST_F(GridScheme, FeedInletOnTheParallelAndTheMainPipe) {
  // An inlet 100 m across a grid 12 m wide lies at the parallel pipe's far
  // corner, and the field is rewritten with the width; the first section
  // leaves the parallel pipe 250 units straight down, in red.
  auto f = grid_fields(L" 2", L" 4", L" нет", L" нет");
  f[16] = L" 100";
  grid::GridScheme s;
  Canvas c;
  ASSERT_TRUE(DrawGridScheme(s, f, L"10d50", c, 9000, 6000));
  const std::size_t before = c.ops().size();
  EXPECT_EQ(draw_feed_pipeline(s, f, c), std::optional<std::wstring>(L" 12"));
  EXPECT_NEAR(s.FeedSections[1][3], s.ParallelCornerAdd.x, 1e-6);
  EXPECT_NEAR(s.FeedSections[1][4], s.ParallelCornerAdd.y + 250, 1e-6);
  // Cross (2 lines), the drop, the vertical and the sloping part; the number.
  ASSERT_EQ(c.ops().size(), before + 6);
  EXPECT_EQ(c.ops()[before + 2].color, kFeedColor);
  EXPECT_EQ(c.ops()[before + 5].text, L" 1 ");

  // A side inlet on a grid of one row has no length along the main pipe to
  // measure by: it lies at the main pipe's end.
  f = grid_fields(L" 1", L" 4", L" нет", L" нет");
  f[14] = L" нет";
  f[16] = L"-2";
  ASSERT_TRUE(DrawGridScheme(s, f, L"10d50", c, 9000, 6000));
  EXPECT_EQ(draw_feed_pipeline(s, f, c), std::optional<std::wstring>(L"-1.5"));
  EXPECT_NEAR(s.FeedSections[1][3], s.MainPipeEnd.x, 1e-9);
  EXPECT_NEAR(s.FeedSections[1][4], s.MainPipeEnd.y, 1e-9);
  // It drops to 200 units below the additional pipe's end whatever its height.
  EXPECT_NEAR(s.FeedSections[1][5], s.AddPipeEnd.y + 200, 1e-9);
}

}  // namespace
