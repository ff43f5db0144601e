#include "window/Picture1View.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <string>

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "window/PictureImage.h"

namespace stringart {

Picture1View::Picture1View(const Picture1& picture, QWidget* parent)
    : QWidget(parent), image_(WrapPicture(picture)) {
  // Every paint covers the whole widget, so Qt need not clear it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(Picture1::kWidth, Picture1::kHeight);
}

void Picture1View::FigureComplete(const FigureRecord* figure) {
  figure_.reset();
  if (figure != nullptr) figure_ = *figure;
  DrawSmooth();
  update();
}

void Picture1View::DrawSmooth() {
  const double ratio = devicePixelRatioF();
  const int side = static_cast<int>(std::lround(Picture1::kWidth * ratio));
  if (!figure_ || side <= Picture1::kWidth) {
    smooth_.reset();
    smoothImage_ = QImage();
    return;
  }
  SegmentRecorder strokes;
  TraceAgain(*figure_, strokes);
  std::string error;
  if (!smooth_ || smooth_->width() != side) smooth_ = LargePicture::Make(side, side, error);
  if (!smooth_) return;  // no memory for it: the raster, enlarged, will do
  smooth_->DrawWholeOnBlack(strokes.segments());
  smoothImage_ = QImage(reinterpret_cast<const uchar*>(smooth_->pixels()), side, side, side * 4,
                        QImage::Format_RGB32);
  smoothImage_.setDevicePixelRatio(ratio);
}

void Picture1View::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // Moved to a screen of another density: the smooth picture is drawn again for it.
  const bool dense = std::lround(Picture1::kWidth * devicePixelRatioF()) > Picture1::kWidth;
  if (dense != !smoothImage_.isNull() ||
      (dense && smoothImage_.devicePixelRatio() != devicePixelRatioF())) {
    DrawSmooth();
  }
  const QRect dirty = event->rect();
  if (!smoothImage_.isNull()) {
    painter.drawImage(QPointF(0, 0), smoothImage_);
    return;
  }
  // On a dense screen with no figure yet, each raster pixel covers several device pixels: sharp.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(dirty, image_, dirty);
}

}  // namespace stringart
