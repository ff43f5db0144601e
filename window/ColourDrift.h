#pragma once

#include <cstdint>
#include <optional>

#include "runtime/Colour.h"

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
// packed; nullopt when a channel cannot be rounded to a 16-bit integer.
std::optional<Colour> ChannelColour(const ColourChannels& c);

}  // namespace stringart
