#include "canvas/SegmentRecorder.h"

#include <cmath>

namespace stringart {

bool SegmentRecorder::DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) {
  if (!std::isfinite(fromX) || !std::isfinite(fromY) || !std::isfinite(toX) ||
      !std::isfinite(toY)) {
    return false;
  }
  segments_.push_back({fromX, fromY, toX, toY, colour});
  return true;
}

void Replay(const SegmentRecorder& recording, Canvas& canvas) {
  canvas.SetBackground(recording.background());
  for (const Segment& s : recording.segments()) {
    canvas.DrawLine(s.fromX, s.fromY, s.toX, s.toY, s.colour);
  }
}

}  // namespace stringart
