#pragma once

#include <QImage>
#include <QWidget>

#include "canvas/Picture1.h"

namespace stringart {

// Shows the raster Picture1 on the window. It reads the raster's pixels in place and draws
// nothing of its own: no border, no background, one image pixel to one logical pixel.
class Picture1View final : public QWidget {
  Q_OBJECT

 public:
  // `picture` must outlive the view.
  explicit Picture1View(const Picture1& picture, QWidget* parent = nullptr);

  // A figure is done: put the raster on the screen. Segments are not shown one by one while a
  // figure is traced, since the tracer never yields to the event loop anyway.
  void FigureComplete();

  QSize sizeHint() const override { return QSize(Picture1::kWidth, Picture1::kHeight); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;  // shares the raster's pixels
};

}  // namespace stringart
