// The printed scheme page of a grid: title and legend, where the drawing
// stands on the paper, and what it draws, read from the recording printer.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "gridprint/grid_scheme_page.h"
#include "platform/headless.h"
#include "platform/printer.h"
#include "text/linefile.h"

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
    EXPECT_TRUE(print_grid_scheme_page(p, input));
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

std::vector<ui::DrawOp> lines_in(const ui::PrintedPage& page, ui::Color color, int width) {
  std::vector<ui::DrawOp> out;
  for (const auto& op : of_kind(page, Kind::Line))
    if (op.color == color && op.draw_width == width) out.push_back(op);
  return out;
}

// The form's picture, for the form's own drawing of the scheme.
class Picture : public ui::Surface {
 protected:
  int area_width() const override { return 5400; }
  int area_height() const override { return 5970; }
};

// Three rows of four sprinklers 3 m apart, heads 0.2 m above the branch
// lines, the mains 1 m below them, ring and parallel pipes of DN 32, the
// inlet 3 m along the parallel pipe; dead ends as given.
std::array<std::wstring, 19> grid_fields(const wchar_t* dead_main = L" нет", const wchar_t* dead_add = L" нет",
                                         const wchar_t* parallel = L" 32", const wchar_t* inlet = L" 3") {
  std::array<std::wstring, 19> f{};
  f[3] = L" 3", f[4] = L" 4", f[5] = dead_main, f[6] = dead_add, f[7] = L" 3", f[8] = L" 3", f[9] = L" .2";
  f[14] = parallel, f[15] = L" 32", f[16] = inlet, f[17] = L" 1";
  return f;
}

// The scheme as the form draws it, with its feed pipeline of three
// sections, the first without a height difference.
grid::GridScheme drawn_scheme(const std::array<std::wstring, 19>& fields) {
  grid::GridScheme scheme;
  Picture picture;
  EXPECT_TRUE(grid::DrawGridScheme(scheme, fields, L"20d50,10d50,30d65h-2", picture, 5400, 5970));
  grid::draw_feed_pipeline(scheme, fields, picture);
  return scheme;
}

const SchemeReportValues kBothCrossPipes{L"     32", L"     32", 3};

// Paper point of a scheme point, from the legend symbols' line.
struct Mapping {
  double s, origin_y;
  double x(double sx) const { return 500 + s * sx; }
  double y(double sy) const { return origin_y + s * sy; }
};
Mapping mapping_of(const ui::PrintedPage& page, double scale) {
  return {scale, of_kind(page, Kind::Circle).at(0).y1 + 1500};
}

bool drawn_between(const ui::DrawOp& op, double x1, double y1, double x2, double y2) {
  const double e = 0.05;  // single precision on the paper
  return (std::fabs(op.x1 - x1) < e && std::fabs(op.y1 - y1) < e && std::fabs(op.x2 - x2) < e &&
          std::fabs(op.y2 - y2) < e) ||
         (std::fabs(op.x1 - x2) < e && std::fabs(op.y1 - y2) < e && std::fabs(op.x2 - x1) < e &&
          std::fabs(op.y2 - y1) < e);
}
int count_between(const std::vector<ui::DrawOp>& ops, double x1, double y1, double x2, double y2) {
  int n = 0;
  for (const auto& op : ops) n += drawn_between(op, x1, y1, x2, y2);
  return n;
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

// The grid of the ring report: its operating sprinklers, as the form marks
// them from the calculation's report, are those spr.out gives heads for.
TEST_F(SchemePage, GridWithRingParallelPipeAndFeedPipeline) {
  const auto fields = grid_fields();
  grid::GridScheme scheme = drawn_scheme(fields);
  const auto report = read_lines(std::filesystem::path(DORV_REPORT_DATA_DIR) / "ring" / "rezres.txt");
  ASSERT_EQ(grid::mark_operating_sprinklers(scheme, report), grid::MarkResult::Marked);
  const grid::GridScheme before = scheme;

  const ui::PrintedPage& page = print(grid_scheme_page_input(scheme, fields, kBothCrossPipes, false));
  const double s = scheme.SchemeScale;
  const Mapping m = mapping_of(page, s);
  const double rise = 30, drop = 150;

  // Heads on their risers, grey; the operating ones under a larger red disc.
  std::vector<ui::DrawOp> heads, discs;
  for (const auto& c : of_kind(page, Kind::Circle))
    (c.fill_color == ui::rgb(192, 192, 192) ? heads : discs).push_back(c);
  heads.erase(heads.begin());  // the legend's
  discs.erase(discs.begin());
  ASSERT_EQ(heads.size(), 12u);
  const auto risers = lines_in(page, ui::rgb(0, 0, 255), 2);
  ASSERT_EQ(risers.size(), 12u);
  for (int i = 1, k = 0; i <= 3; ++i)
    for (int j = 1; j <= 4; ++j, ++k) {
      const double x = m.x(scheme.point(i, j, 1)), y = m.y(scheme.point(i, j, 2) - rise);
      EXPECT_NEAR(heads[k].x1, x, 0.05);
      EXPECT_NEAR(heads[k].y1, y, 0.05);
      EXPECT_NEAR(heads[k].radius, 40 * s, 1e-3);
      EXPECT_EQ(heads[k].color, ui::kBlack);
      EXPECT_TRUE(drawn_between(risers[k], x, m.y(scheme.point(i, j, 2)), x, y));
    }
  const std::pair<int, int> operating[] = {{1, 2}, {1, 3}, {1, 4}, {2, 3}};
  ASSERT_EQ(discs.size(), std::size(operating));
  for (std::size_t k = 0; k < discs.size(); ++k) {
    const auto [i, j] = operating[k];
    EXPECT_NEAR(discs[k].x1, m.x(scheme.point(i, j, 1)), 0.05);
    EXPECT_NEAR(discs[k].y1, m.y(scheme.point(i, j, 2) - rise), 0.05);
    EXPECT_NEAR(discs[k].radius, 60 * s, 1e-3);
    EXPECT_EQ(discs[k].color, ui::rgb(255, 0, 0));
    EXPECT_EQ(discs[k].fill_color, ui::rgb(255, 0, 0));
    EXPECT_EQ(discs[k].draw_width, 1);
  }

  // The two mains and both cross pipes, each of these of three lines.
  const auto pipes = lines_in(page, ui::rgb(0, 128, 128), 4);
  const auto p = [&](grid::SchemePoint q) { return std::pair{m.x(q.x), m.y(q.y)}; };
  const auto has_pipe = [&](grid::SchemePoint a, grid::SchemePoint b) {
    return count_between(pipes, p(a).first, p(a).second, p(b).first, p(b).second) == 1;
  };
  EXPECT_EQ(pipes.size(), 8u);
  EXPECT_TRUE(has_pipe(scheme.MainPipeStart, scheme.MainPipeEnd));
  EXPECT_TRUE(has_pipe(scheme.AddPipeStart, scheme.AddPipeEnd));
  EXPECT_TRUE(has_pipe(scheme.RingCornerMain, scheme.RingCornerAdd));
  EXPECT_TRUE(has_pipe(scheme.ParallelCornerAdd, scheme.AddPipeEnd));

  // Branch lines, and each row joined at both ends with the drop to the mains.
  const auto green = lines_in(page, ui::rgb(47, 79, 47), 2);
  EXPECT_EQ(green.size(), 3u * 3 + 3 * 2 * 2);
  for (int i = 1; i <= 3; ++i)
    for (int j : {1, 4}) {
      const double x = m.x(scheme.point(i, j, 7)), y = scheme.point(i, j, 8);
      EXPECT_EQ(count_between(green, x, m.y(y), x, m.y(y + drop)), 1) << i << ' ' << j;
    }

  // The feed pipeline leaves the parallel pipe: its first cross stands on
  // the pipe, 250 units above the point the section starts from, joined to
  // it by a red riser; no lead-in from the main.
  const auto& fs = scheme.FeedSections;
  const auto feed = lines_in(page, ui::rgb(255, 0, 0), 4);
  const auto crosses = lines_in(page, ui::kBlack, 4);
  ASSERT_EQ(crosses.size(), 6u);
  const double inlet_y = fs[1][4] - 250;
  EXPECT_TRUE(
      drawn_between(crosses[0], m.x(fs[1][3] - 30), m.y(inlet_y - 30), m.x(fs[1][3] + 30), m.y(inlet_y + 30)));
  EXPECT_TRUE(
      drawn_between(crosses[2], m.x(fs[2][3] - 30), m.y(fs[2][4] - 30), m.x(fs[2][3] + 30), m.y(fs[2][4] + 30)));
  EXPECT_GE(count_between(feed, m.x(fs[1][3]), m.y(inlet_y), m.x(fs[1][3]), m.y(fs[1][4])), 1);
  for (int k = 1; k <= 3; ++k)
    EXPECT_EQ(count_between(feed, m.x(fs[k][3]), m.y(fs[k][5]), m.x(fs[k][6]), m.y(fs[k][7])), 1) << k;

  // Numbers: every row's in dark red, the sprinklers' along row 1, the sections'.
  std::vector<ui::DrawOp> numbers;
  for (const auto& t : of_kind(page, Kind::Text))
    if (t.font.name == L"Arial") numbers.push_back(t);
  ASSERT_EQ(numbers.size(), 3u + 4 + 3);
  for (int i = 1; i <= 3; ++i) {
    const ui::DrawOp& t = numbers[i - 1];
    EXPECT_EQ(t.text, L" " + std::to_wstring(i) + L" ");
    EXPECT_EQ(t.color, ui::rgb(128, 0, 0));
    EXPECT_NEAR(t.x1, m.x(scheme.point(i, 0, 5)), 0.05);
    EXPECT_NEAR(t.y1, m.y(scheme.point(i, 0, 6)), 0.05);
  }
  for (int j = 1; j <= 4; ++j) {
    const ui::DrawOp& t = numbers[2 + j];
    EXPECT_EQ(t.text, L" " + std::to_wstring(j) + L" ");
    EXPECT_EQ(t.color, ui::kBlack);
    EXPECT_NEAR(t.x1, m.x(scheme.point(1, j, 1) + 50), 0.05);
    EXPECT_NEAR(t.y1, m.y(scheme.point(1, j, 2) - 250), 0.05);
  }
  for (int k = 1; k <= 3; ++k) {
    const ui::DrawOp& t = numbers[6 + k];
    EXPECT_EQ(t.text, L" " + std::to_wstring(k) + L" ");
    EXPECT_NEAR(t.x1, m.x((fs[k][3] + fs[k][6]) / 2), 0.05);
    EXPECT_NEAR(t.y1, m.y((fs[k][5] + fs[k][7]) / 2 - 100), 0.05);
  }

  // Printing works on a copy: the form's scheme is as it was, and a second
  // print draws the same page.
  EXPECT_EQ(scheme.FeedSections, before.FeedSections);
  EXPECT_EQ(scheme.SchemePoints, before.SchemePoints);
  const std::vector<ui::DrawOp> first = page.ops;
  host_.listed_printers().recorder().clear();
  const ui::PrintedPage& again = print(grid_scheme_page_input(scheme, fields, kBothCrossPipes, false));
  ASSERT_EQ(again.ops.size(), first.size());
  for (std::size_t k = 0; k < first.size(); ++k) {
    EXPECT_EQ(again.ops[k].x1, first[k].x1) << k;
    EXPECT_EQ(again.ops[k].y1, first[k].y1) << k;
  }
}

// The cross pipes follow the report's diameters; without a parallel pipe
// the feed pipeline is led in from the main's first end.
TEST_F(SchemePage, CrossPipesAndTheLeadInToTheFeedPipeline) {
  struct Case {
    const wchar_t* ring;
    const wchar_t* parallel;
    int pipe_lines;
    bool lead_in;
  };
  const Case cases[] = {
      {L"    нет", L"    нет", 2 + 1, true},
      {L"     32", L"    нет", 2 + 3 + 1, true},
      {L"    нет", L"     40", 2 + 3, false},
      {L"     32", L"     40", 2 + 3 + 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pipe_lines << c.lead_in);
    host_.listed_printers().recorder().clear();
    const auto fields = grid_fields(L" нет", L" нет", c.lead_in ? L" нет" : L" 40");
    const grid::GridScheme scheme = drawn_scheme(fields);
    const ui::PrintedPage& page = print(grid_scheme_page_input(scheme, fields, {c.parallel, c.ring, 3}, false));
    const Mapping m = mapping_of(page, scheme.SchemeScale);
    const auto pipes = lines_in(page, ui::rgb(0, 128, 128), 4);
    EXPECT_EQ(pipes.size(), static_cast<std::size_t>(c.pipe_lines));
    const auto& fs = scheme.FeedSections;
    EXPECT_EQ(count_between(pipes, m.x(scheme.MainPipeStart.x), m.y(scheme.MainPipeStart.y), m.x(fs[1][3]),
                            m.y(fs[1][4])),
              c.lead_in ? 1 : 0);
  }
}

// Rows joined at a dead end's last sprinkler get no drop of their own: the
// joining piece runs down to the main. A dead end that is not a whole number
// joins where the form's drawing put the piece (the row's length less the
// dead end, rounded).
TEST_F(SchemePage, JoiningPiecesAtTheRowEndsOrAtTheDeadEnds) {
  struct Case {
    const wchar_t* dead_main;
    const wchar_t* dead_add;
    int per_row;
    int main_side, add_side;  // sprinkler of the joining piece
    bool main_drop, add_drop;
  };
  const Case cases[] = {
      {L" нет", L" нет", 4, 1, 4, true, true},
      {L" 1", L" нет", 4, 1, 4, false, true},
      {L" нет", L" 2", 4, 1, 2, true, false},
      {L" 1", L" 1", 4, 1, 3, false, false},
      {L" нет", L" 1.5", 5, 1, 4, true, false},
      {L" 1.5", L" 0.5", 5, 2, 4, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.main_side << c.add_side << c.main_drop << c.add_drop);
    host_.listed_printers().recorder().clear();
    auto fields = grid_fields(c.dead_main, c.dead_add);
    fields[4] = L" " + std::to_wstring(c.per_row);
    const grid::GridScheme scheme = drawn_scheme(fields);
    const ui::PrintedPage& page = print(grid_scheme_page_input(scheme, fields, kBothCrossPipes, false));
    const Mapping m = mapping_of(page, scheme.SchemeScale);
    const auto green = lines_in(page, ui::rgb(47, 79, 47), 2);
    EXPECT_EQ(green.size(), 3u * (c.per_row - 1) + 3 * (2 + c.main_drop + c.add_drop));
    for (int i = 1; i <= 3; ++i)
      for (const auto& [j, with_drop] : {std::pair{c.main_side, c.main_drop}, std::pair{c.add_side, c.add_drop}}) {
        const auto pt = [&](int k) { return scheme.point(i, j, k); };
        EXPECT_EQ(count_between(green, m.x(pt(5)), m.y(pt(6)), m.x(pt(7)), m.y(pt(8))), 1) << i << ' ' << j;
        EXPECT_EQ(count_between(green, m.x(pt(7)), m.y(pt(8)), m.x(pt(7)), m.y(pt(8) + 150)), with_drop ? 1 : 0);
      }
  }
}

TEST_F(SchemePage, NumberSizeFollowsTheScale) {
  const std::pair<double, double> cases[] = {{0.5, 6}, {0.25, 4}, {1, 10}, {2, 10}};
  for (const auto& [scale, size] : cases) {
    SCOPED_TRACE(scale);
    host_.listed_printers().recorder().clear();
    const auto fields = grid_fields();
    grid::GridScheme scheme = drawn_scheme(fields);
    scheme.SchemeScale = scale;
    const ui::PrintedPage& page = print(grid_scheme_page_input(scheme, fields, kBothCrossPipes, false));
    int numbers = 0;
    for (const auto& t : of_kind(page, Kind::Text))
      if (t.font.name == L"Arial") {
        EXPECT_FLOAT_EQ(t.font.size, size);
        EXPECT_FALSE(t.font.bold);
        ++numbers;
      }
    EXPECT_EQ(numbers, 10);
  }
}

// An inlet on the main pipe: the form's drawing did not move the first
// section's start down out of the parallel pipe, so the page does not move
// it back up either; its cross stands on the main pipe where the form put it.
TEST_F(SchemePage, InletOnTheMainPipeKeepsItsPlace) {
  const auto fields = grid_fields(L" нет", L" нет", L" 32", L" -3");
  const grid::GridScheme scheme = drawn_scheme(fields);
  const ui::PrintedPage& page = print(grid_scheme_page_input(scheme, fields, kBothCrossPipes, false));
  const Mapping m = mapping_of(page, scheme.SchemeScale);
  const auto& fs = scheme.FeedSections;
  const auto crosses = lines_in(page, ui::kBlack, 4);
  ASSERT_EQ(crosses.size(), 6u);
  EXPECT_TRUE(drawn_between(crosses[0], m.x(fs[1][3] - 30), m.y(fs[1][4] - 30), m.x(fs[1][3] + 30),
                            m.y(fs[1][4] + 30)));
  const auto feed = lines_in(page, ui::rgb(255, 0, 0), 4);
  EXPECT_EQ(feed.size(), 3u * 2);
  EXPECT_EQ(count_between(feed, m.x(fs[1][3]), m.y(fs[1][4]), m.x(fs[1][3]), m.y(fs[1][5])), 1);
}

// What the scheme cannot hold is left out instead of read beyond its tables:
// a scheme never drawn prints the title and legend alone; more feed sections
// in the report than the scheme has, and a dead end longer than the row.
TEST_F(SchemePage, ValuesBeyondTheSchemeAreLeftOut) {
  {
    const ui::PrintedPage& page = print(GridSchemePageInput{});
    EXPECT_EQ(of_kind(page, Kind::Line).size(), 0u);
    EXPECT_EQ(of_kind(page, Kind::Circle).size(), 2u);
  }
  host_.listed_printers().recorder().clear();
  const auto fields = grid_fields();
  GridSchemePageInput in = grid_scheme_page_input(drawn_scheme(fields), fields, {L"     32", L"     32", 5}, false);
  in.DeadEndMain = 9;
  const ui::PrintedPage& page = print(in);
  EXPECT_EQ(lines_in(page, ui::kBlack, 4).size(), 3u * 2);  // the three sections' crosses
  EXPECT_EQ(lines_in(page, ui::rgb(47, 79, 47), 2).size(), 3u * 3 + 3 * 2);  // no piece on the main's side
}

}  // namespace
