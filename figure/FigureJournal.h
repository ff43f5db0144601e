#pragma once

#include <cstdint>
#include <vector>

#include "figure/FigureRecord.h"

namespace stringart {

// How a figure came to be on the screen.
enum class FigureOrigin { Start, New, Opened, Gallery, Variation, Adjusted };

// A figure kept in the journal, with its row.
struct KeptFigure {
  std::int64_t id = 0;  // the row; newer figures have greater ones
  FigureRecord figure;
};

// What Form1 needs of the journal that keeps every figure of every run; the program hands it an
// SQLite one. Record must not wait for the disk: it is on the path from a click to the canvas.
class FigureJournal {
 public:
  virtual ~FigureJournal() = default;
  // Keeps `figure`, just shown, from `origin`; returns at once and writes behind.
  virtual void Record(const FigureRecord& figure, FigureOrigin origin) = 0;
  // Up to `count` figures of earlier runs (kept before this journal was opened) with rows below
  // `beforeId` (0: from the newest), newest first.
  virtual std::vector<KeptFigure> Earlier(std::int64_t beforeId, std::size_t count) = 0;
};

}  // namespace stringart
