#include "gridform/scheme.h"

#include <cmath>

#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {

std::wstring printed(long long n) { return (n < 0 ? L"-" : L" ") + whole_text(n < 0 ? -n : n) + L" "; }

int count_feed_sections(const std::wstring& feed) {
  int count = 1;
  for (std::size_t p = 1; p < feed.size(); ++p)
    if (feed[p] == L',') ++count;
  return count;
}

std::vector<std::array<double, 8>> parse_feed_sections(const std::wstring& feed, int count) {
  std::vector<std::array<double, 8>> sections(static_cast<std::size_t>(count) + 1, std::array<double, 8>{});
  std::wstring rest = feed;
  for (int i = 1; i <= count; ++i) {
    const std::size_t comma = rest.find(L',');
    const std::wstring section = rest.substr(0, comma);
    sections[static_cast<std::size_t>(i)][1] = num_value(section);
    if (const std::size_t h = section.find(L'h'); h != std::wstring::npos)
      sections[static_cast<std::size_t>(i)][2] = num_value(section.substr(h + 1));
    if (comma == std::wstring::npos) break;
    rest = rest.substr(comma + 1);
  }
  return sections;
}

bool DrawGridScheme(GridScheme& s, const std::array<std::wstring, 19>& fields, const std::wstring& feed,
                    ui::Surface& pic, double width, double height) {
  const auto value = [&](int i) { return num_value(fields[static_cast<std::size_t>(i)]); };
  if (value(7) == 0) return false;
  const double r = value(8) / value(7);
  const double n_value = value(4), m_value = value(3);
  // Counts are whole numbers of sprinklers and rows; what a drawing cannot
  // hold is not drawn at all.
  if (!(r >= 0) || !std::isfinite(r) || !(n_value >= 1) || !(m_value >= 1) || n_value > kSchemeMaxSprinklersPerRow ||
      m_value > kSchemeMaxRows)
    return false;
  const int n = static_cast<int>(n_value), m = static_cast<int>(m_value);
  if (static_cast<long long>(n) * m > kSchemeMaxSprinklers) return false;
  const double d5_value = value(5), d6_value = value(6);
  const int d5 = d5_value > 0 ? static_cast<int>(round_half_even(d5_value, 0)) : 0;
  const int ja = d6_value > 0 ? static_cast<int>(round_half_even(n - d6_value, 0)) : n;
  if ((d5_value > 0 && (d5 < 1 || d5 > n)) || ja < 1 || ja > n) return false;

  const double sx = 500 * std::sqrt(3.0) / 2, sy = 250;
  // Scale first, so that a picture that cannot show the grid leaves the model alone.
  const double far_x = sx * r * m + (n - 1) * sx;
  const double far_y = 250 + (m - 1) * sy * r + (n - 1) * sy;
  const double a = width / (far_x + 2 * sx), b = height / (far_y + 2 * sy);
  const double scale = 0.9 * (a <= b ? a : b);
  if (!(scale > 0) || !std::isfinite(scale)) return false;

  GridScheme next;
  next.SchemeRows = m;
  next.SchemeSprinklersPerRow = n;
  next.SchemeScale = scale;
  next.SchemePoints.assign(static_cast<std::size_t>(m + 1) * static_cast<std::size_t>(n + 1) * 9, 0.0);
  // The ring and parallel corners keep their values when the pipe is absent.
  next.RingCornerMain = s.RingCornerMain;
  next.RingCornerAdd = s.RingCornerAdd;
  next.ParallelCornerMain = s.ParallelCornerMain;
  next.ParallelCornerAdd = s.ParallelCornerAdd;
  const double head_drop = 150 * value(9);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      next.point(i, j, 1) = sx * r * m - (i - 1) * sx * r + (j - 1) * sx;
      next.point(i, j, 2) = 250 + (i - 1) * sy * r + (j - 1) * sy;
      next.point(i, j, 3) = next.point(i, j, 2) - head_drop;
    }
  s = std::move(next);

  pic.scale(-500, -1000, -500 + width, -1000 + height);
  const double k = s.SchemeScale;
  const auto line = [&](double x1, double y1, double x2, double y2, ui::Color c) {
    pic.line(x1 * k, y1 * k, x2 * k, y2 * k, c);
  };
  const auto line_p = [&](SchemePoint p, SchemePoint q, ui::Color c) { line(p.x, p.y, q.x, q.y, c); };
  const auto at = [&](int i, int j) { return SchemePoint{s.point(i, j, 1), s.point(i, j, 2)}; };
  const auto set_segment = [&](int i, int j, SchemePoint p, SchemePoint q) {
    s.point(i, j, 5) = p.x;
    s.point(i, j, 6) = p.y;
    s.point(i, j, 7) = q.x;
    s.point(i, j, 8) = q.y;
  };
  const double drop = s.PipeLevelOffset = 150 * value(17);
  pic.draw_width = 1;

  // Main pipe: half a step before sprinkler 1, or after the dead end's last sprinkler.
  if (d5_value <= 0) {
    const auto pipe_at = [&](int i) { return SchemePoint{at(i, 1).x - kHalfStepX, at(i, 1).y - kHalfStepY + drop}; };
    s.MainPipeStart = pipe_at(1);
    s.MainPipeEnd = pipe_at(m);
    line_p(s.MainPipeStart, s.MainPipeEnd, kPipeColor);
    for (int i = 1; i <= m; ++i) {
      const SchemePoint p = at(i, 1), junction{p.x - kHalfStepX, p.y - kHalfStepY};
      set_segment(i, 1, p, junction);
      line_p(p, junction, kBranchColor);
      line(junction.x, junction.y, junction.x, junction.y + drop, kBranchColor);
    }
  } else {
    const auto pipe_at = [&](int i) { return SchemePoint{at(i, d5).x + kHalfStepX, at(i, d5).y + kHalfStepY + drop}; };
    s.MainPipeStart = pipe_at(1);
    s.MainPipeEnd = pipe_at(m);
    line_p(s.MainPipeStart, s.MainPipeEnd, kPipeColor);
    for (int i = 1; i <= m; ++i) {
      const SchemePoint junction{at(i, d5).x + kHalfStepX, at(i, d5).y + kHalfStepY}, foot{junction.x, junction.y + drop};
      set_segment(i, d5, junction, foot);
      line_p(junction, foot, kBranchColor);
    }
  }

  // Additional pipe: the mirror at the other end of the rows.
  {
    const auto pipe_at = [&](int i) { return SchemePoint{at(i, ja).x + kHalfStepX, at(i, ja).y + kHalfStepY + drop}; };
    s.AddPipeStart = pipe_at(1);
    s.AddPipeEnd = pipe_at(m);
    line_p(s.AddPipeStart, s.AddPipeEnd, kPipeColor);
    for (int i = 1; i <= m; ++i) {
      const SchemePoint p = at(i, ja), junction{p.x + kHalfStepX, p.y + kHalfStepY}, foot{junction.x, junction.y + drop};
      s.point(i, 0, 5) = foot.x;
      s.point(i, 0, 6) = foot.y;
      if (d6_value <= 0) {
        set_segment(i, n, p, junction);
        line_p(p, junction, kBranchColor);
      } else {
        set_segment(i, ja, junction, foot);
      }
      line_p(junction, foot, kBranchColor);
    }
  }

  const SchemePoint half_row_before{kHalfStepX * r, -kHalfStepY * r};
  const auto moved = [](SchemePoint p, SchemePoint by, double f) { return SchemePoint{p.x + f * by.x, p.y + f * by.y}; };
  if (value(15) > 0) {
    s.RingCornerMain = moved(s.MainPipeStart, half_row_before, 1);
    s.RingCornerAdd = moved(s.AddPipeStart, half_row_before, 1);
    line_p(s.MainPipeStart, s.RingCornerMain, kPipeColor);
    line_p(s.RingCornerMain, s.RingCornerAdd, kPipeColor);
    line_p(s.RingCornerAdd, s.AddPipeStart, kPipeColor);
  }
  if (value(14) > 0) {
    s.ParallelCornerMain = moved(s.MainPipeEnd, half_row_before, -1);
    s.ParallelCornerAdd = moved(s.AddPipeEnd, half_row_before, -1);
    line_p(s.MainPipeEnd, s.ParallelCornerMain, kPipeColor);
    line_p(s.ParallelCornerMain, s.ParallelCornerAdd, kPipeColor);
    line_p(s.ParallelCornerAdd, s.AddPipeEnd, kPipeColor);
  }

  for (int i = 1; i <= m; ++i)
    for (int j = 1; j < n; ++j) line_p(at(i, j), at(i, j + 1), kBranchColor);

  pic.fill_color = kHeadFill;
  pic.fill_solid = true;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      const double x = s.point(i, j, 1), y = s.point(i, j, 3);
      line(x, s.point(i, j, 2), x, y, kDropColor);
      pic.circle(x * k, y * k, kHeadRadius * k);
    }

  pic.text_font.size = k >= 1 ? 4 * k : 4;
  pic.fore_color = kRowNumberColor;
  for (int i = 1; i <= m; ++i) {
    pic.current_x = s.point(i, 0, 5) * k;
    pic.current_y = s.point(i, 0, 6) * k;
    pic.print(printed(i));
  }
  pic.fore_color = ui::kBlack;
  for (int j = 1; j <= n; ++j) {
    pic.current_x = (s.point(1, j, 1) + 50) * k;
    pic.current_y = (s.point(1, j, 3) - 200) * k;
    pic.print(printed(j));
  }

  s.FeedSectionCount = count_feed_sections(feed);
  s.FeedSections = parse_feed_sections(feed, s.FeedSectionCount);
  return true;
}

}  // namespace dorv::grid
