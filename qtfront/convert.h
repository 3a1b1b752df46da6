// Small conversions between the platform layer's world (wide text, twips,
// 0xRRGGBB colours, point sizes) and Qt's (QString, pixels, QColor, QFont).
#pragma once
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <string>

#include "platform/controls.h"

namespace dorv::front {

inline QString qs(const std::wstring& s) { return QString::fromStdWString(s); }
inline std::wstring ws(const QString& s) { return s.toStdWString(); }
// Line breaks of the program's texts (CR LF) as Qt shows them (LF), and back.
QString display_text(const std::wstring& s);
std::wstring program_text(const QString& s);

// Twips (1/1440 inch) to pixels at the screen's logical resolution, and back.
double dpi_x();
double dpi_y();
int px_x(double twips);
int px_y(double twips);
double twips_x(double px);
double twips_y(double px);

inline QColor qcolor(ui::Color c) { return QColor(static_cast<int>((c >> 16) & 255), static_cast<int>((c >> 8) & 255), static_cast<int>(c & 255)); }
// A platform font as Qt draws it. The classic sans-serif of the forms is the
// program's face; other families are asked for by name and found through
// the substitutes the host installs.
QFont program_font(const ui::Font& font);
// A colour of the platform; a scheme colour is looked up in the palette.
QColor qcolor(ui::Color c, const QPalette& palette);

}  // namespace dorv::front
