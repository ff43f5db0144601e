// What the exact anti-aliased drawing's two steps hand each other: the runs' parts, and the
// pieces of their outlines. Private to smooth/.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "canvas/Raster.h"
#include "smooth/AntiAliased.h"

namespace stringart::runs_detail {

// A piece of a run's outline in picture pixels, from (x0, y0) down to (x1, y1), y0 < y1, within
// the picture's columns; `direction` 1 when the union lies towards smaller x, -1 towards greater.
struct Piece {
  float x0, y0, x1, y1, direction;
};

// A part of a run as drawn: its segments and colour.
struct Part {
  std::uint32_t begin, end;
  std::uint32_t colour;  // the pixel word
};

// Consecutive parts outlined by one thread in one go, and what they gave.
struct Batch {
  std::uint32_t firstPart = 0, endPart = 0;
  std::vector<Piece> pieces;
  std::vector<std::uint32_t> partEnds;  // for each part, where its pieces end
};

// Each batch's outline pieces, in picture pixels, found on every core.
void OutlineBatches(std::span<const Segment> segments, const std::vector<Part>& parts,
                    const PictureRows& picture, const CanvasPlacement& place,
                    std::vector<Batch>& batches, int threads);

}  // namespace stringart::runs_detail
