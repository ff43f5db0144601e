#include "figure/Variation.h"

#include <algorithm>
#include <cmath>

namespace stringart {
namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// How far each draw may move at the default strength. Measured on seeded figures as the share of
// lit pixels a figure keeps when one draw moves: a frequency factor (draws 9 to 12) that moves by
// 0.005 keeps about 82 %, the pivot's phase (1) 96 %, the arm's phase (2) 99 %, and a colour draw
// (3 to 8) all of them. These reaches keep about 83 % when all twelve move at once.
constexpr double kDefaultReach[kFigureDraws] = {0.018, 0.04, 0.05,   0.05,   0.05,   0.05,
                                                0.05,  0.05, 0.0028, 0.0028, 0.0028, 0.0028};

// The natural logarithm of x > 0. By arithmetic alone, rather than the C library's, whose tables
// would add 10 KB to the page's core; the same bits wherever IEEE doubles are.
double Log(double x) {
  int exponent = 0;
  double m = std::frexp(x, &exponent);  // x = m 2^exponent, m in [0.5, 1)
  if (m < 0.70710678118654752) {
    m *= 2;
    --exponent;
  }
  // ln m = 2 atanh(t) with |t| <= 0.172: the series is exact to a double in 12 terms.
  const double t = (m - 1) / (m + 1), t2 = t * t;
  double sum = 0;
  for (int k = 23; k >= 1; k -= 2) sum = sum * t2 + 1.0 / k;
  return 2 * t * sum + exponent * 0.69314718055994531;
}

// e^y for y <= 0, as Log: 2^n e^r with |r| <= ln 2 / 2, whose Taylor series is exact in 18 terms.
double Exp(double y) {
  const double n = std::nearbyint(y / 0.69314718055994531);
  const double r = y - n * 0.69314718055994531;
  double sum = 1;
  for (int k = 18; k >= 1; --k) sum = 1 + sum * r / k;
  return std::ldexp(sum, static_cast<int>(n));
}

}  // namespace

double DrawReach(std::size_t draw, double strength) {
  // A power of the strength that is the default reach at the default strength and the strength
  // itself at wild: the draws that move the figure most reach further only as the strength
  // grows towards wild.
  if (strength <= 0) return 0;
  const double exponent =
      Log(kDefaultReach[draw] / kWildStrength) / Log(kDefaultStrength / kWildStrength);
  // Never above the strength itself, which the colour draws reach exactly, whatever the rounding.
  return std::min(strength, kWildStrength * Exp(exponent * Log(strength / kWildStrength)));
}

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
    varied[i] = VaryDraw(draws[i], (2 * unit - 1) * DrawReach(i, strength));
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
