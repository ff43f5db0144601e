#include "figure/ColourDrift.h"

#include "runtime/Numeric.h"

namespace stringart {
namespace {

// A single-precision step; an overflow leaves the channel as it was.
void Advance(float& value, float step, std::int16_t direction) {
  const float next = value + step * direction;
  GuardedStore(value, next);
}

}  // namespace

void DriftColour(ColourChannels& c, std::int16_t& fre, std::int16_t& fgr, std::int16_t& fbl) {
  // A NaN channel compares false both ways and keeps its direction.
  if (c.re > 255) fre = -1;
  if (c.re < 2) fre = 1;
  if (c.gr > 255) fgr = -1;
  if (c.gr < 2) fgr = 1;
  if (c.bl > 255) fbl = -1;
  if (c.bl < 2) fbl = 1;
  Advance(c.re, c.sre, fre);
  Advance(c.gr, c.sgr, fgr);
  Advance(c.bl, c.sbl, fbl);
}

}  // namespace stringart
