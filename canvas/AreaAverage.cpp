#include "canvas/AreaAverage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace stringart {
namespace {

// Which source pixels make destination pixel j of `to` along an axis of `from` pixels, and by
// how much: a run starting at `first[j]`, weights summing to 1.
struct Footprints {
  std::vector<int> first, count;
  std::vector<double> weights;  // count[j] weights for each j, one after another
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
    for (int i = first; i <= last; ++i) {
      f.weights.push_back((std::min(end, i + 1.0) - std::max(start, static_cast<double>(i))) /
                          span);
    }
  }
  return f;
}

}  // namespace

void AreaAverage(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                 std::ptrdiff_t sourceStride, std::uint32_t* destination, int width, int height,
                 std::ptrdiff_t stride) {
  const Footprints across = Cover(sourceWidth, width), down = Cover(sourceHeight, height);
  // Rows first: every source row narrowed to `width` pixels of three channels.
  std::vector<double> narrowed(static_cast<std::size_t>(sourceHeight) * width * 3);
  for (int y = 0; y < sourceHeight; ++y) {
    const std::uint32_t* row = source + y * sourceStride;
    double* out = &narrowed[static_cast<std::size_t>(y) * width * 3];
    std::size_t w = 0;
    for (int x = 0; x < width; ++x) {
      double r = 0, g = 0, b = 0;
      for (int k = 0; k < across.count[x]; ++k, ++w) {
        const std::uint32_t p = row[across.first[x] + k];
        const double weight = across.weights[w];
        r += weight * ((p >> 16) & 0xFF);
        g += weight * ((p >> 8) & 0xFF);
        b += weight * (p & 0xFF);
      }
      out[3 * x] = r, out[3 * x + 1] = g, out[3 * x + 2] = b;
    }
  }
  auto channel = [](double v) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
  };
  std::size_t w = 0;
  for (int y = 0; y < height; ++y) {
    std::vector<double> sum(static_cast<std::size_t>(width) * 3, 0.0);
    for (int k = 0; k < down.count[y]; ++k, ++w) {
      const double* in = &narrowed[static_cast<std::size_t>(down.first[y] + k) * width * 3];
      for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += down.weights[w] * in[i];
    }
    std::uint32_t* out = destination + y * stride;
    for (int x = 0; x < width; ++x) {
      out[x] = 0xFF000000u | channel(sum[3 * x]) << 16 | channel(sum[3 * x + 1]) << 8 |
               channel(sum[3 * x + 2]);
    }
  }
}

}  // namespace stringart
