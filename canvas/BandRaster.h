#pragma once

#include <cstddef>
#include <cstdint>

namespace stringart {

// A segment snapped to whole pixels as DrawLineFast snaps it, with its pixel word: what one
// thread hands another so that each can paint its own rows of it.
struct SnappedSegment {
  std::int32_t x0, y0, x1, y1;  // end points, pixels; within kFarPixels
  std::uint32_t pixel;          // 0xFFRRGGBB
};

// Snaps a segment as DrawLineFast does. False when DrawLineFast would refuse it (a coordinate
// that is not finite); true with `kept` false when it would paint nothing at all.
bool SnapForRows(float fromX, float fromY, float toX, float toY, std::uint32_t pixel,
                 SnappedSegment& segment, bool& kept);

// Paints, in order, the pixels DrawLineFast paints for `segments` that fall on rows
// [rowBegin, rowEnd) of the width x height raster, and no other: two threads painting disjoint
// row ranges of the same segments leave exactly DrawLineFast's raster.
void DrawSegmentsInRows(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                        int rowBegin, int rowEnd, const SnappedSegment* segments,
                        std::size_t count);

// One segment given as floats: DrawLineFast restricted to rows [rowBegin, rowEnd). Returns what
// DrawLineFast returns.
bool DrawLineInRows(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                    int rowBegin, int rowEnd, float fromX, float fromY, float toX, float toY,
                    std::uint32_t pixel);

}  // namespace stringart
