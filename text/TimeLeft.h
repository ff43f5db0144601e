#pragma once

#include <optional>
#include <string>

namespace stringart {

// How long work that has done `done` (0 to 1) of itself in `elapsedSeconds` has left at that
// pace, as "M:SS" ("12:05"); nothing until a second has gone by and a thousandth is done, when a
// guess would be wild.
std::optional<std::string> TimeLeft(double elapsedSeconds, double done);

}  // namespace stringart
