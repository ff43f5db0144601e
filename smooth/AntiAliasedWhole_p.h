// What the whole drawing's sources share: the steps and windows that choosing what to paint
// finds, and the blocks the painting works in. Private to smooth/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "canvas/Raster.h"
#include "smooth/AntiAliased.h"

namespace stringart::whole_detail {

constexpr int kBlock = 128;  // pixels a side: five rows of floats of a block fit in a core's cache
constexpr int kTile = 16;    // pixels a side of the squares whose being done is kept as a bit
constexpr int kTilesAcross = kBlock / kTile;
static_assert(kTilesAcross * kTilesAcross == 64, "a block's done tiles are one word");
constexpr int kCells = kBlock * kBlock;

#if defined(__EMSCRIPTEN__)
// WebAssembly without its vector instructions works lane by lane: a shorter vector keeps the
// page's code a quarter the size, and costs it little speed.
constexpr int kLanes = 4, kWide = 4;  // a vector is a quarter of a tile's row
#else
// A vector is a square of 4 x 4 pixels: a step's band crosses fewer squares than rows of 16 at
// most slopes, and a square is all done sooner.
constexpr int kLanes = 16, kWide = 4;
#endif
constexpr int kHigh = kLanes / kWide;  // rows of pixels a vector spans

constexpr int kVectors = kBlock / kWide;              // across a block
constexpr int kBands = kBlock / kHigh;                // rows of vectors of a block
constexpr int kTileVectors = kTile * kTile / kLanes;  // a tile
static_assert(kVectors <= 32);

// Where vector v of band q keeps its lanes in a block's cells, lane i the pixel
// (kWide v + i % kWide, kHigh q + i / kWide) of the block.
constexpr int At(int q, int v) {
  return (q * kVectors + v) * kLanes;
}

// A run's colour, channels in levels of 255.
struct RunColour {
  float red, green, blue;
};

// Where a step lies on the picture, in picture pixels from the start (ox, oy) of its first
// stroke: d across the strokes, along n = (-uy, ux), and e along them, along u = (ux, uy). All
// that choosing the steps to paint needs; most steps are never painted.
struct Pose {
  float ox, oy, ux, uy;
  float length;            // of the first stroke, from its start to its end point
  float lo, hi, eLo, eHi;  // the rectangle around the step's strokes
  float midLo, midHi;      // along: where every stroke is whole, the union a band [lo, hi]
  float w2;                // how far a pixel's footprint reaches across (see Step)
  std::uint32_t run;       // among its chunk's runs
  bool tracerStep;
  double exactUx, exactUy, exactLength;  // (ux, uy) and length, unrounded: the shape's source
};

// A step as it is painted. A pixel seen along a line's normal: a trapezoid, flat over w1 either
// side of its centre, sloping out to w2; its two slopes' shared factor, 1 / a over the flat part,
// and b squared (a and b the larger and smaller of |ux| and |uy|).
struct Step : Pose {
  const RunColour* colour;  // its run's, the same for every step of the run
  float w1, inverseA, inverse2ab, bSquared;
  bool wide;  // across, wider than the trapezoid: no pixel sees both sides at once
  // Across, the stretches between the strokes' sides in order; along, the union over each.
  int pieces;
  float cuts[6], pieceFrom[5], pieceTo[5];
};

// A stretch along a step that is painted: all of it, or the part around one of its ends.
struct Window {
  const Step* step;
  float eLo, eHi;     // along the step
  float top, bottom;  // picture rows it reaches
};

// The steps of segments [first, end), which start a step, that reach the picture placed by
// `place`: their runs' colours appended to `colours` and the windows to paint appended to
// `windows`, the steps they paint to `steps`, whose room must hold one per pose; `poses` is
// working room.
void FindWindows(std::span<const Segment> segments, std::size_t first, std::size_t end,
                 const PictureRows& picture, const CanvasPlacement& place,
                 std::vector<RunColour>& colours, std::vector<Pose>& poses,
                 std::vector<Step>& steps, std::vector<Window>& windows);

// Columns of a picture or block, [first, last]; first > last when none.
struct Columns {
  int first, last;
};

// x rounded down, for |x| < 2^31: std::floor without SSE4.1 is a dozen instructions.
inline int FloorToInt(float x) {
  const int whole = static_cast<int>(x);
  return whole - (x < static_cast<float>(whole));
}

// Where step k reaches across the rows of a block: the columns of row r lie within
// [max(a0 + a1 r, b0 + b1 r), min(c0 + c1 r, d0 + d1 r)] (the limits across the strokes and
// along them), rows from first to last.
struct Placed {
  float a0, a1, b0, b1, c0, c1, d0, d1;
  int first, last;

  // One limit, kx (x - rx) + ky (y - ry) within [lo, hi] for some y of the row, as the column
  // limits [x0 + slope r, x1 + slope r]; none when the line lies level.
  static void Limit(float kx, float ky, float lo, float hi, float rx, float ry, float& x0,
                    float& x1, float& slope) {
    if (std::fabs(kx) < 1e-6f) {
      // Level lines: the rows the step reaches say it all.
      x0 = -1e30f;
      x1 = 1e30f;
      slope = 0;
      return;
    }
    const float inverse = 1 / kx;
    // Row r: ky (y - ry) runs over [ky (r - ry) + min(ky, 0), ky (r - ry) + max(ky, 0)].
    const float a = lo + ky * ry - std::max(ky, 0.0f), b = hi + ky * ry - std::min(ky, 0.0f);
    x0 = rx + a * inverse;
    x1 = rx + b * inverse;
    if (kx < 0) std::swap(x0, x1);
    slope = -ky * inverse;
  }

  Placed(const Step& k, const Window& w, float fx, float fy, int height) {
    const float rx = k.ox - fx, ry = k.oy - fy;
    float sa, sb;
    Limit(-k.uy, k.ux, k.lo, k.hi, rx, ry, a0, c0, sa);
    Limit(k.ux, k.uy, w.eLo, w.eHi, rx, ry, b0, d0, sb);
    a1 = c1 = sa;
    b1 = d1 = sb;
    first = std::max(0, FloorToInt(std::max(w.top - fy, -1.0f)));
    last = std::min(height - 1, FloorToInt(std::min(w.bottom - fy, 1e6f)));
  }

  // The columns of the pixels of rows r0 to r1 that the step may reach, within [0, width):
  // [first, last], first > last when none.
  Columns Reach(int r0, int r1, int width) const {
    const float y0 = static_cast<float>(r0), y1 = static_cast<float>(r1);
    const float xa =
        std::max(std::min(a0 + a1 * y0, a0 + a1 * y1), std::min(b0 + b1 * y0, b0 + b1 * y1));
    const float xb =
        std::min(std::max(c0 + c1 * y0, c0 + c1 * y1), std::max(d0 + d1 * y0, d0 + d1 * y1));
    if (!(xa <= xb)) return {1, 0};
    // A pixel reaches from its column to the next; a hair more for rounding.
    const float lo = std::clamp(xa - 0.01f, -1.0f, static_cast<float>(width));
    const float hi = std::clamp(xb + 0.01f, -1.0f, static_cast<float>(width));
    return {std::max(FloorToInt(lo), 0), std::min(FloorToInt(hi), width - 1)};
  }
};

// What a thread keeps for the block it paints.
struct BlockWork {
  alignas(64) float share[kCells];  // of each pixel, what nothing in front covers yet
  alignas(64) float red[kCells], green[kCells], blue[kCells];  // gathered, levels of 255
  alignas(64) float cover[kCells];  // the run being gathered: its largest coverage so far
  int firstVector[kBands], lastVector[kBands];  // of each band, what the run touched
  int firstBand, lastBand;                      // bands the run may have touched
  std::uint32_t doneVectors[kBands];            // of each band, the vectors all done
  int doneInTile[kTilesAcross * kTilesAcross];  // vectors
  std::uint64_t doneTiles;

  void VectorDone(int q, int v) {
    doneVectors[q] |= 1u << v;
    const int tile = q * kHigh / kTile * kTilesAcross + v * kWide / kTile;
    if (++doneInTile[tile] == kTileVectors) doneTiles |= std::uint64_t{1} << tile;
  }
};

// A block to paint: the steps its entries name among the windows, front to back, and where it lies.
struct BlockJob {
  const Window* windows;
  const std::uint32_t* entries;
  std::size_t count;
  int bx, by;      // its top left pixel
  bool overBlack;  // what lies behind it is black, whatever the picture holds
};

// Paints the block of `job` onto the picture, with the instruction set the machine has.
void PaintBlock(const BlockJob& job, BlockWork& w, const PictureRows& picture);

}  // namespace stringart::whole_detail
