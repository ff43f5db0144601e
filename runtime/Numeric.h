#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace stringart {

// std::nearbyint for a float, bit for bit, without the library call on the common path: every
// segment's colour is rounded here. v is rounded to an integer in the current rounding mode (to
// nearest, halves to even: the program never changes it).
inline float NearbyInt(float v) {
#if FLT_EVAL_METHOD == 0  // the trick needs float sums rounded to float, not to a wider type
  if (std::fabs(v) < 0x1p22f) {
    // From 2^23 to 2^24 the floats are exactly the integers, so adding 1.5 * 2^23 does the
    // rounding and subtracting it again is exact. copysign gives -0.3 the -0 nearbyint gives it.
    constexpr float kRounder = 0x1.8p23f;
    return std::copysign((v + kRounder) - kRounder, v);
  }
#endif
  return std::nearbyint(v);
}

// Rounds to the nearest 16-bit signed integer, halfway cases to the even neighbour (2.5 -> 2,
// 3.5 -> 4). A value that is not finite or lies outside -32768..32767 after rounding has no
// answer: the caller gets nullopt and decides what that failure means.
inline std::optional<std::int16_t> RoundToInt16(float v) {
  const float r = NearbyInt(v);
  // Written to be false for NaN as well; infinities fail the range.
  if (!(r >= -32768.0f && r <= 32767.0f)) return std::nullopt;
  return static_cast<std::int16_t>(r);
}

// Narrows a double to single precision (to nearest). A value that is not finite or lies beyond
// the float range has no answer; the range test comes first because converting such a value is
// undefined behaviour in C++.
inline std::optional<float> NarrowToFloat(double v) {
  if (!(std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max())))
    return std::nullopt;
  return static_cast<float>(v);
}

// The statement guard of a figure: a result that is not finite, or a double beyond the float
// range for a float target, is dropped and `target` keeps its previous value. Returns whether the
// value was stored.
inline bool GuardedStore(double& target, double value) {
  if (!std::isfinite(value)) return false;
  target = value;
  return true;
}

inline bool GuardedStore(float& target, double value) {
  const std::optional<float> narrowed = NarrowToFloat(value);
  if (!narrowed) return false;
  target = *narrowed;
  return true;
}

}  // namespace stringart
