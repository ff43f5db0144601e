#pragma once

#include <QImage>

#include "canvas/Picture1.h"

namespace stringart {

// The raster as a QImage of Format_RGB32 that shares its pixels (no copy); valid while `picture`
// lives.
inline QImage WrapPicture(const Picture1& picture) {
  return QImage(reinterpret_cast<const uchar*>(picture.pixels()), Picture1::kWidth,
                Picture1::kHeight, Picture1::kStride * 4, QImage::Format_RGB32);
}

}  // namespace stringart
