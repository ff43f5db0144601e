// What the two anti-aliased rasterisers share: where a segment lands and how a share of a colour
// is laid over a pixel. Private to smooth/.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "canvas/ClipSegment.h"
#include "canvas/Raster.h"
#include "smooth/AntiAliased.h"

// One copy of the vector code per instruction set, chosen when the program loads.
#if defined(__x86_64__) && defined(__ELF__) && !defined(__EMSCRIPTEN__)
#define STRINGART_X86_COPIES 1
#define STRINGART_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
// For helpers that take or give a vector wider than a register: inlined into each copy of
// their callers whatever the optimisation level, as a call between copies would pass the vector
// by one convention and take it by another.
#define STRINGART_COPY_INLINE inline __attribute__((always_inline))
#else
#define STRINGART_CLONES
#define STRINGART_COPY_INLINE inline
#endif

namespace stringart::smooth_detail {

// A vector of type V from the memory at `p`, and one written there, whatever its alignment.
template <typename V, typename T>
STRINGART_COPY_INLINE V LoadVector(const T* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename V, typename T>
STRINGART_COPY_INLINE void StoreVector(T* p, V v) {
  std::memcpy(p, &v, sizeof v);
}

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
    // A part cut down to one point is not drawn, as a segment whose ends are one point is not.
    if (!CutToFarSquare(x0, y0, x1, y1) || (x0 == x1 && y0 == y1)) return std::nullopt;
  }
  return CanvasSegment{x0, y0, x1, y1};
}

// The part [t0, t1] (fractions from its start) of `s` within the box around the picture that a
// stroke can reach in from, `reach` canvas pixels beyond the picture's sides; false when nothing
// of it lies there.
inline bool PartNearPicture(const CanvasSegment& s, const PictureRows& picture,
                            const CanvasPlacement& place, double reach, double& t0, double& t1) {
  const double left = -place.left / place.scale - 0.5 - reach;
  const double right = (picture.width - place.left) / place.scale - 0.5 + reach;
  const double top = -place.top / place.scale - 0.5 - reach;
  const double bottom = (picture.height - place.top) / place.scale - 0.5 + reach;
  t0 = 0;
  t1 = 1;
  // Both ends inside, as nearly all are: the loop below would come to the same without dividing.
  if (s.x0 >= left && s.x0 <= right && s.y0 >= top && s.y0 <= bottom && s.x1 >= left &&
      s.x1 <= right && s.y1 >= top && s.y1 <= bottom) {
    return true;
  }
  return ClipToBox(s.x0, s.y0, s.x1 - s.x0, s.y1 - s.y0, left, right, top, bottom, t0, t1) &&
         t0 <= t1;
}

// Cuts `s` to the box around the picture that a stroke can reach in from, in canvas pixels.
// False when nothing of it lies there.
inline bool CutToPicture(CanvasSegment& s, const PictureRows& picture,
                         const CanvasPlacement& place) {
  // Half a width and a square end, with room to spare: what is cut lies well outside, and its
  // square end, now out there, cannot reach in.
  double t0, t1;
  if (!PartNearPicture(s, picture, place, 2 + 2 / place.scale, t0, t1)) return false;
  const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
  s = {s.x0 + t0 * dx, s.y0 + t0 * dy, s.x0 + t1 * dx, s.y0 + t1 * dy};
  return true;
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
