// The symbols of the calculation scheme, drawn alike on the screen, in the
// printed drawing and in the printed legend: each outlet kind has a closed
// symbol in black and an open one in colour; two marks stand for other items
// of the network. Only the sizes differ (scheme units on the drawings, fixed
// twips in the legend); the caller sets the pen.
#pragma once
#include "platform/controls.h"

namespace dorv::arb {

enum class OutletKind { kMainSprinkler, kRackSprinkler, kDelugeHead, kFireCock };

// The colour of the scheme file's red lines and of an open sprinkler's circle.
inline constexpr ui::Color kSchemeRed = ui::rgb(255, 0, 0);

struct OutletSymbolSize {
  // The circle's radius; the fire cock's square: half its side.
  double radius = 0;
  // Inside a rack sprinkler two strokes (x-a, y+b)-(x+b, y-a) and
  // (x-b, y+a)-(x+a, y-b); inside a deluge head a cross reaching a along
  // each axis.
  double a = 0, b = 0;
  // The fire cock's "ПК": its font size in points and its place relative to
  // the centre.
  double label_size = 0, label_dx = 0, label_dy = 0;
};

// Draws an outlet's symbol centred at (x, y). The fire cock's label leaves
// the current position below it and the font size changed; the foreground
// colour is black afterwards.
void draw_outlet_symbol(ui::Surface& s, OutletKind kind, bool open, double x, double y, const OutletSymbolSize& size);

// The six-ray star: three magenta strokes through (x, y), 10 units long.
void draw_star_mark(ui::Surface& s, double x, double y);
// The three-segment mark: the path from (x1, y1) through (x3, y3) and
// (x2, y2) to (x4, y4), in black.
void draw_three_segment_mark(ui::Surface& s, const double (&v)[8]);

}  // namespace dorv::arb
