#include "figure/Variation.h"

#include <cmath>

namespace stringart {
namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

}  // namespace

float VaryDraw(float u, double offset) {
  double v = static_cast<double>(u) + offset;
  if (v < 0) v = -v;
  if (v >= 1) v = 2 - v;
  float varied = static_cast<float>(v);
  const double reach = std::fabs(offset);
  // Rounding to float may land half a float beyond the reach, or on 1 itself.
  while (varied >= 1.0f || std::fabs(static_cast<double>(varied) - u) > reach) {
    varied = std::nextafter(varied, u);
  }
  return varied;
}

FigureDraws VaryDraws(const FigureDraws& draws, double strength, std::uint64_t& seed) {
  FigureDraws varied;
  for (std::size_t i = 0; i < draws.size(); ++i) {
    // 53 random bits give an even fraction in [0, 1), which spans [-strength, strength).
    const double unit = static_cast<double>(SplitMix64(seed) >> 11) * 0x1p-53;
    varied[i] = VaryDraw(draws[i], (2 * unit - 1) * strength);
  }
  return varied;
}

FigureDraws MorphDraws(const FigureDraws& from, const FigureDraws& to, long k, long frames) {
  const double t = frames > 1 ? static_cast<double>(k) / static_cast<double>(frames - 1) : 0.0;
  FigureDraws draws;
  for (std::size_t i = 0; i < draws.size(); ++i) {
    const double a = from[i], b = to[i];
    draws[i] = static_cast<float>((1 - t) * a + t * b);
  }
  return draws;
}

}  // namespace stringart
