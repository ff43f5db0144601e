#pragma once

#include <cstdint>

namespace stringart {

// The program's pseudo-random source: SplitMix64 (Steele, Lea and Flood, 2014), 64 bits of state.
//
// Next() returns a float in [0, 1): 24 random bits scaled by 2^-24, so every value is a multiple
// of 2^-24 from 0 to 1 - 2^-24 and 1 itself never comes out.
//
// Reseed() mixes the seed into the current state rather than replacing it: reseeding twice with
// the same clock reading (two presses within the clock's resolution) still gives fresh draws,
// while two sources that start alike and are reseeded with the same readings draw alike.
class RandomSource {
 public:
  static constexpr std::uint64_t kInitialState = 0x5EED'0F'57'12'1A'27ULL;

  explicit RandomSource(std::uint64_t state = kInitialState) : state_(state) {}

  // seconds: local time of day, 0 to below 86400 (any float is accepted).
  void Reseed(float seconds);
  float Next();

 private:
  std::uint64_t NextBits();

  std::uint64_t state_;
};

}  // namespace stringart
