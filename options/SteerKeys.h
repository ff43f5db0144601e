#pragma once

#include <span>
#include <string_view>

namespace stringart {

// The keys of the windows Variations and Adjust, which answer them themselves: what the help
// window lists beside the main window's and the gallery's.
struct SteerKeyRow {
  // The keys as Qt writes them portably, several parted by "; ".
  std::string_view keys;
  // What they do, in English; translated in the context kSteerKeysContext.
  const char* does;
};

inline constexpr const char* kSteerKeysContext = "SteerKeys";

std::span<const SteerKeyRow> VariationsKeyTable();
std::span<const SteerKeyRow> AdjustKeyTable();

}  // namespace stringart
