// What the two anti-aliased rasterisers share: where a segment lands and how a share of a colour
// is laid over a pixel. Private to smooth/.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "canvas/Raster.h"
#include "smooth/AntiAliased.h"

namespace stringart::smooth_detail {

// A segment in canvas pixels, in double.
struct CanvasSegment {
  double x0, y0, x1, y1;
};

// `s` as drawn, or nullopt when it is not drawn (a coordinate not finite, or both ends one point).
// Coordinates farther than kFarPixels from the canvas origin are first cut back, in double
// precision, to the square of that half-width, as the raster does: no picture shows that far, and
// every later product stays well within double precision.
inline std::optional<CanvasSegment> DrawnSegment(const Segment& s) {
  if (!std::isfinite(s.fromX) || !std::isfinite(s.fromY) || !std::isfinite(s.toX) ||
      !std::isfinite(s.toY)) {
    return std::nullopt;
  }
  if (s.fromX == s.toX && s.fromY == s.toY) return std::nullopt;
  double x0 = s.fromX, y0 = s.fromY, x1 = s.toX, y1 = s.toY;
  if (std::fabs(x0) > kFarPixels || std::fabs(y0) > kFarPixels || std::fabs(x1) > kFarPixels ||
      std::fabs(y1) > kFarPixels) {
    // Liang-Barsky against |x|, |y| <= kFarPixels.
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + kFarPixels, kFarPixels - x0, y0 + kFarPixels, kFarPixels - y0};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return std::nullopt;
      } else if (p[i] < 0) {
        t0 = std::max(t0, q[i] / p[i]);
      } else {
        t1 = std::min(t1, q[i] / p[i]);
      }
    }
    if (!(t0 < t1)) return std::nullopt;
    auto at = [](double a, double d, double t) {
      return std::clamp(a + d * t, -kFarPixels, kFarPixels);
    };
    const double cx0 = at(x0, dx, t0), cy0 = at(y0, dy, t0);
    x1 = at(x0, dx, t1);
    y1 = at(y0, dy, t1);
    x0 = cx0;
    y0 = cy0;
    if (x0 == x1 && y0 == y1) return std::nullopt;
  }
  return CanvasSegment{x0, y0, x1, y1};
}

// Segments of one run drawn as one shape at most: a longer run (a figure whose colour stands
// still) is drawn as runs of this many in turn, which bounds the work of finding each outline.
inline constexpr int kRunPiece = 256;

// A share c (0 to 1) of the colour as a level of 0 to 255, rounded to nearest.
inline int AlphaLevel(double c) {
  return c <= 0 ? 0 : c >= 1 ? 255 : static_cast<int>(c * 255 + 0.5);
}

// `colour` (0xFFRRGGBB) laid over `under` with `alpha` of 255: each channel becomes
// (alpha * colour + (255 - alpha) * under) / 255, rounded to nearest.
inline std::uint32_t Blend(std::uint32_t under, std::uint32_t colour, int alpha) {
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c = colour >> shift & 0xFF, u = under >> shift & 0xFF;
    const std::uint32_t a = static_cast<std::uint32_t>(alpha);
    out |= (a * c + (255 - a) * u + 127) / 255 << shift;
  }
  return out;
}

}  // namespace stringart::smooth_detail
