#include "canvas/SplitRaster.h"

#include "canvas/Raster.h"

namespace stringart {

bool SnapForSplit(float fromX, float fromY, float toX, float toY, std::uint32_t pixel,
                  SnappedSegment& segment, bool& kept) {
  PixelSegment s;
  if (!SnapSegmentFast(fromX, fromY, toX, toY, s)) return false;
  kept = !s.empty;
  if (kept) {
    segment = {static_cast<std::int32_t>(s.x0), static_cast<std::int32_t>(s.y0),
               static_cast<std::int32_t>(s.x1), static_cast<std::int32_t>(s.y1), pixel};
  }
  return true;
}

void DrawSegmentsOver(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                      const SnappedSegment* segments, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const SnappedSegment& s = segments[i];
    DrawPixelSegmentFast(pixels, width, height, stride, {s.x0, s.y0, s.x1, s.y1, false}, s.pixel);
  }
}

void DrawSegmentsUnder(std::uint32_t* layer, int width, int height, std::ptrdiff_t stride,
                       const SnappedSegment* segments, std::size_t count) {
  for (std::size_t i = count; i-- > 0;) {
    const SnappedSegment& s = segments[i];
    DrawPixelSegmentUnder(layer, width, height, stride, {s.x0, s.y0, s.x1, s.y1, false}, s.pixel);
  }
}

void LayOver(std::uint32_t* pixels, std::uint32_t* layer, int width, int height,
             std::ptrdiff_t stride) {
  for (int y = 0; y < height; ++y) {
    std::uint32_t* to = pixels + y * stride;
    std::uint32_t* from = layer + y * stride;
    // Written without branches so that the compiler can do it a vector at a time.
    for (int x = 0; x < width; ++x) {
      const std::uint32_t top = from[x];
      to[x] = top != 0 ? top : to[x];
      from[x] = 0;
    }
  }
}

}  // namespace stringart
