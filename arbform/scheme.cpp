#include "arbform/scheme.h"

#include <cmath>

#include "arbmodel/scheme_file.h"
#include "arbmodel/scheme_symbols.h"
#include "text/numtext.h"

namespace dorv::arb {
namespace {

int pixels(double p) { return static_cast<int>(round_half_even(p, 0)); }

}  // namespace

SchemeFit DrawCalcScheme(ui::Surface& s, int box_width, int box_height, const std::filesystem::path& file) {
  SchemeFit fit;
  s.cls();
  s.fore_color = ui::kBlack;
  if (box_width <= 0 || box_height <= 0) return fit;
  const SchemeFile scheme = read_scheme_file(file);
  if (!scheme.has_header) return fit;
  const double x0 = scheme.x0, y0 = scheme.y0, w = scheme.w, h = scheme.h;
  if (!(w >= kSmallestSchemeExtent) || !(h >= kSmallestSchemeExtent)) return fit;
  const double wb = box_width, hb = box_height, r = hb / wb;
  double scaled_height;
  if (h / w < r) {
    fit.k = wb / w;
    scaled_height = w * r;
    const double top = y0 - (w * r - h) / 2;
    s.scale(x0, top, x0 + w, top + scaled_height);
  } else {
    fit.k = hb / h;
    scaled_height = h;
    const double left = x0 - (h / r - w) / 2;
    s.scale(left, y0, left + h / r, y0 + h);
  }
  double p = 280 / scaled_height;
  if (p < 1) p = 1;
  fit.pen = pixels(p);
  fit.double_pen = pixels(2 * p);
  fit.drawn = true;
  const double k = fit.k;

  // The symbols' sizes on the screen, in scheme units.
  const OutletSymbolSize open_main{3.0}, closed_main{2.5};
  const OutletSymbolSize open_rack{3.0, 0.5, 2.25}, closed_rack{2.5, 1, 2};
  const OutletSymbolSize open_deluge{3.5, 2.2}, closed_deluge{3.0, 2.2};
  const OutletSymbolSize open_cock{4, 0, 0, k / 4.5, -3, -2.5}, closed_cock{3, 0, 0, k / 6, -2, -1.5};

  for (const SchemeRecord& rec : scheme.records) {
    const double x = rec.v[0], y = rec.v[1];
    // A symbol drawn with the doubled pen; some leave the base pen behind.
    auto symbol = [&](OutletKind kind, bool open, const OutletSymbolSize& size, bool base_pen_after) {
      s.draw_width = fit.double_pen;
      draw_outlet_symbol(s, kind, open, x, y, size);
      if (base_pen_after) s.draw_width = fit.pen;
    };
    switch (rec.code) {
      case kRedLine:
        s.draw_width = fit.pen;
        s.line(rec.v[0], rec.v[1], rec.v[2], rec.v[3], kSchemeRed);
        break;
      case kBlackLine:
        s.draw_width = fit.double_pen;
        s.line(rec.v[0], rec.v[1], rec.v[2], rec.v[3], ui::kBlack);
        break;
      case kOpenMainSprinkler: symbol(OutletKind::kMainSprinkler, true, open_main, true); break;
      case kClosedMainSprinkler: symbol(OutletKind::kMainSprinkler, false, closed_main, false); break;
      case kLabel: {
        const double th = rec.v[3];
        double size = std::sqrt(th) * k;
        if (size > 50) size = 2 * (1.6 * th * k / 20 + 0.5);
        if (size > 4 && size < 50) size = 4;
        s.text_font.size = size;
        s.current_x = x - 1 - 1.6 * th / 3;
        s.current_y = y - 2.5 - 1.6 * th;
        s.print(rec.text);
        break;
      }
      case kStarMark:
        s.draw_width = fit.double_pen;
        draw_star_mark(s, x, y);
        break;
      case kOpenDelugeHead: symbol(OutletKind::kDelugeHead, true, open_deluge, true); break;
      case kClosedDelugeHead: symbol(OutletKind::kDelugeHead, false, closed_deluge, true); break;
      case kOpenFireCock: symbol(OutletKind::kFireCock, true, open_cock, false); break;
      case kClosedFireCock: symbol(OutletKind::kFireCock, false, closed_cock, false); break;
      case kThreeSegmentMark: draw_three_segment_mark(s, rec.v); break;
      case kOpenRackSprinkler: symbol(OutletKind::kRackSprinkler, true, open_rack, true); break;
      case kClosedRackSprinkler: symbol(OutletKind::kRackSprinkler, false, closed_rack, true); break;
    }
  }
  return fit;
}

}  // namespace dorv::arb
