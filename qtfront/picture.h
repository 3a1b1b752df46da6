// The widgets that need painting of their own: the picture box, which paints
// the drawing operations of its control, and the command button, whose
// caption wraps onto several lines when it does not fit on one.
#pragma once
#include <QPushButton>
#include <QWidget>

#include "platform/controls.h"

namespace dorv::front {

class PictureWidget : public QWidget {
 public:
  PictureWidget(ui::PictureBox& box, QWidget* parent);
  // The control is gone; nothing more is painted from it.
  void forget() { box_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ui::PictureBox* box_;
};

// Paints drawing operations onto an area of the given pixel size.
void paint_ops(QPainter& painter, const std::vector<ui::DrawOp>& ops, double width_px, double height_px);

class CaptionButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace dorv::front
