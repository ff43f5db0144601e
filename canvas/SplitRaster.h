#pragma once

#include <cstddef>
#include <cstdint>

namespace stringart {

// A figure's segments split between two threads: one paints the first ones, in order, onto the
// raster; the other paints the last ones, from the last backwards, onto a layer that starts at 0
// and keeps the first pixel put on each word; laying the layer over the raster then gives
// exactly what painting all of them in order with DrawLineFast gives. Rasters are 0xFFRRGGBB
// words, `stride` pixels from one row to the next; a layer is width x height words, `stride`
// apart too.

// A segment snapped to whole pixels as DrawLineFast snaps it, with its pixel word.
struct SnappedSegment {
  std::int32_t x0, y0, x1, y1;  // end points, pixels; within kFarPixels + 1
  std::uint32_t pixel;          // 0xFFRRGGBB, never 0
};

// Snaps a segment as DrawLineFast does. False when DrawLineFast would refuse it (a coordinate
// that is not finite); true with `kept` false when it would paint nothing at all.
bool SnapForSplit(float fromX, float fromY, float toX, float toY, std::uint32_t pixel,
                  SnappedSegment& segment, bool& kept);

// Paints `segments` in order, as DrawLineFast would.
void DrawSegmentsOver(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                      const SnappedSegment* segments, std::size_t count);

// Paints `segments` from the last to the first onto `layer`, each pixel only where the layer
// still holds 0. Called on consecutive runs of segments from the end backwards, the layer ends
// as DrawLineFast would leave it for those segments in order, 0 where none of them reaches.
void DrawSegmentsUnder(std::uint32_t* layer, int width, int height, std::ptrdiff_t stride,
                       const SnappedSegment* segments, std::size_t count);

// Copies every word of `layer` that is not 0 onto `pixels`, and sets the layer back to 0.
void LayOver(std::uint32_t* pixels, std::uint32_t* layer, int width, int height,
             std::ptrdiff_t stride);

}  // namespace stringart
