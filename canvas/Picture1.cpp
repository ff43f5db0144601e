#include "canvas/Picture1.h"

#include "canvas/Raster.h"

namespace stringart {

Picture1::Picture1() : pixels_(static_cast<std::size_t>(kStride) * kHeight, ToPixel(kBlack)) {}

void Picture1::Clear() {
  FillRaster(pixels_.data(), kWidth, kHeight, kStride, ToPixel(background_));
}

void Picture1::SetBackground(Colour colour) {
  background_ = colour;
  Clear();
}

bool Picture1::DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) {
  return DrawLineFast(pixels_.data(), kWidth, kHeight, kStride, fromX, fromY, toX, toY,
                      ToPixel(colour));
}

}  // namespace stringart
