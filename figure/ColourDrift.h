#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Colour.h"
#include "runtime/Numeric.h"

namespace stringart {

// The three drifting colour channels of one figure.
struct ColourChannels {
  float re = 0, gr = 0, bl = 0;     // channel values, drawn in [0, 256), kept near 2..255
  float sre = 0, sgr = 0, sbl = 0;  // step sizes per figure step, drawn in [0, 0.05)
};

// One step of drift: the six direction tests on the values before the step, then the three
// advances. A channel turns only after it has left the band 2..255, so it may overshoot by one
// step. An advance whose result is not finite leaves its channel as it was.
void DriftColour(ColourChannels& c, std::int16_t& fre, std::int16_t& fgr, std::int16_t& fbl);

// The segment colour for the channels: each rounded to the nearest integer (halves to even) and
// packed; nullopt when a channel cannot be rounded to a 16-bit integer. Inline, and without an
// optional per channel, because the tracer calls it on every step.
inline std::optional<Colour> ChannelColour(const ColourChannels& c) {
  const float r = NearbyInt(c.re), g = NearbyInt(c.gr), b = NearbyInt(c.bl);
  // The same test as RoundToInt16's; false for NaN.
  auto fits = [](float v) { return v >= -32768.0f && v <= 32767.0f; };
  if (!(fits(r) && fits(g) && fits(b))) return std::nullopt;
  return PackColour(static_cast<std::int16_t>(r), static_cast<std::int16_t>(g),
                    static_cast<std::int16_t>(b));
}

}  // namespace stringart
