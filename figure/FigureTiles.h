#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "figure/FigureRecord.h"

namespace stringart {

// Traces every one of `figures` again on a 500 x 500 raster, exactly as the window shows it, and
// scales it down by area averaging to a `side` x `side` tile (side from 1 to 500) of 0xFFRRGGBB
// words, rows with no padding, into `tiles` (as many as figures). The figures are shared out
// among a thread a core, the calling one included.
void TraceTiles(std::span<const FigureRecord> figures, int side,
                std::span<std::vector<std::uint32_t>> tiles);

}  // namespace stringart
