#pragma once

#include <algorithm>

#include "canvas/Raster.h"

namespace stringart {

// Liang-Barsky: narrows [t0, t1], fractions of the way along the segment that starts at (x0, y0)
// and moves by (dx, dy), to the part within left <= x <= right, top <= y <= bottom (pixels).
// False when the segment runs along a side outside the box; else nothing lies within where
// t0 > t1 on return.
inline bool ClipToBox(double x0, double y0, double dx, double dy, double left, double right,
                      double top, double bottom, double& t0, double& t1) {
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
    } else if (p[i] < 0) {
      t0 = std::max(t0, q[i] / p[i]);
    } else {
      t1 = std::min(t1, q[i] / p[i]);
    }
  }
  return true;
}

// Cuts the finite segment (x0, y0)-(x1, y1) back to the square |x|, |y| <= kFarPixels, in place;
// false, leaving it as it was, when nothing of it lies there. A segment within is kept as it is.
inline bool CutToFarSquare(double& x0, double& y0, double& x1, double& y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  double t0 = 0, t1 = 1;
  if (!ClipToBox(x0, y0, dx, dy, -kFarPixels, kFarPixels, -kFarPixels, kFarPixels, t0, t1) ||
      t0 > t1) {
    return false;
  }
  // Clamping keeps rounding in the products from stepping just outside the square.
  auto at = [](double a, double d, double t) {
    return std::clamp(a + d * t, -kFarPixels, kFarPixels);
  };
  const double cx0 = at(x0, dx, t0), cy0 = at(y0, dy, t0);
  x1 = at(x0, dx, t1);
  y1 = at(y0, dy, t1);
  x0 = cx0;
  y0 = cy0;
  return true;
}

}  // namespace stringart
