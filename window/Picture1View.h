#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "canvas/Picture1.h"
#include "figure/FigureRecord.h"
#include "smooth/LargePicture.h"

namespace stringart {

// Shows the figure on the window's canvas. On a screen of one device pixel a pixel it reads the
// raster Picture1's pixels in place, one image pixel to one screen pixel, and draws nothing of
// its own. On a denser screen the raster would be enlarged with jagged edges, so it shows the
// same figure anti-aliased at the screen's device pixels, as large pictures draw it.
class Picture1View final : public QWidget {
  Q_OBJECT

 public:
  // `picture` must outlive the view.
  explicit Picture1View(const Picture1& picture, QWidget* parent = nullptr);

  // A figure is done: put it on the screen. `figure` is what it was traced from; null before the
  // first figure. Segments are not shown one by one while a figure is traced, since the tracer
  // never yields to the event loop anyway.
  void FigureComplete(const FigureRecord* figure);

  // The anti-aliased picture shown on a dense screen; null on a screen of one device pixel a
  // pixel.
  const LargePicture* smooth() const { return smooth_ ? &*smooth_ : nullptr; }

  QSize sizeHint() const override { return QSize(Picture1::kWidth, Picture1::kHeight); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Draws the figure anti-aliased at the screen's device pixels, when there are more of them
  // than the raster's.
  void DrawSmooth();

  QImage image_;  // shares the raster's pixels
  std::optional<FigureRecord> figure_;
  std::optional<LargePicture> smooth_;
  QImage smoothImage_;  // shares smooth_'s pixels
};

}  // namespace stringart
