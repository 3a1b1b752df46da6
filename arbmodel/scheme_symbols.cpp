#include "arbmodel/scheme_symbols.h"

namespace dorv::arb {
namespace {

using ui::rgb;
constexpr ui::Color kMagenta = rgb(255, 0, 255);

void square(ui::Surface& s, double x, double y, double a, ui::Color c) {
  s.line(x - a, y - a, x - a, y + a, c);
  s.line(x - a, y + a, x + a, y + a, c);
  s.line(x + a, y + a, x + a, y - a, c);
  s.line(x - a, y - a, x + a, y - a, c);
}

}  // namespace

void draw_outlet_symbol(ui::Surface& s, OutletKind kind, bool open, double x, double y, const OutletSymbolSize& z) {
  const double a = z.a, b = z.b;
  switch (kind) {
    case OutletKind::kMainSprinkler:
      s.circle(x, y, z.radius, open ? kSchemeRed : ui::kBlack);
      break;
    case OutletKind::kRackSprinkler:
      s.circle(x, y, z.radius, open ? kSchemeRed : ui::kBlack);
      s.line(x - a, y + b, x + b, y - a, ui::kBlack);
      s.line(x - b, y + a, x + a, y - b, ui::kBlack);
      break;
    case OutletKind::kDelugeHead: {
      s.circle(x, y, z.radius, open ? rgb(255, 0, 157) : ui::kBlack);
      const ui::Color cross = open ? rgb(140, 50, 140) : ui::kBlack;
      s.line(x - a, y - a, x + a, y + a, cross);
      s.line(x - a, y + a, x + a, y - a, cross);
      break;
    }
    case OutletKind::kFireCock:
      square(s, x, y, z.radius, open ? kMagenta : ui::kBlack);
      s.text_font.size = z.label_size;
      s.fore_color = open ? rgb(200, 100, 200) : ui::kBlack;
      s.current_x = x + z.label_dx;
      s.current_y = y + z.label_dy;
      s.print(L"ПК");
      s.fore_color = ui::kBlack;
      break;
  }
}

void draw_star_mark(ui::Surface& s, double x, double y) {
  s.line(x, y - 5, x, y + 5, kMagenta);
  s.line(x - 4.3, y - 2.5, x + 4.3, y + 2.5, kMagenta);
  s.line(x - 4.3, y + 2.5, x + 4.3, y - 2.5, kMagenta);
}

void draw_three_segment_mark(ui::Surface& s, const double (&v)[8]) {
  s.line(v[0], v[1], v[4], v[5], ui::kBlack);
  s.line(v[2], v[3], v[6], v[7], ui::kBlack);
  s.line(v[2], v[3], v[4], v[5], ui::kBlack);
}

}  // namespace dorv::arb
