#include "qtfront/picture.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <cmath>

#include "qtfront/convert.h"

namespace dorv::front {

PictureWidget::PictureWidget(ui::PictureBox& box, QWidget* parent) : QWidget(parent), box_(&box) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!box_) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  painter.fillRect(rect(), qcolor(box_->back_color()));
  paint_ops(painter, box_->ops(), width(), height());
}

void paint_ops(QPainter& painter, const std::vector<ui::DrawOp>& ops, double width_px, double height_px) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  for (const ui::DrawOp& op : ops) {
    // A degenerate coordinate system maps nothing anywhere.
    if (op.scale_width == 0 || op.scale_height == 0) continue;
    const auto x = [&](double u) { return (u - op.scale_left) / op.scale_width * width_px; };
    const auto y = [&](double v) { return (v - op.scale_top) / op.scale_height * height_px; };
    QPen pen(qcolor(op.color));
    pen.setWidthF(std::max(1, op.draw_width));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    switch (op.kind) {
      case ui::DrawOp::Kind::Line:
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(x(op.x1), y(op.y1)), QPointF(x(op.x2), y(op.y2)));
        break;
      case ui::DrawOp::Kind::Circle: {
        // The radius is measured in horizontal units; the circle stays round.
        const double r = std::fabs(op.radius / op.scale_width * width_px);
        painter.setBrush(op.filled ? QBrush(qcolor(op.fill_color)) : QBrush(Qt::NoBrush));
        painter.drawEllipse(QPointF(x(op.x1), y(op.y1)), r, r);
        break;
      }
      case ui::DrawOp::Kind::Text: {
        // The position is the top-left corner of the text.
        const QFont font = program_font(op.font_size, op.bold);
        painter.setFont(font);
        const QFontMetricsF fm(font, painter.device());
        painter.drawText(QPointF(x(op.x1), y(op.y1) + fm.ascent()), qs(op.text));
        break;
      }
    }
  }
}

void CaptionButton::paintEvent(QPaintEvent* event) {
  const QString caption = text();
  const int room = width() - 8;
  if (!caption.contains(QChar('\n')) && fontMetrics().horizontalAdvance(caption) <= room) {
    QPushButton::paintEvent(event);
    return;
  }
  // A caption wider than the button wraps at its blanks, as the classic
  // buttons do; the runs of blanks that were put in to force the wrap go.
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  QStringList lines = caption.split(QChar('\n'));
  for (QString& line : lines) line = line.simplified();
  painter.drawText(rect().adjusted(3, 2, -3, -2), Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                   lines.join(QChar('\n')));
}

}  // namespace dorv::front
