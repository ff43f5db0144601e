#include "canvas/AreaAverage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace stringart {
namespace {

// Weights are fixed point: kOne is a whole source pixel's share.
constexpr std::uint32_t kOne = 1u << 16;

// Which source pixels make destination pixel j of `to` along an axis of `from` pixels, and by
// how much: a run starting at `first[j]`, its weights summing to kOne exactly, so that a flat
// colour stays itself.
struct Footprints {
  std::vector<int> first, count;
  std::vector<std::uint32_t> weights;  // count[j] weights for each j, one after another
};

Footprints Cover(int from, int to) {
  Footprints f;
  const double span = static_cast<double>(from) / to;  // source pixels per destination pixel
  for (int j = 0; j < to; ++j) {
    const double start = j * span, end = (j + 1) * span;
    const int first = static_cast<int>(std::floor(start));
    const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
    f.first.push_back(first);
    f.count.push_back(last - first + 1);
    const std::size_t at = f.weights.size();
    std::uint32_t total = 0;
    for (int i = first; i <= last; ++i) {
      const double part = std::min(end, i + 1.0) - std::max(start, static_cast<double>(i));
      f.weights.push_back(static_cast<std::uint32_t>(std::lround(part / span * kOne)));
      total += f.weights.back();
    }
    // Rounding leaves the sum a unit or two off; the largest share takes the difference.
    auto largest =
        std::max_element(f.weights.begin() + static_cast<std::ptrdiff_t>(at), f.weights.end());
    *largest += kOne - total;
  }
  return f;
}

}  // namespace

void AreaAverage(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                 std::ptrdiff_t sourceStride, std::uint32_t* destination, int width, int height,
                 std::ptrdiff_t stride) {
  const Footprints across = Cover(sourceWidth, width), down = Cover(sourceHeight, height);
  // Rows first: every source row narrowed to `width` pixels of three channels, each channel in
  // 1/256ths (at most 255 * 256, a 16-bit word).
  const std::size_t rowWords = static_cast<std::size_t>(width) * 3;
  std::vector<std::uint16_t> narrowed(static_cast<std::size_t>(sourceHeight) * rowWords);
  for (int y = 0; y < sourceHeight; ++y) {
    const std::uint32_t* row = source + y * sourceStride;
    std::uint16_t* out = &narrowed[static_cast<std::size_t>(y) * rowWords];
    std::size_t w = 0;
    for (int x = 0; x < width; ++x) {
      std::uint32_t r = 0, g = 0, b = 0;
      const std::uint32_t* in = row + across.first[x];
      for (int k = 0; k < across.count[x]; ++k, ++w) {
        const std::uint32_t p = in[k], weight = across.weights[w];
        r += weight * ((p >> 16) & 0xFF);
        g += weight * ((p >> 8) & 0xFF);
        b += weight * (p & 0xFF);
      }
      out[3 * x] = static_cast<std::uint16_t>((r + 128) >> 8);
      out[3 * x + 1] = static_cast<std::uint16_t>((g + 128) >> 8);
      out[3 * x + 2] = static_cast<std::uint16_t>((b + 128) >> 8);
    }
  }
  // Then columns: at most 255 * 256 * kOne, within 32 bits.
  std::vector<std::uint32_t> sum(rowWords);
  std::size_t w = 0;
  for (int y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), 0u);
    for (int k = 0; k < down.count[y]; ++k, ++w) {
      const std::uint16_t* in = &narrowed[static_cast<std::size_t>(down.first[y] + k) * rowWords];
      const std::uint32_t weight = down.weights[w];
      for (std::size_t i = 0; i < rowWords; ++i) sum[i] += weight * in[i];
    }
    std::uint32_t* out = destination + y * stride;
    for (int x = 0; x < width; ++x) {
      const std::size_t i = 3 * static_cast<std::size_t>(x);
      constexpr std::uint32_t kHalf = 1u << 23;
      out[x] = 0xFF000000u | ((sum[i] + kHalf) >> 24) << 16 | ((sum[i + 1] + kHalf) >> 24) << 8 |
               ((sum[i + 2] + kHalf) >> 24);
    }
  }
}

}  // namespace stringart
