#include "text/TimeLeft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace stringart {

std::optional<std::string> TimeLeft(double elapsedSeconds, double done) {
  if (!(elapsedSeconds >= 1.0 && done > 0.001)) return std::nullopt;
  const long seconds = std::lround(elapsedSeconds * (1.0 - std::min(done, 1.0)) / done);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
  return text;
}

}  // namespace stringart
