#pragma once

// What the pen plot's own sources share; nothing outside paper/ includes it.

#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "paper/PenPlot.h"

namespace stringart {

// CIELAB under D65, where equal distances look about equally different.
struct Lab {
  double l = 0, a = 0, b = 0;
};

// Canvas pixels from `p` to `q`.
inline double Distance(PlotPoint p, PlotPoint q) {
  return std::hypot(static_cast<double>(p.x) - q.x, static_cast<double>(p.y) - q.y);
}

// The pen each colour goes to, the nearest in CIELAB; the figure's colours drift a step at a
// time, so the last answer is kept for the colours that follow it.
class PenChooser {
 public:
  explicit PenChooser(std::span<const Colour> pens);
  std::size_t operator()(Colour colour);

 private:
  std::vector<Lab> centres_;
  Colour known_{};
  std::size_t pen_ = 0;
};

}  // namespace stringart
