// The grid's calculation scheme: an isometric view of the branch lines with
// their sprinklers, the main and additional pipes with their risers, the
// ring and parallel pipes and the numbers of rows and sprinklers. The model
// stays with the form after drawing, for the report printer to draw its own
// copy from.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace dorv::grid {

// The largest grid the scheme draws; a larger one (and one with fewer than
// one row or sprinkler) leaves the picture empty.
constexpr int kSchemeMaxRows = 1000;
constexpr int kSchemeMaxSprinklersPerRow = 1000;
constexpr long long kSchemeMaxSprinklers = 200000;

struct SchemePoint {
  double x = 0;
  double y = 0;
};

// Model units: one sprinkler step is 500 along a branch line, one row step
// 500·r (r = row spacing / sprinkler spacing), one metre of height 150; y
// points down.
struct GridScheme {
  // SchemePoints(i, j, c): rows 0..m, sprinklers 0..n, columns 0..8;
  // 1, 2 the point on the branch line, 3 the head's y, 4 the operating mark,
  // 5..8 the ends of the segment that joins a pipe there (element (i, 0)
  // columns 5, 6: where the riser of row i meets the additional pipe).
  std::vector<double> SchemePoints;
  int SchemeRows = 0;              // m
  int SchemeSprinklersPerRow = 0;  // n
  double SchemeScale = 0;
  double PipeLevelOffset = 0;
  SchemePoint MainPipeStart, MainPipeEnd, AddPipeStart, AddPipeEnd;
  SchemePoint RingCornerMain, RingCornerAdd, ParallelCornerMain, ParallelCornerAdd;
  // FeedSections(i, c): sections 1..FeedSectionCount, columns 1 length,
  // 2 height difference, 3..7 the section's points once drawn.
  std::vector<std::array<double, 8>> FeedSections;
  int FeedSectionCount = 0;

  double point(int i, int j, int c) const { return SchemePoints[index(i, j, c)]; }
  double& point(int i, int j, int c) { return SchemePoints[index(i, j, c)]; }

 private:
  std::size_t index(int i, int j, int c) const {
    return (static_cast<std::size_t>(i) * static_cast<std::size_t>(SchemeSprinklersPerRow + 1) +
            static_cast<std::size_t>(j)) * 9 + static_cast<std::size_t>(c);
  }
};

// Colours of the scheme.
constexpr ui::Color kPipeColor = ui::rgb(0, 128, 128);
constexpr ui::Color kBranchColor = ui::rgb(47, 79, 47);
constexpr ui::Color kDropColor = ui::rgb(0, 0, 255);
constexpr ui::Color kHeadFill = ui::rgb(192, 192, 192);
constexpr ui::Color kRowNumberColor = ui::rgb(128, 0, 0);

constexpr ui::Color kFeedColor = ui::rgb(255, 0, 0);
constexpr ui::Color kOperatingColor = ui::rgb(255, 0, 0);

// Half a sprinkler step along a branch line, across and down the picture
// (500·√3/4 and 500/4); times r, half a row step.
constexpr double kHalfStepX = 216.506;
constexpr double kHalfStepY = 125;

// Sizes in model units, the same on the screen and on the printed page.
constexpr double kHeadRadius = 40;        // a sprinkler's grey head
constexpr double kOperatingRadius = 60;   // the red disc over an operating sprinkler's head
constexpr double kFeedCross = 30;         // half the cross where a feed section starts
constexpr double kParallelDrop = 250;     // the first feed section's drop out of a parallel pipe

// A whole number as a picture prints a number: the sign's place, the digits, a blank.
std::wstring printed(long long n);

// Feed pipeline sections of Text4: commas after its first character, plus one.
int count_feed_sections(const std::wstring& feed);
// Sections 1..count: column 1 the length (the number the section starts
// with), column 2 the height after its first "h".
std::vector<std::array<double, 8>> parse_feed_sections(const std::wstring& feed, int count);

// Draws the grid of the fields Text1(0..18) into a cleared picture of the
// given size (twips) and leaves the model in `scheme`. A missing sprinkler
// spacing, a negative spacing, or counts the scheme cannot hold draw nothing
// and leave the model as it was; false then.
bool DrawGridScheme(GridScheme& scheme, const std::array<std::wstring, 19>& fields, const std::wstring& feed,
                    ui::Surface& picture, double width, double height);

// The feed pipeline, drawn from the grid inlet outward section by section
// (FeedSections as the grid's drawing left them); the section points go into
// FeedSections. An inlet distance (field 16) beyond the grid is taken as the
// grid's edge: the field's new text is returned then, nothing otherwise.
std::optional<std::wstring> draw_feed_pipeline(GridScheme& scheme, const std::array<std::wstring, 19>& fields,
                                             ui::Surface& picture);

// How the operating sprinklers were found in the report.
enum class MarkResult {
  Marked,   // the sprinkler table was read to its end
  NoTable,  // no sprinkler table: nothing marked
  CutShort, // the table ends before its closing line: what was read is marked
};
// Marks (column 4 = 1) the sprinklers whose head the report's sprinkler
// table shows.
MarkResult mark_operating_sprinklers(GridScheme& scheme, const std::vector<std::wstring>& report);
// Red discs over the heads of the marked sprinklers.
void draw_operating_sprinklers(const GridScheme& scheme, ui::Surface& picture);

}  // namespace dorv::grid
