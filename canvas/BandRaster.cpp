#include "canvas/BandRaster.h"

#include <algorithm>

#include "canvas/Raster.h"

namespace stringart {

bool SnapForRows(float fromX, float fromY, float toX, float toY, std::uint32_t pixel,
                 SnappedSegment& segment, bool& kept) {
  PixelSegment s;
  if (!SnapSegmentFast(fromX, fromY, toX, toY, s)) return false;
  kept = !s.empty;
  // Snapped coordinates lie within kFarPixels + 1, well inside 32 bits.
  if (kept) {
    segment = {static_cast<std::int32_t>(s.x0), static_cast<std::int32_t>(s.y0),
               static_cast<std::int32_t>(s.x1), static_cast<std::int32_t>(s.y1), pixel};
  }
  return true;
}

void DrawSegmentsInRows(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                        int rowBegin, int rowEnd, const SnappedSegment* segments,
                        std::size_t count) {
  rowBegin = std::max(rowBegin, 0);
  rowEnd = std::min(rowEnd, height);
  if (rowBegin >= rowEnd) return;
  // The band as a raster of its own: moving every row index down by rowBegin moves each pixel of
  // the walk by exactly that, so its clipping keeps precisely the band's pixels.
  std::uint32_t* band = pixels + rowBegin * stride;
  const int rows = rowEnd - rowBegin;
  for (std::size_t i = 0; i < count; ++i) {
    const SnappedSegment& s = segments[i];
    if (std::max(s.y0, s.y1) < rowBegin || std::min(s.y0, s.y1) >= rowEnd) continue;
    const PixelSegment shifted{s.x0, std::int64_t{s.y0} - rowBegin, s.x1,
                               std::int64_t{s.y1} - rowBegin, false};
    DrawPixelSegmentFast(band, width, rows, stride, shifted, s.pixel);
  }
}

bool DrawLineInRows(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                    int rowBegin, int rowEnd, float fromX, float fromY, float toX, float toY,
                    std::uint32_t pixel) {
  SnappedSegment segment;
  bool kept = false;
  if (!SnapForRows(fromX, fromY, toX, toY, pixel, segment, kept)) return false;
  if (kept) DrawSegmentsInRows(pixels, width, height, stride, rowBegin, rowEnd, &segment, 1);
  return true;
}

}  // namespace stringart
