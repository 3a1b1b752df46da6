// The feed pipeline on the scheme: from the grid inlet outward, each section
// a vertical part for its height and a part down to the right parallel to
// the branch lines for the rest of its length, all at one feed scale that
// keeps the pipeline beside the grid.
#include <cmath>

#include "gridform/scheme.h"
#include "text/numtext.h"

namespace dorv::grid {
namespace {

// Model units of the sections' fixed parts.
constexpr double kSideInletBelow = 200;
constexpr double kNumberAbove = 200;

SchemePoint along(SchemePoint from, SchemePoint a, SchemePoint b, double f) {
  return {from.x + f * (b.x - a.x), from.y + f * (b.y - a.y)};
}

}  // namespace

std::optional<std::wstring> draw_feed_pipeline(GridScheme& s, const std::array<std::wstring, 19>& fields,
                                             ui::Surface& pic) {
  const auto v = [&](int i) { return num_value(fields[static_cast<std::size_t>(i)]); };
  const int count = s.FeedSectionCount;
  if (count < 1 || s.FeedSections.size() < static_cast<std::size_t>(count) + 1) return std::nullopt;
  const int n = s.SchemeSprinklersPerRow, m = s.SchemeRows;
  const double r = v(7) != 0 ? v(8) / v(7) : 0;
  const bool parallel = v(14) > 0;

  // Feed scale: the pipeline's run takes at most 0.4 of the grid's width,
  // its heights at most 0.4 of what lies below the grid. Without any height
  // only the run sets the scale.
  double run = 0, rise = 0;
  for (int i = 1; i <= count; ++i) {
    run += s.FeedSections[static_cast<std::size_t>(i)][1] - std::fabs(s.FeedSections[static_cast<std::size_t>(i)][2]);
    rise += s.FeedSections[static_cast<std::size_t>(i)][2];
  }
  const double k_run = run == 0 ? 100 : 0.4 * s.AddPipeStart.x / run;
  const double k = rise == 0 ? k_run : std::min(k_run, 0.4 * (16000 - s.AddPipeEnd.y) / std::fabs(rise));

  std::optional<std::wstring> inlet_text;
  double inlet_distance = v(16);
  SchemePoint inlet;
  if (inlet_distance >= 0) {
    // Measured across the rows from the main pipe, at most to the additional pipe.
    const double across = v(7) * (n - v(5) - v(6));
    if (inlet_distance > across) {
      inlet_distance = across;
      inlet_text = num_text(across);
    }
    if (!parallel) {
      // Half a row step beyond the last row.
      inlet = {s.MainPipeEnd.x - kHalfStepX * r, s.MainPipeEnd.y + kHalfStepY * r};
      pic.line(s.MainPipeStart.x * s.SchemeScale, s.MainPipeStart.y * s.SchemeScale, inlet.x * s.SchemeScale,
               inlet.y * s.SchemeScale, kPipeColor);
    } else {
      const double f = across != 0 ? inlet_distance / across : 0;
      inlet = along(s.ParallelCornerMain, s.MainPipeEnd, s.AddPipeEnd, f);
    }
  } else {
    // A side inlet on the main pipe, measured along it from the last row.
    double along_main = -v(8) * (v(3) - 1);
    if (v(14) != 0) along_main -= v(8) / 2;
    if (v(15) != 0) along_main -= v(8) / 2;
    if (std::fabs(inlet_distance) > std::fabs(along_main)) {
      inlet_distance = along_main;
      inlet_text = num_text(along_main);
    }
    const double span = v(8) * (m - 1);
    const double f = span != 0 ? std::fabs(inlet_distance) / span : 0;
    inlet = along(parallel ? s.ParallelCornerMain : s.MainPipeEnd, s.MainPipeEnd, s.MainPipeStart, f);
  }

  const double sc = s.SchemeScale;
  const auto line = [&](double x1, double y1, double x2, double y2, ui::Color c) {
    pic.line(x1 * sc, y1 * sc, x2 * sc, y2 * sc, c);
  };
  pic.fore_color = ui::kBlack;
  SchemePoint start = inlet;
  for (int i = 1; i <= count; ++i) {
    auto& sec = s.FeedSections[static_cast<std::size_t>(i)];
    const double length = sec[1], h = sec[2];
    sec[3] = start.x;
    sec[4] = start.y;
    line(sec[3] - kFeedCross, sec[4] - kFeedCross, sec[3] + kFeedCross, sec[4] + kFeedCross, ui::kBlack);
    line(sec[3] - kFeedCross, sec[4] + kFeedCross, sec[3] + kFeedCross, sec[4] - kFeedCross, ui::kBlack);
    if (i == 1 && inlet_distance >= 0 && h == 0 && parallel) {
      // Out of the parallel pipe first straight down.
      line(sec[3], sec[4], sec[3], sec[4] + kParallelDrop, kFeedColor);
      sec[4] += kParallelDrop;
    }
    sec[5] = sec[4] + k * h;
    if (i == 1 && inlet_distance < 0) {
      // A side inlet drops from the main pipe to below the grid whatever its height.
      const double bottom = v(6) > 0 ? s.point(m, n, 2) : s.AddPipeEnd.y;
      sec[5] = kSideInletBelow + bottom;
    }
    sec[6] = sec[3] + k * (length - h);
    sec[7] = sec[5] + k * (length - h) / std::sqrt(3.0);
    line(sec[3], sec[4], sec[3], sec[5], kFeedColor);
    line(sec[3], sec[5], sec[6], sec[7], kFeedColor);
    pic.current_x = (sec[3] + sec[6]) / 2 * sc;
    pic.current_y = ((sec[5] + sec[7]) / 2 - kNumberAbove) * sc;
    pic.print(printed(i));
    start = {sec[6], sec[7]};
  }
  return inlet_text;
}

}  // namespace dorv::grid
