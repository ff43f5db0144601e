#pragma once

#include "runtime/Colour.h"

namespace stringart {

// What a figure is drawn on: the raster, a vector recorder, or a test double.
// Coordinates are pixels from the drawing area's top-left corner, x to the right, y downwards.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // Fills the whole drawing area with the background colour. Throws if it cannot.
  virtual void Clear() = 0;
  // Makes `colour` the background and fills the whole drawing area with it. Throws if it cannot.
  virtual void SetBackground(Colour colour) = 0;
  // Paints the segment in `colour`, replacing what lies beneath. Returns false, having painted
  // nothing, when it refuses the segment.
  virtual bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) = 0;
};

}  // namespace stringart
