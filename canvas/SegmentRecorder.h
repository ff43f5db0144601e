#pragma once

#include <vector>

#include "canvas/Canvas.h"

namespace stringart {

// One DrawLine call as it was asked: single-precision pixel coordinates and a colour.
struct Segment {
  float fromX, fromY, toX, toY;
  Colour colour;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// A canvas that keeps the segments drawn since the last clearing, in drawing order: the source
// of the SVG output, and a way to replay a figure on another canvas.
class SegmentRecorder final : public Canvas {
 public:
  void Clear() override { segments_.clear(); }
  void SetBackground(Colour colour) override {
    background_ = colour;
    segments_.clear();
  }
  // Refuses, like the raster, a coordinate that is not finite.
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override;

  Colour background() const { return background_; }
  const std::vector<Segment>& segments() const { return segments_; }

 private:
  Colour background_ = kBlack;
  std::vector<Segment> segments_;
};

// Draws the recorded segments, in order, on another canvas (after SetBackground).
void Replay(const SegmentRecorder& recording, Canvas& canvas);

}  // namespace stringart
