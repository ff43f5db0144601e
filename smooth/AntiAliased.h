#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "canvas/SegmentRecorder.h"

namespace stringart {

// Where the 500 x 500 canvas lies on a picture: canvas point (x, y) lands on picture point
// (left + scale * (x + 0.5), top + scale * (y + 0.5)), so that whole canvas coordinates are the
// centres of scale x scale squares; scale is pixels per canvas pixel.
struct CanvasPlacement {
  double scale = 1, left = 0, top = 0;
};

// A caller's picture: 0xFFRRGGBB words (runtime/Colour.h's ToPixel), rows top to bottom, `stride`
// words from the start of one row to the start of the next.
struct PictureRows {
  std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;
};

// Both functions below draw the same picture, each channel within one level (tests/smooth/ holds
// them to it):
//
// - Each segment is a stroke `scale` pixels wide around the placed segment, with square ends
//   reaching scale / 2 past each end point: a rectangle. A segment whose two ends are the same
//   point is not drawn, having no direction to square its ends by, nor is one with a coordinate
//   that is not finite. Coordinates beyond kFarPixels (canvas/Raster.h) are first cut back to
//   that square, as the raster does.
// - A run of consecutive segments of one colour is painted as one shape, the union of its
//   rectangles: each pixel takes the exact area of the pixel that the union covers, c (0 to 1),
//   as its share a = round(255 c) of the run's colour, over what lies beneath: each channel
//   becomes (a * colour + (255 - a) * beneath) / 255, rounded to nearest. Runs are painted in
//   order; a run longer than 256 segments is painted as runs of 256 in turn.
// - Pixels outside width x height are never read or written.
//
// So a drawing cut into two calls where the colour changes paints what one call paints.

// The plain way: every pixel near a stroke of the run gets the area of the union of the run's
// rectangles within it, found by cutting the pixel into vertical slices between every corner and
// crossing. Slow; the yardstick for the fast way.
void DrawAntiAliasedReference(std::span<const Segment> segments, const PictureRows& picture,
                              const CanvasPlacement& place);

// The same picture, quickly: the outline of each run's union is found once, and bands of rows,
// shared among the usable CPUs, sum its signed areas into each pixel.
void DrawAntiAliased(std::span<const Segment> segments, const PictureRows& picture,
                     const CanvasPlacement& place);

// Told the share of a drawing done, 0 to 1; returning false stops it.
using WholeProgress = std::function<bool(double done)>;

// The memory a whole drawing works in, kept from one drawing to the next by a caller that makes
// many, such as a morph's frames: memory handed back and asked for again costs the kernel a page
// cleared for every page touched. For one drawing at a time.
class WholeDrawingMemory {
 public:
  WholeDrawingMemory();
  ~WholeDrawingMemory();
  WholeDrawingMemory(WholeDrawingMemory&&) noexcept;
  WholeDrawingMemory& operator=(WholeDrawingMemory&&) noexcept;

  struct Parts;  // smooth/AntiAliasedWhole.cpp's own
  Parts& parts() { return *parts_; }

 private:
  std::unique_ptr<Parts> parts_;
};

// What a whole drawing is laid over.
enum class WholeGround {
  Picture,  // what the picture holds
  Black,    // black: the picture is not read, and every pixel of it is written
};

// A whole drawing at once, much faster, and close to the picture of the two above (within a few
// levels at the edges of runs; tests/smooth/ holds it to them and to Cairo's): the runs are
// walked from the last to the first, and what they cover is not painted again. Each of the
// tracer's steps (three strokes a canvas pixel apart) is taken as one shape, and a run's share of a
// pixel is the largest of its steps' shares, not the area of their union. Lays the drawing over
// `ground`: what the picture holds, as one call of the functions above would, or black.
// `progress`, when given, is told from the calling thread; when it returns false the drawing
// stops with the picture part drawn, and this returns false. `memory`, when given, is worked in
// and kept.
bool DrawAntiAliasedWhole(std::span<const Segment> segments, const PictureRows& picture,
                          const CanvasPlacement& place, const WholeProgress& progress = {},
                          WholeDrawingMemory* memory = nullptr,
                          WholeGround ground = WholeGround::Picture);

}  // namespace stringart
