// The grid scheme drawn on the printed page, element by element in the order
// the on-screen scheme is built: the joining pieces to the mains, the mains
// with the ring and parallel pipes, the branch lines, the sprinklers, the
// numbers, the feed pipeline and last the operating sprinklers over their
// grey heads.
#include <algorithm>
#include <cmath>

#include "gridprint/grid_scheme_page.h"
#include "text/numtext.h"

namespace dorv::gridprint {

namespace {

constexpr int kThinPen = 2;
constexpr int kMainPen = 4;
constexpr int kMarkPen = 1;
constexpr double kSectionNumberAbove = 100;
constexpr double kSprinklerNumberRight = 50;
constexpr double kSprinklerNumberAbove = 250;

double single(double v) { return static_cast<double>(static_cast<float>(v)); }

// Scheme units onto the paper.
class Paper {
 public:
  Paper(ui::Printer& printer, double scale, const SchemePlacement& at) : p_(printer), s_(scale), at_(at) {}

  double x(double sx) const { return single(at_.OriginX + s_ * sx); }
  double y(double sy) const { return single(at_.OriginY + s_ * sy); }
  void line(double x1, double y1, double x2, double y2, std::optional<ui::Color> c = std::nullopt) {
    p_.line(x(x1), y(y1), x(x2), y(y2), c);
  }
  void line(grid::SchemePoint a, grid::SchemePoint b, ui::Color c) { line(a.x, a.y, b.x, b.y, c); }
  void circle(double cx, double cy, double radius, ui::Color c) { p_.circle(x(cx), y(cy), single(radius * s_), c); }
  void number_at(double sx, double sy, long long n) {
    p_.current_x = x(sx);
    p_.current_y = y(sy);
    p_.print(grid::printed(n));
  }
  // Two black strokes across the point.
  void cross(double cx, double cy) {
    line(cx - grid::kFeedCross, cy - grid::kFeedCross, cx + grid::kFeedCross, cy + grid::kFeedCross);
    line(cx - grid::kFeedCross, cy + grid::kFeedCross, cx + grid::kFeedCross, cy - grid::kFeedCross);
  }

 private:
  ui::Printer& p_;
  double s_;
  SchemePlacement at_;
};

// A dead-end count as it indexes a sprinkler position (0 for none).
// A count beyond any row is capped: it indexes nothing either way, and a
// whole number cannot hold it.
int whole(double v) { return v > 0 ? static_cast<int>(round_half_even(std::min(v, 1e6), 0)) : 0; }

}  // namespace

void draw_scheme_on_page(ui::Printer& printer, const GridSchemePageInput& input, const SchemePlacement& at) {
  const grid::GridScheme& sp = input.Scheme;
  const int rows = sp.SchemeRows, n = sp.SchemeSprinklersPerRow;
  const double s = sp.SchemeScale;
  // A scheme the form could not draw has nothing to print.
  if (rows < 1 || n < 1 || !(s > 0) || !std::isfinite(s) ||
      sp.SchemePoints.size() < static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(n + 1) * 9)
    return;
  Paper paper(printer, s, at);
  const double drop = sp.PipeLevelOffset, rise = input.SprinklerRiseHeight;
  const auto piece = [&](int i, int j) {
    paper.line(sp.point(i, j, 5), sp.point(i, j, 6), sp.point(i, j, 7), sp.point(i, j, 8), grid::kBranchColor);
  };
  const auto piece_with_drop = [&](int i, int j) {
    piece(i, j);
    const double x = sp.point(i, j, 7), y = sp.point(i, j, 8);
    paper.line(x, y, x, y + drop, grid::kBranchColor);
  };
  const auto on_line = [&](int j) { return j >= 1 && j <= n; };

  // Joining pieces: at the dead end's last sprinkler, or at the row's end
  // with the drop down to the main.
  printer.draw_width = kThinPen;
  // The additional pipe's piece is where the form put it: the row's length
  // less the dead end, rounded as a whole (not the rounded dead end taken
  // from the length, which differs for a half on an odd row).
  const int d5 = whole(input.DeadEndMain), add_side = whole(n - input.DeadEndAdditional);
  for (int i = 1; i <= rows; ++i) {
    if (input.DeadEndMain > 0) {
      if (on_line(d5)) piece(i, d5);
    } else {
      piece_with_drop(i, 1);
    }
  }
  for (int i = 1; i <= rows; ++i) {
    if (input.DeadEndAdditional > 0) {
      if (on_line(add_side)) piece(i, add_side);
    } else {
      piece_with_drop(i, n);
    }
  }

  // Mains, and the ring and parallel pipes the report names.
  printer.draw_width = kMainPen;
  paper.line(sp.MainPipeStart, sp.MainPipeEnd, grid::kPipeColor);
  paper.line(sp.AddPipeStart, sp.AddPipeEnd, grid::kPipeColor);
  if (num_value(input.Report.RingPipeText) > 0) {
    paper.line(sp.MainPipeStart, sp.RingCornerMain, grid::kPipeColor);
    paper.line(sp.RingCornerMain, sp.RingCornerAdd, grid::kPipeColor);
    paper.line(sp.RingCornerAdd, sp.AddPipeStart, grid::kPipeColor);
  }
  if (num_value(input.Report.ParallelPipeText) > 0) {
    paper.line(sp.MainPipeEnd, sp.ParallelCornerMain, grid::kPipeColor);
    paper.line(sp.ParallelCornerMain, sp.ParallelCornerAdd, grid::kPipeColor);
    paper.line(sp.ParallelCornerAdd, sp.AddPipeEnd, grid::kPipeColor);
  }

  printer.draw_width = kThinPen;
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j < n; ++j)
      paper.line(sp.point(i, j, 1), sp.point(i, j, 2), sp.point(i, j + 1, 1), sp.point(i, j + 1, 2),
                 grid::kBranchColor);

  // Sprinklers: the riser up from the branch line and the grey head on it.
  printer.fill_color = grid::kHeadFill;
  printer.fill_solid = true;
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= n; ++j) {
      const double x = sp.point(i, j, 1), y = sp.point(i, j, 2);
      paper.line(x, y, x, y - rise, grid::kDropColor);
      paper.circle(x, y - rise, grid::kHeadRadius, ui::kBlack);
    }

  // Numbers: every branch line's, and the sprinklers' along the first line.
  printer.text_font.size = single(s < 1 ? 2 + 8 * s : 10);
  for (int i = 1; i <= rows; ++i) {
    printer.fore_color = grid::kRowNumberColor;
    paper.number_at(sp.point(i, 0, 5), sp.point(i, 0, 6), i);
  }
  printer.fore_color = ui::kBlack;
  for (int j = 1; j <= n; ++j)
    paper.number_at(sp.point(1, j, 1) + kSprinklerNumberRight, sp.point(1, j, 2) - kSprinklerNumberAbove, j);

  // Feed pipeline, on the page's own copy of the sections: the first
  // section's start is taken back up to the parallel pipe where the form's
  // drawing moved it down out of the pipe.
  printer.draw_width = kMainPen;
  auto fs = sp.FeedSections;
  const int sections = std::clamp(input.Report.FeedSectionCount, 0, std::max(static_cast<int>(fs.size()) - 1, 0));
  if (!input.ParallelPipe && sections >= 1)
    paper.line(sp.MainPipeStart.x, sp.MainPipeStart.y, fs[1][3], fs[1][4], grid::kPipeColor);
  for (int k = 1; k <= sections; ++k) {
    auto& f = fs[static_cast<std::size_t>(k)];
    if (k == 1 && f[2] == 0 && input.ParallelPipe && !input.InletOnMainPipe) {
      f[4] -= grid::kParallelDrop;
      paper.cross(f[3], f[4]);
      paper.line(f[3], f[4], f[3], f[4] + grid::kParallelDrop, grid::kFeedColor);
    } else {
      paper.cross(f[3], f[4]);
    }
    paper.line(f[3], f[4], f[3], f[5], grid::kFeedColor);
    paper.line(f[3], f[5], f[6], f[7], grid::kFeedColor);
    paper.number_at((f[3] + f[6]) / 2, (f[5] + f[7]) / 2 - kSectionNumberAbove, k);
  }

  // Operating sprinklers: a red disc over the grey head.
  printer.draw_width = kMarkPen;
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= n; ++j) {
      printer.fill_color = grid::kOperatingColor;
      printer.fill_solid = true;
      if (sp.point(i, j, 4) == 1)
        paper.circle(sp.point(i, j, 1), sp.point(i, j, 2) - rise, grid::kOperatingRadius, grid::kOperatingColor);
    }
}

}  // namespace dorv::gridprint
