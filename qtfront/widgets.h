// The widgets that need painting of their own: the picture box, which paints
// the drawing operations of its control, and the buttons whose captions wrap
// onto several lines when they do not fit on one.
#pragma once
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QWidget>
#include <functional>

#include "platform/controls.h"

namespace dorv::front {

class PictureWidget : public QWidget {
 public:
  PictureWidget(ui::PictureBox& box, QWidget* parent);
  // The control is gone; nothing more is painted from it.
  void forget() { box_ = nullptr; }
  // A click (press and release of the left button inside) and a double click.
  std::function<void()> on_click;
  std::function<void()> on_dbl_click;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  ui::PictureBox* box_;
  bool pressed_ = false;
};

// A list view in report mode. Bringing a row into view moves the list up or
// down only: a click on a wide column must not scroll the narrow first
// columns (number, contract) out of sight.
class ReportList : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
};

// Paints drawing operations onto an area of the given pixel size.
void paint_ops(QPainter& painter, const std::vector<ui::DrawOp>& ops, double width_px, double height_px);

// The classic controls wrapped a caption at the control's width, and captions
// were written with a run of blanks that pushes the rest onto the next line
// ("Редактир.    расчета"). Such a run breaks the line where the control is
// tall enough for the lines it makes; otherwise every run folds to one blank.
QString wrapped_caption(const QString& caption, const QFontMetrics& metrics, int height);

// Keeps a one-line editor on one line: a line break typed, pasted or dropped
// into it becomes a blank at once, as the text box it shows takes it, so that
// the editor never shows a text other than the control holds.
void keep_on_one_line(QLineEdit& edit);

// A one-line text box, kept on one line. Where the style's frame would leave
// its line no room (a field as high as a row of small print), the box goes
// without it and draws a thin border of its own in the margin around the text.
class FieldEdit : public QLineEdit {
 public:
  explicit FieldEdit(QWidget* parent = nullptr) : QLineEdit(parent) { keep_on_one_line(*this); }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The font a control shows its caption or text in: the given one, or, where
// that does not fit the control's place, the largest smaller size that does
// (a caption wrapped at the control's width, a text box's line in its
// height). A one-line text box first sheds its frame (FieldEdit).
QFont fitted_font(const ui::Control& control, QWidget& widget, const QFont& font);
// Whether a text fits a widget's place in a font, as fitted_font judges it.
bool caption_fits(const ui::Control& control, const QWidget& widget, const QFont& font, const QString& caption);
// The smallest size fitted_font goes down to.
constexpr double kSmallestFittedPoints = 6.0;

class CaptionButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The whole control answers a click, not only its indicator and text.
class CaptionRadio : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// The whole control answers a click, not only its indicator and text.
class CaptionCheck : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace dorv::front
