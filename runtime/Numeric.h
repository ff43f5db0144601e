#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace stringart {

// Rounds to the nearest 16-bit signed integer, halfway cases to the even neighbour (2.5 -> 2,
// 3.5 -> 4). A value that is not finite or lies outside -32768..32767 after rounding has no
// answer: the caller gets nullopt and decides what that failure means.
inline std::optional<std::int16_t> RoundToInt16(float v) {
  if (!std::isfinite(v)) return std::nullopt;
  // nearbyint follows the rounding mode, which this program never changes from to-nearest-even.
  const float r = std::nearbyint(v);
  if (r < -32768.0f || r > 32767.0f) return std::nullopt;
  return static_cast<std::int16_t>(r);
}

// Narrows a double to single precision (to nearest). A value that is not finite or lies beyond
// the float range has no answer; the range test comes first because converting such a value is
// undefined behaviour in C++.
inline std::optional<float> NarrowToFloat(double v) {
  if (!(std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max()))) return std::nullopt;
  return static_cast<float>(v);
}

}  // namespace stringart
