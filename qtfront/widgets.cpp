#include "qtfront/widgets.h"

#include <QRegularExpression>

#include <QMouseEvent>
#include <QScrollBar>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QValidator>
#include <cmath>

#include "qtfront/convert.h"
#include "text/linefile.h"

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

namespace {

class OneLineValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    if (!input.contains(QChar('\r')) && !input.contains(QChar('\n'))) return Acceptable;
    // The cursor stays after what stood before it.
    pos = static_cast<int>(qs(one_line_text(ws(input.left(pos)))).size());
    input = qs(one_line_text(ws(input)));
    return Acceptable;
  }
};

}  // namespace

void keep_on_one_line(QLineEdit& edit) { edit.setValidator(new OneLineValidator(&edit)); }

void FieldEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  if (hasFrame()) return;
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

namespace {

// Rows of text a one-line editor needs: the line, its margin above and below
// (one pixel each), and the frame when it has one.
int editor_height(const QWidget& widget, const QFont& font, bool framed) {
  const int frame = framed ? widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  return QFontMetrics(font).height() + 2 + 2 * frame;
}

bool fits_in(const QFontMetrics& metrics, const QRect& room, int flags, const QString& text) {
  const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 1 << 20), flags, text);
  return needed.width() <= room.width() && needed.height() <= room.height();
}

}  // namespace

bool caption_fits(const ui::Control& control, const QWidget& widget, const QFont& font, const QString& caption) {
  const QFontMetrics metrics(font);
  switch (control.kind()) {
    case ui::ControlKind::Label:
      return fits_in(metrics, widget.rect(), Qt::TextWordWrap, caption);
    case ui::ControlKind::CommandButton:
      // As CaptionButton paints it.
      return fits_in(metrics, widget.rect().adjusted(3, 2, -3, -2), Qt::TextWordWrap,
                     wrapped_caption(caption, metrics, widget.height() - 4));
    case ui::ControlKind::TextBox: {
      const auto* edit = qobject_cast<const QLineEdit*>(&widget);
      return !edit || editor_height(widget, font, edit->hasFrame()) <= widget.height();
    }
    default: return true;
  }
}

QFont fitted_font(const ui::Control& control, QWidget& widget, const QFont& font) {
  QString caption = display_text(control.caption());
  if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
    edit->setFrame(editor_height(widget, font, true) <= widget.height());
    caption = edit->text();
  }
  if (caption_fits(control, widget, font, caption)) return font;
  QFont smaller = font;
  for (double size = font.pointSizeF() - 0.25; size >= kSmallestFittedPoints; size -= 0.25) {
    smaller.setPointSizeF(size);
    if (caption_fits(control, widget, smaller, caption)) return smaller;
  }
  return smaller;
}

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
