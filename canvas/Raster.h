#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace stringart {

// Raster routines on a caller's pixel buffer.
//
// Pixels are native-endian 32-bit words 0xFFRRGGBB (see ToPixel in runtime/Colour.h), rows from
// top to bottom, `stride` pixels from the start of one row to the start of the next.
//
// Segment rules, shared by every line routine here:
// - An end point (x, y) lands on pixel (floor(x + 0.5), floor(y + 0.5)): pixel i covers the
//   coordinates [i - 0.5, i + 0.5), so whole numbers are pixel centres.
// - Both end points are painted, and one pixel on each step along the longer axis between them:
//   with n = max(|dx|, |dy|) steps, step k paints the pixel whose shorter-axis coordinate is the
//   start's plus k * d / n rounded to nearest, halves upwards. A segment that starts and ends on
//   the same pixel paints that pixel.
// - Every pixel is replaced by `pixel`; pixels outside width x height are skipped, never written.
// - A coordinate that is not finite makes the call fail: it returns false and paints nothing.
// - Coordinates farther than kFarPixels from the origin are first cut back, in double precision,
//   to the square of that half-width, so that all stepping fits 64-bit integers.

inline constexpr double kFarPixels = 1 << 20;

// The plain rasteriser: steps every pixel of the segment and tests each against the bounds.
bool DrawLineReference(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                       float fromX, float fromY, float toX, float toY, std::uint32_t pixel);

// The same pixels as DrawLineReference, for the price of one clip per segment: the range of
// steps that land inside the raster is found up front, then walked with an integer error term
// and no per-pixel bounds test.
bool DrawLineFast(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride, float fromX,
                  float fromY, float toX, float toY, std::uint32_t pixel);

void FillRaster(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                std::uint32_t pixel);

// A segment's end points in whole pixels after the rules above; `empty` when nothing of it
// lies within kFarPixels. Shared by every rasteriser so they agree on where a segment is.
struct PixelSegment {
  std::int64_t x0, y0, x1, y1;
  bool empty;
};
PixelSegment SnapSegment(float fromX, float fromY, float toX, float toY);

// floor(v + 0.5) as SnapSegment computes it, without the library call: within kFarPixels the
// sum is exact in double and the truncation fits, so one correction below zero gives the floor.
inline std::int64_t SnapNear(float v) {
  const double t = static_cast<double>(v) + 0.5;
  const auto truncated = static_cast<std::int64_t>(t);
  return truncated - (t < static_cast<double>(truncated) ? 1 : 0);
}

// DrawLineFast's snapping: `s` receives what SnapSegment gives. False, leaving `s` as it was,
// when a coordinate is not finite.
inline bool SnapSegmentFast(float fromX, float fromY, float toX, float toY, PixelSegment& s) {
  // Near coordinates are finite, so the common case needs no finiteness test of its own.
  if (std::fabs(fromX) <= kFarPixels && std::fabs(fromY) <= kFarPixels &&
      std::fabs(toX) <= kFarPixels && std::fabs(toY) <= kFarPixels) {
    s = {SnapNear(fromX), SnapNear(fromY), SnapNear(toX), SnapNear(toY), false};
    return true;
  }
  if (!std::isfinite(fromX) || !std::isfinite(fromY) || !std::isfinite(toX) ||
      !std::isfinite(toY)) {
    return false;
  }
  s = SnapSegment(fromX, fromY, toX, toY);
  return true;
}

// DrawLineFast's walk of a snapped segment that is not empty: the same pixels for the same end
// points, clipped to width x height.
void DrawPixelSegmentFast(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                          const PixelSegment& s, std::uint32_t pixel);
// The same pixels, each painted only where the raster holds 0 (no pixel is 0: alpha is 0xFF), so
// that segments painted in reverse order leave what painting them in order leaves.
void DrawPixelSegmentUnder(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                           const PixelSegment& s, std::uint32_t pixel);

}  // namespace stringart
