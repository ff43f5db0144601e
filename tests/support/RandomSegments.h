// Random segments of every kind that matters to a rasteriser, shared by the rasteriser tests.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>

namespace stringart::testing {

struct Shape {
  int width, height;
  std::ptrdiff_t stride;
};

// Segments of every kind that matters to a rasteriser, sized to the raster they are drawn on.
class SegmentMaker {
 public:
  explicit SegmentMaker(std::uint32_t seed) : random_(seed) {}

  std::array<float, 4> Make(const Shape& shape) {
    const float w = static_cast<float>(shape.width), h = static_cast<float>(shape.height);
    // Around the raster, reaching well past each edge.
    auto x = [&] { return Uniform(-0.5f * w - 3, 1.5f * w + 3); };
    auto y = [&] { return Uniform(-0.5f * h - 3, 1.5f * h + 3); };
    const float fx = x(), fy = y();
    // The reference walks a far segment's million steps one by one, so those come rarely.
    if (Pick(1000) == 0) {
      return Pick(2) ? std::array<float, 4>{fx, fy, Far(), Far()}
                     : std::array<float, 4>{Far(), Far(), Far(), Far()};
    }
    switch (Pick(10)) {
      case 0:  // zero length, or within one pixel
        return {fx, fy, fx + Uniform(-0.49f, 0.49f) * Pick(2), fy};
      case 1:  // shallow
        return {fx, fy, x(), fy + Uniform(-2, 2)};
      case 2:  // steep
        return {fx, fy, fx + Uniform(-2, 2), y()};
      case 3: {  // exactly diagonal, both directions
        const float run = std::floor(Uniform(-w, w));
        const float sign = Pick(2) ? 1.0f : -1.0f;
        const float sx = std::floor(fx), sy = std::floor(fy);
        return {sx, sy, sx + run, sy + sign * run};
      }
      case 4: {  // ends on half-pixel coordinates, where rounding turns upwards
        auto half = [&](float v) { return std::floor(v) + 0.5f; };
        return {half(fx), half(fy), half(x()), Pick(2) ? half(y()) : y()};
      }
      case 5:  // one end distant
        return {fx, fy, Distant(w), Distant(h)};
      case 6:  // both ends distant, often crossing the raster
        return {Distant(w), Distant(h), Distant(w), Distant(h)};
      case 7:  // whole-number ends: pixel centres
        return {std::round(fx), std::round(fy), std::round(x()), std::round(y())};
      default: return {fx, fy, x(), y()};
    }
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  float Uniform(float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(random_);
  }
  // Up to a few thousand pixels off the raster, on either side.
  float Distant(float size) {
    const float v = size * std::exp2(Uniform(0, 7)) + Uniform(0, 1);
    return Pick(2) ? size + v : -v;
  }
  // Beyond the square of half-width kFarPixels that SnapSegment cuts segments back to.
  float Far() {
    constexpr std::array<float, 5> kMagnitudes = {1.1e6f, 3.0e7f, 1.0e12f, 1.0e30f,
                                                  std::numeric_limits<float>::max()};
    const float v = kMagnitudes[Pick(5)] * Uniform(0.5f, 1.0f);
    return Pick(4) == 0 ? Uniform(-10, 10) : Pick(2) ? v : -v;
  }

  std::mt19937 random_;
};

}  // namespace stringart::testing
