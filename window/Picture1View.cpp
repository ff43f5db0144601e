#include "window/Picture1View.h"

#include <QPaintEvent>
#include <QPainter>

#include "window/PictureImage.h"

namespace stringart {

Picture1View::Picture1View(const Picture1& picture, QWidget* parent)
    : QWidget(parent), image_(WrapPicture(picture)) {
  // Every paint covers the whole widget with the raster, so Qt need not clear it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(Picture1::kWidth, Picture1::kHeight);
}

void Picture1View::FigureComplete() {
  update();
}

void Picture1View::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // On a high-DPI screen each raster pixel covers several device pixels: keep them sharp.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QRect dirty = event->rect();
  painter.drawImage(dirty, image_, dirty);
}

}  // namespace stringart
