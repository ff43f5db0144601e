#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "canvas/Canvas.h"

namespace stringart {

// The program's drawing area: a 500 x 500 raster of 0xFFRRGGBB words (see ToPixel), rows top to
// bottom with no padding, so a QImage of Format_RGB32 can wrap pixels() without copying.
class Picture1 final : public Canvas {
 public:
  static constexpr int kWidth = 500;                 // pixels
  static constexpr int kHeight = 500;                // pixels
  static constexpr std::ptrdiff_t kStride = kWidth;  // pixels from one row to the next

  Picture1();

  void Clear() override;
  void SetBackground(Colour colour) override;
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override;

  Colour background() const { return background_; }
  Colour At(int x, int y) const { return FromPixel(pixels_[y * kStride + x]); }
  const std::uint32_t* pixels() const { return pixels_.data(); }
  std::uint32_t* pixels() { return pixels_.data(); }

 private:
  Colour background_ = kBlack;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace stringart
