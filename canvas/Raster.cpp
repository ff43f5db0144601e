#include "canvas/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "canvas/ClipSegment.h"

namespace stringart {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if (a % b != 0 && (a < 0) != (b < 0)) --q;
  return q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return -FloorDiv(-a, b);
}

std::int64_t Snap(double v) {
  return static_cast<std::int64_t>(std::floor(v + 0.5));
}

// The steps k of a segment, first to last inclusive; empty when first > last.
struct StepRange {
  std::int64_t first, last;
};

// Steps k at which start + direction * k lies in [0, limit).
StepRange MajorRange(std::int64_t start, std::int64_t direction, std::int64_t limit) {
  if (direction > 0) return {-start, limit - 1 - start};
  return {start - (limit - 1), start};
}

// Steps k at which start + floor((2kd + n) / 2n) lies in [0, limit), for n > 0 and |d| <= n.
// The coordinate moves monotonically with k, so each bound of the window gives one bound on k,
// solved exactly on the numerator 2kd + n.
StepRange MinorRange(std::int64_t start, std::int64_t d, std::int64_t n, std::int64_t limit) {
  if (d > 0) {
    return {CeilDiv(-2 * n * start - n, 2 * d), FloorDiv(2 * n * (limit - start) - n - 1, 2 * d)};
  }
  if (d < 0) {
    return {FloorDiv(n - 2 * n * (limit - start), -2 * d) + 1, FloorDiv(n + 2 * n * start, -2 * d)};
  }
  if (start >= 0 && start < limit) return {0, n};
  return {1, 0};
}

bool Inside(std::int64_t x, std::int64_t y, int width, int height) {
  return x >= 0 && x < width && y >= 0 && y < height;
}

}  // namespace

PixelSegment SnapSegment(float fromX, float fromY, float toX, float toY) {
  double x0 = fromX, y0 = fromY, x1 = toX, y1 = toY;
  const bool far = std::fabs(x0) > kFarPixels || std::fabs(y0) > kFarPixels ||
                   std::fabs(x1) > kFarPixels || std::fabs(y1) > kFarPixels;
  if (far && !CutToFarSquare(x0, y0, x1, y1)) return {0, 0, 0, 0, true};
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

namespace {

// Where a walk puts its pixel: over what lies there, or only where nothing has been painted yet
// (a zero word, which no pixel is).
enum class Put { Over, Under };

// DrawLineFast after snapping; inlined there so that the whole-raster path keeps its shape.
template <Put put>
[[gnu::always_inline]] inline void Paint(std::uint32_t& word, std::uint32_t pixel) {
  if constexpr (put == Put::Over) {
    word = pixel;
  } else {
    word = word != 0 ? word : pixel;  // a store either way: no branch to mispredict
  }
}

// Long, as every figure's innermost loop: its setup and both walks share registers, inlined whole.
template <Put put>
[[gnu::always_inline]] inline void WalkFast(std::uint32_t* pixels, int width, int height,
                                            std::ptrdiff_t stride, const PixelSegment& s,
                                            std::uint32_t pixel) {
  const std::int64_t dx = s.x1 - s.x0, dy = s.y1 - s.y0;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const std::int64_t n = xMajor ? std::abs(dx) : std::abs(dy);
  if (n == 0) {
    if (Inside(s.x0, s.y0, width, height)) Paint<put>(pixels[s.y0 * stride + s.x0], pixel);
    return;
  }

  // a runs along the major axis, one pixel per step; b along the minor one.
  const std::int64_t a0 = xMajor ? s.x0 : s.y0, b0 = xMajor ? s.y0 : s.x0;
  const std::int64_t aDirection = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const std::int64_t d = xMajor ? dy : dx;
  const std::ptrdiff_t aUnit = xMajor ? 1 : stride, bUnit = xMajor ? stride : 1;

  StepRange steps{0, n};
  // Both ends inside puts every step inside: the pixels stay within the ends' bounding box.
  if (!Inside(s.x0, s.y0, width, height) || !Inside(s.x1, s.y1, width, height)) {
    const std::int64_t aLimit = xMajor ? width : height, bLimit = xMajor ? height : width;
    const StepRange major = MajorRange(a0, aDirection, aLimit);
    const StepRange minor = MinorRange(b0, d, n, bLimit);
    steps.first = std::max({steps.first, major.first, minor.first});
    steps.last = std::min({steps.last, major.last, minor.last});
    if (steps.first > steps.last) return;
  }

  // floor((2kd + n) / 2n) = floor((2k(d + n) + n) / 2n) - k: with d + n in [0, 2n] for a falling
  // minor coordinate, the error term only ever carries upwards and one loop serves both signs.
  const std::int64_t rise = d < 0 ? d + n : d;
  const std::int64_t twoN = 2 * n;
  std::int64_t numerator = n, carried = 0;
  if (steps.first > 0) {  // only for a clipped start: spares the common case two divisions
    numerator = 2 * steps.first * rise + n;
    carried = numerator / twoN;
    numerator %= twoN;
  }
  const std::int64_t a = a0 + aDirection * steps.first;
  const std::int64_t b = b0 + carried - (d < 0 ? steps.first : 0);
  std::ptrdiff_t offset = a * aUnit + b * bUnit;
  const std::ptrdiff_t step = aDirection * aUnit - (d < 0 ? bUnit : 0);

  // n <= 2^21 after snapping, so the error term and its increments fit 32 bits. It is kept below
  // zero between steps so that a carry is a sign change.
  const std::int32_t increment = static_cast<std::int32_t>(2 * rise);
  const std::int32_t wrap = static_cast<std::int32_t>(twoN);
  std::int32_t error = static_cast<std::int32_t>(numerator - twoN);
  const std::ptrdiff_t carryStep = step + bUnit;

  if (steps.first == 0 && steps.last == n) {
    // Unclipped: walk in from both ends at once, two independent chains for the processor to
    // overlap. The far end's error term is n, like the near one's, so no division is needed.
    std::ptrdiff_t back = s.y1 * stride + s.x1;
    std::int32_t backError = static_cast<std::int32_t>(n);  // kept in [0, 2n)
    for (std::int64_t left = (n + 1) / 2; left > 0; --left) {
      Paint<put>(pixels[offset], pixel);
      Paint<put>(pixels[back], pixel);
      error += increment;
      const bool carry = error >= 0;
      error -= carry ? wrap : 0;
      offset += carry ? carryStep : step;
      backError -= increment;
      const bool borrow = backError < 0;
      backError += borrow ? wrap : 0;
      back -= borrow ? carryStep : step;
    }
    if (n % 2 == 0)
      Paint<put>(pixels[offset], pixel);  // the middle pixel, which neither end has reached
    return;
  }

  for (std::int64_t left = steps.last - steps.first + 1; left > 0; --left) {
    Paint<put>(pixels[offset], pixel);
    error += increment;
    const bool carry = error >= 0;
    error -= carry ? wrap : 0;
    // One add per pixel on the offset, whichever way the carry goes.
    offset += carry ? carryStep : step;
  }
}

}  // namespace

bool DrawLineFast(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride, float fromX,
                  float fromY, float toX, float toY, std::uint32_t pixel) {
  PixelSegment s;
  if (!SnapSegmentFast(fromX, fromY, toX, toY, s)) return false;
  if (!s.empty) WalkFast<Put::Over>(pixels, width, height, stride, s, pixel);
  return true;
}

void DrawPixelSegmentFast(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                          const PixelSegment& s, std::uint32_t pixel) {
  WalkFast<Put::Over>(pixels, width, height, stride, s, pixel);
}

void DrawPixelSegmentUnder(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                           const PixelSegment& s, std::uint32_t pixel) {
  WalkFast<Put::Under>(pixels, width, height, stride, s, pixel);
}

void FillRaster(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                std::uint32_t pixel) {
  for (int y = 0; y < height; ++y) std::fill_n(pixels + y * stride, width, pixel);
}

}  // namespace stringart
