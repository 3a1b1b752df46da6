#include "qtfront/widgets.h"

#include <QRegularExpression>

#include <QMouseEvent>
#include <QScrollBar>
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
  painter.fillRect(rect(), qcolor(box_->back_color(), palette()));
  paint_ops(painter, box_->ops(), width(), height());
}

void PictureWidget::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click && on_click) on_click();
}

void PictureWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  pressed_ = false;
  event->accept();
  if (event->button() == Qt::LeftButton && on_dbl_click) on_dbl_click();
}

void ReportList::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int left = horizontalScrollBar()->value();
  QTreeWidget::scrollTo(index, hint);
  horizontalScrollBar()->setValue(left);
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
        const QFont font = program_font(op.font);
        painter.setFont(font);
        const QFontMetricsF fm(font, painter.device());
        painter.drawText(QPointF(x(op.x1), y(op.y1) + fm.ascent()), qs(op.text));
        break;
      }
    }
  }
}

QString wrapped_caption(const QString& caption, const QFontMetrics& metrics, int height) {
  static const QRegularExpression kBreak(QStringLiteral(" {3,}"));
  QStringList broken;
  QStringList folded;
  for (const QString& line : caption.split(QChar('\n'))) {
    folded += line.simplified();
    for (const QString& part : line.split(kBreak, Qt::SkipEmptyParts))
      if (!part.trimmed().isEmpty()) broken += part.simplified();
  }
  if (broken.size() > folded.size() && broken.size() * metrics.lineSpacing() <= height) return broken.join(QChar('\n'));
  return folded.join(QChar('\n'));
}

namespace {

bool fits(const QWidget& w, const QString& text, int room) {
  return !text.contains(QChar('\n')) && w.fontMetrics().horizontalAdvance(text) <= room;
}

// An option or check box whose caption does not fit: the indicator as the
// style draws it, the caption wrapped beside it.
template <class Button>
bool paint_wrapped(Button& button, QStyleOptionButton& option, QStyle::ControlElement element,
                   QStyle::SubElement contents) {
  const QRect text_rect = button.style()->subElementRect(contents, &option, &button);
  const QString caption = wrapped_caption(button.text(), button.fontMetrics(), button.height());
  if (!caption.contains(QChar('\n')) && fits(button, button.text(), text_rect.width())) return false;
  QStylePainter painter(&button);
  option.text.clear();
  painter.drawControl(element, option);
  painter.setPen(button.palette().color(button.isEnabled() ? QPalette::Active : QPalette::Disabled,
                                        QPalette::WindowText));
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic |
                    (fits(button, caption, text_rect.width()) ? 0 : Qt::TextWordWrap);
  painter.drawText(text_rect.adjusted(0, -text_rect.top(), 0, button.height() - text_rect.bottom() - 1), flags,
                   caption);
  return true;
}

}  // namespace

void CaptionButton::paintEvent(QPaintEvent* event) {
  const QString caption = wrapped_caption(text(), fontMetrics(), height() - 4);
  if (!caption.contains(QChar('\n')) && fits(*this, text(), width() - 8)) {
    QPushButton::paintEvent(event);
    return;
  }
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(rect().adjusted(3, 2, -3, -2), Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                   caption);
}

void CaptionRadio::paintEvent(QPaintEvent* event) {
  QStyleOptionButton option;
  initStyleOption(&option);
  if (!paint_wrapped(*this, option, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents))
    QRadioButton::paintEvent(event);
}

void CaptionCheck::paintEvent(QPaintEvent* event) {
  QStyleOptionButton option;
  initStyleOption(&option);
  if (!paint_wrapped(*this, option, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents)) QCheckBox::paintEvent(event);
}

}  // namespace dorv::front
