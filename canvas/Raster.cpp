#include "canvas/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace stringart {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if (a % b != 0 && (a < 0) != (b < 0)) --q;
  return q;
}

std::int64_t Snap(double v) { return static_cast<std::int64_t>(std::floor(v + 0.5)); }

}  // namespace

PixelSegment SnapSegment(float fromX, float fromY, float toX, float toY) {
  double x0 = fromX, y0 = fromY, x1 = toX, y1 = toY;
  const bool far = std::fabs(x0) > kFarPixels || std::fabs(y0) > kFarPixels ||
                   std::fabs(x1) > kFarPixels || std::fabs(y1) > kFarPixels;
  if (far) {
    // Liang-Barsky against the square |x|, |y| <= kFarPixels.
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + kFarPixels, kFarPixels - x0, y0 + kFarPixels, kFarPixels - y0};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0.0) {
        if (q[i] < 0.0) return {0, 0, 0, 0, true};
        continue;
      }
      const double t = q[i] / p[i];
      if (p[i] < 0.0) {
        t0 = std::max(t0, t);
      } else {
        t1 = std::min(t1, t);
      }
    }
    if (t0 > t1) return {0, 0, 0, 0, true};
    // Clamping keeps rounding in the products from stepping just outside the square.
    auto at = [](double a, double d, double t) {
      return std::clamp(a + d * t, -kFarPixels, kFarPixels);
    };
    const double cx0 = at(x0, dx, t0), cy0 = at(y0, dy, t0);
    x1 = at(x0, dx, t1);
    y1 = at(y0, dy, t1);
    x0 = cx0;
    y0 = cy0;
  }
  return {Snap(x0), Snap(y0), Snap(x1), Snap(y1), false};
}

bool DrawLineReference(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                       float fromX, float fromY, float toX, float toY, std::uint32_t pixel) {
  if (!std::isfinite(fromX) || !std::isfinite(fromY) || !std::isfinite(toX) ||
      !std::isfinite(toY)) {
    return false;
  }
  const PixelSegment s = SnapSegment(fromX, fromY, toX, toY);
  if (s.empty) return true;
  const std::int64_t dx = s.x1 - s.x0, dy = s.y1 - s.y0;
  const std::int64_t n = std::max(std::abs(dx), std::abs(dy));
  for (std::int64_t k = 0; k <= n; ++k) {
    // n == 0 only at k == 0, where both offsets are zero.
    const std::int64_t x = n == 0 ? s.x0 : s.x0 + FloorDiv(2 * k * dx + n, 2 * n);
    const std::int64_t y = n == 0 ? s.y0 : s.y0 + FloorDiv(2 * k * dy + n, 2 * n);
    if (x >= 0 && x < width && y >= 0 && y < height) pixels[y * stride + x] = pixel;
  }
  return true;
}

void FillRaster(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                std::uint32_t pixel) {
  for (int y = 0; y < height; ++y) std::fill_n(pixels + y * stride, width, pixel);
}

}  // namespace stringart
