#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/FigureRecord.h"
#include "smooth/LargePicture.h"

namespace stringart {

// A box of pixels, left and top inclusive; empty when width or height is 0.
struct PixelBox {
  int left = 0, top = 0, width = 0, height = 0;
};

// A figure drawn onto a LargePicture bit by bit, as the animations trace it: the first fraction
// of its strokes, then more. Slices end where the colour changes, so that the finished picture
// is exactly the one LargePicture draws of the whole figure at once.
class ProgressiveFigure {
 public:
  // Traces `figure` again to keep its strokes; nothing is drawn yet.
  explicit ProgressiveFigure(const FigureRecord& figure);
  // The figure of these strokes, as a SegmentRecorder kept them.
  explicit ProgressiveFigure(std::vector<Segment> segments) : segments_(std::move(segments)) {}

  // Draws onto `picture` the strokes up to the first `fraction` (0 to 1; clamped) of the
  // figure's, after those drawn before. Returns the box of pixels that may have changed, empty
  // when nothing was drawn.
  PixelBox DrawUpTo(double fraction, LargePicture& picture);

  // Draws what is left of the figure at once, as LargePicture::DrawWhole does: for a figure
  // shown complete, not traced. Returns the box of pixels that may have changed.
  PixelBox DrawRest(LargePicture& picture);

  bool complete() const { return drawn_ == segments_.size(); }
  std::size_t drawn() const { return drawn_; }
  std::size_t size() const { return segments_.size(); }

 private:
  // The box of the pixels that drawing `slice` may change.
  static PixelBox Box(std::span<const Segment> slice, const LargePicture& picture);

  std::vector<Segment> segments_;
  std::size_t drawn_ = 0;
};

}  // namespace stringart
