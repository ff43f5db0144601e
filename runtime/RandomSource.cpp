#include "runtime/RandomSource.h"

#include <cstring>

namespace stringart {
namespace {

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;

constexpr std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

void RandomSource::Reseed(float seconds) {
  // The seed's bit pattern, not its value, so 12.25 s and 12.5 s differ as much as any two seeds.
  // memcpy rather than std::bit_cast, which emscripten's libc++ lacks; the same bits.
  std::uint32_t bits = 0;
  static_assert(sizeof bits == sizeof seconds);
  std::memcpy(&bits, &seconds, sizeof bits);
  const std::uint64_t seed = bits;
  state_ = Mix(state_ ^ Mix(seed + kGolden));
}

std::uint64_t RandomSource::NextBits() {
  state_ += kGolden;
  return Mix(state_);
}

float RandomSource::Next() {
  return static_cast<float>(NextBits() >> 40) * 0x1p-24f;
}

}  // namespace stringart
