#include "arbform/scheme.h"

#include <cmath>
#include <optional>

#include "text/itemreader.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace dorv::arb {
namespace {

using ui::rgb;
constexpr ui::Color kRed = rgb(255, 0, 0);
constexpr ui::Color kMagenta = rgb(255, 0, 255);

int pixels(double p) { return static_cast<int>(round_half_even(p, 0)); }

}  // namespace

SchemeFit DrawCalcScheme(ui::Surface& s, int box_width, int box_height, const std::filesystem::path& file) {
  SchemeFit fit;
  s.cls();
  s.fore_color = ui::kBlack;
  const auto bytes = try_read_bytes(file);
  if (!bytes || box_width <= 0 || box_height <= 0) return fit;
  ItemReader in(from_cp1251(*bytes));
  auto number = [&]() -> std::optional<double> {
    const auto item = in.next();
    if (!item) return std::nullopt;
    return item->number();
  };
  double head[4];
  for (double& v : head) {
    const auto n = number();
    if (!n) return fit;
    v = *n;
  }
  const double x0 = head[0], y0 = head[1], w = head[2], h = head[3];
  if (w <= 0 || h <= 0) return fit;
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

  auto line = [&](double a, double b, double c, double d, std::optional<ui::Color> col = std::nullopt) {
    s.line(a, b, c, d, col);
  };
  auto cross = [&](double x, double y, ui::Color col) {
    line(x - 2.2, y - 2.2, x + 2.2, y + 2.2, col);
    line(x - 2.2, y + 2.2, x + 2.2, y - 2.2, col);
  };
  auto square = [&](double x, double y, double a, ui::Color col) {
    line(x - a, y - a, x - a, y + a, col);
    line(x - a, y + a, x + a, y + a, col);
    line(x + a, y + a, x + a, y - a, col);
    line(x - a, y - a, x + a, y - a, col);
  };
  auto text_at = [&](double x, double y, const std::wstring& t, double size, ui::Color col) {
    s.text_font.size = size;
    s.fore_color = col;
    s.current_x = x;
    s.current_y = y;
    s.print(t);
  };

  while (!in.eof()) {
    const auto code_item = in.next();
    if (!code_item) break;
    const double code = code_item->number();
    static const int counts[] = {0, 4, 4, 2, 2, 4, 2, 2, 2, 2, 2, 8, 2, 2};
    if (code < 1 || code > 13 || code != std::floor(code)) continue;
    const int c = static_cast<int>(code);
    double v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    std::wstring label;
    bool complete = true;
    for (int i = 0; i < counts[c] && complete; ++i) {
      const auto item = in.next();
      if (!item) complete = false;
      else if (c == 5 && i == 2) label = item->text;
      else v[i] = item->number();
    }
    if (!complete) break;
    const double x = v[0], y = v[1];
    switch (c) {
      case 1:
        s.draw_width = fit.pen;
        line(v[0], v[1], v[2], v[3], kRed);
        break;
      case 2:
        s.draw_width = fit.double_pen;
        line(v[0], v[1], v[2], v[3], ui::kBlack);
        break;
      case 3:
        s.draw_width = fit.double_pen;
        s.circle(x, y, 3.0, kRed);
        s.draw_width = fit.pen;
        break;
      case 4:
        s.draw_width = fit.double_pen;
        s.circle(x, y, 2.5, ui::kBlack);
        break;
      case 5: {
        const double th = v[3];
        double size = std::sqrt(th) * k;
        if (size > 50) size = 2 * (1.6 * th * k / 20 + 0.5);
        if (size > 4 && size < 50) size = 4;
        text_at(x - 1 - 1.6 * th / 3, y - 2.5 - 1.6 * th, label, size, s.fore_color);
        break;
      }
      case 6:
        s.draw_width = fit.double_pen;
        line(x, y - 5, x, y + 5, kMagenta);
        line(x - 4.3, y - 2.5, x + 4.3, y + 2.5, kMagenta);
        line(x - 4.3, y + 2.5, x + 4.3, y - 2.5, kMagenta);
        break;
      case 7:
        s.draw_width = fit.double_pen;
        s.circle(x, y, 3.5, rgb(255, 0, 157));
        cross(x, y, rgb(140, 50, 140));
        s.draw_width = fit.pen;
        break;
      case 8:
        s.draw_width = fit.double_pen;
        s.circle(x, y, 3.0, ui::kBlack);
        cross(x, y, ui::kBlack);
        s.draw_width = fit.pen;
        break;
      case 9:
        s.draw_width = fit.double_pen;
        square(x, y, 4, kMagenta);
        text_at(x - 3, y - 2.5, L"ПК", k / 4.5, rgb(200, 100, 200));
        s.fore_color = ui::kBlack;
        break;
      case 10:
        s.draw_width = fit.double_pen;
        square(x, y, 3, ui::kBlack);
        text_at(x - 2, y - 1.5, L"ПК", k / 6, ui::kBlack);
        break;
      case 11:
        line(v[0], v[1], v[4], v[5], ui::kBlack);
        line(v[2], v[3], v[6], v[7], ui::kBlack);
        line(v[2], v[3], v[4], v[5], ui::kBlack);
        break;
      case 12:
        s.draw_width = fit.double_pen;
        s.circle(x, y, 3.0, kRed);
        line(x - 0.5, y + 2.25, x + 2.25, y - 0.5, ui::kBlack);
        line(x - 2.25, y + 0.5, x + 0.5, y - 2.25, ui::kBlack);
        s.draw_width = fit.pen;
        break;
      case 13:
        s.draw_width = fit.double_pen;
        s.circle(x, y, 2.5, ui::kBlack);
        line(x - 1, y + 2, x + 2, y - 1, ui::kBlack);
        line(x - 2, y + 1, x + 1, y - 2, ui::kBlack);
        s.draw_width = fit.pen;
        break;
    }
  }
  return fit;
}

}  // namespace dorv::arb
