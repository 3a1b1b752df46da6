#include "qtfront/convert.h"

#include <QApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace dorv::front {

QString display_text(const std::wstring& s) {
  QString t = qs(s);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QChar('\r'), QChar('\n'));
  return t;
}

std::wstring program_text(const QString& s) {
  QString t = s;
  t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return ws(t);
}

namespace {
double screen_dpi(bool x) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 96.0;
  const double d = x ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return d > 0 ? d : 96.0;
}
}  // namespace

double dpi_x() { return screen_dpi(true); }
double dpi_y() { return screen_dpi(false); }
int px_x(double twips) { return static_cast<int>(std::lround(twips * dpi_x() / 1440.0)); }
int px_y(double twips) { return static_cast<int>(std::lround(twips * dpi_y() / 1440.0)); }
double twips_x(double px) { return px * 1440.0 / dpi_x(); }
double twips_y(double px) { return px * 1440.0 / dpi_y(); }

QFont program_font(const ui::Font& font) {
  QFont f = QApplication::font();
  const bool classic_face = font.name.empty() || font.name == ui::Font{}.name;
  if (!classic_face) f.setFamilies({qs(font.name)});
  // The classic sans-serif is a bitmap face: a size below its smallest one
  // (a scheme's labels are given 4 points) shows in that smallest size.
  const double smallest = classic_face ? ui::Font{}.size : 1.0;
  f.setPointSizeF(font.size > 0 ? std::max(font.size, smallest) : ui::Font{}.size);
  f.setBold(font.bold);
  return f;
}

QColor qcolor(ui::Color c, const QPalette& palette) {
  if (!ui::is_system_color(c)) return qcolor(c);
  switch (c) {
    case ui::kWindowBackground: return palette.color(QPalette::Base);
    case ui::kButtonFace:
    default: return palette.color(QPalette::Button);
  }
}

}  // namespace dorv::front
