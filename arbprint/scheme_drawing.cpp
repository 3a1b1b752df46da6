#include <algorithm>

#include "arbmodel/scheme_symbols.h"
#include "arbprint/scheme_stages.h"
#include "text/numtext.h"

namespace dorv::arbprint {
namespace {

using arb::OutletKind;
using arb::OutletSymbolSize;

// 5 scheme units never take more than 4 mm of paper.
constexpr double kLargestScale = 4.0 / 5;

// The pen factor of each record code, against the base pen (half a scheme
// unit on the device); 0: the record sets no pen.
constexpr double kPenFactor[] = {0, 1, 2, 2.5, 2, 0, 2, 2.5, 2, 2.5, 2, 3, 2.5, 2};

// The fire cock's square is drawn on a white ground, so that the pipe that
// ends at the cock stops at the square instead of crossing its "ПК".
void fire_cock_ground(ui::Printer& p, double x, double y, double half_side) {
  const bool solid = p.fill_solid;
  const ui::Color fill = p.fill_color;
  p.fill_solid = true;
  p.fill_color = ui::kWhite;
  p.circle(x, y, half_side, ui::kWhite);
  p.fill_solid = solid;
  p.fill_color = fill;
}

// The size in points of the labels of a drawing at `twips_per_unit`. The
// screen fits the scheme into its picture (`picture_width` by
// `picture_height` twips) keeping its proportions, and shows every label in
// the picture's face at the smallest size that face has (the labels ask for
// less), whatever that fit. Printed at the same share of the drawing, a
// label stands as clear of the symbols beside it as on the screen.
double label_points(const arb::SchemeFile& scheme, double twips_per_unit, double picture_width,
                    double picture_height) {
  const double screen_points = ui::Font{}.size;
  const double screen_twips_per_unit = std::min(picture_width / scheme.w, picture_height / scheme.h);
  if (!(screen_twips_per_unit > 0)) return screen_points;  // no picture given
  return screen_points * twips_per_unit / screen_twips_per_unit;
}

}  // namespace

void draw_scheme_records(ui::Printer& p, const arb::SchemeFile& scheme, const SchemeLayout& layout,
                         double picture_width, double picture_height) {
  const double s = std::min(layout.scale, kLargestScale);
  const double t = kTwipsPerMm * s;  // twips per scheme unit
  // Centred across the usable width, its top edge at ytop.
  p.set_scale_width(layout.width / t);
  p.set_scale_left(scheme.x0 - (layout.width / t - scheme.w) / 2);
  p.set_scale_height(layout.height / t);
  p.set_scale_top(scheme.y0 - layout.ytop / t);

  double d = p.twips_per_pixel_x();
  if (!(d > 0)) d = 1;
  const double base_pen = 0.99 + 0.5 * t / d;

  // The symbols' sizes in scheme units.
  const OutletSymbolSize open_main{3.0}, closed_main{2.5};
  const OutletSymbolSize open_rack{3.0, 0.5, 2.25}, closed_rack{2.5, 0.35, 1.8};
  const OutletSymbolSize open_deluge{4.0, 2.8}, closed_deluge{3.0, 2.2};
  const OutletSymbolSize open_cock{3.5, 0, 0, t / 4.5, -3, -2.5}, closed_cock{3, 0, 0, t / 6, -2, -1.5};
  const double label_size = label_points(scheme, t, picture_width, picture_height);

  for (const arb::SchemeRecord& r : scheme.records) {
    if (kPenFactor[r.code] > 0)
      p.draw_width = static_cast<int>(round_half_even(kPenFactor[r.code] * base_pen, 0));
    const double x = r.v[0], y = r.v[1];
    auto symbol = [&](OutletKind kind, bool open, const OutletSymbolSize& size) {
      arb::draw_outlet_symbol(p, kind, open, x, y, size);
    };
    switch (r.code) {
      case arb::kRedLine: p.line(r.v[0], r.v[1], r.v[2], r.v[3], arb::kSchemeRed); break;
      case arb::kBlackLine: p.line(r.v[0], r.v[1], r.v[2], r.v[3], ui::kBlack); break;
      case arb::kOpenMainSprinkler: symbol(OutletKind::kMainSprinkler, true, open_main); break;
      case arb::kClosedMainSprinkler: symbol(OutletKind::kMainSprinkler, false, closed_main); break;
      case arb::kLabel: {
        // The label's height h gives it a line 1.6 h high, its foot 0.7
        // above the point and its start 1 + 1.6 h / 3 left of it; the text
        // at the screen's size starts there, centred on the line's height.
        const double h = r.v[3];
        const double text_height = label_size * 20 / t;
        p.text_font.size = label_size;
        p.current_x = x - 1 - 1.6 * h / 3;
        p.current_y = y - 0.7 - 0.8 * h - text_height / 2;
        p.print(r.text);
        break;
      }
      case arb::kStarMark: arb::draw_star_mark(p, x, y); break;
      case arb::kOpenDelugeHead: symbol(OutletKind::kDelugeHead, true, open_deluge); break;
      case arb::kClosedDelugeHead: symbol(OutletKind::kDelugeHead, false, closed_deluge); break;
      case arb::kOpenFireCock:
        fire_cock_ground(p, x, y, open_cock.radius);
        symbol(OutletKind::kFireCock, true, open_cock);
        break;
      case arb::kClosedFireCock:
        fire_cock_ground(p, x, y, closed_cock.radius);
        symbol(OutletKind::kFireCock, false, closed_cock);
        break;
      case arb::kThreeSegmentMark: arb::draw_three_segment_mark(p, r.v); break;
      case arb::kOpenRackSprinkler: symbol(OutletKind::kRackSprinkler, true, open_rack); break;
      case arb::kClosedRackSprinkler: symbol(OutletKind::kRackSprinkler, false, closed_rack); break;
    }
  }
}

}  // namespace dorv::arbprint
