#include "canvas/Thumbnail.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace stringart {
namespace {

// How much of each source pixel falls in each target pixel along one axis, in units of
// 1 / `to` of a source pixel: target i covers [i * from, (i + 1) * from), source s covers
// [s * to, (s + 1) * to). Every target's weights sum to `from`.
struct Span {
  int first = 0;
  std::vector<std::uint32_t> weights;
};

std::vector<Span> Spans(int from, int to) {
  std::vector<Span> spans(static_cast<std::size_t>(to));
  for (int i = 0; i < to; ++i) {
    const long begin = static_cast<long>(i) * from, end = begin + from;
    Span& span = spans[static_cast<std::size_t>(i)];
    span.first = static_cast<int>(begin / to);
    for (long s = span.first; s * to < end; ++s) {
      const long overlap = std::min(end, (s + 1) * to) - std::max(begin, s * to);
      span.weights.push_back(static_cast<std::uint32_t>(overlap));
    }
  }
  return spans;
}

}  // namespace

void AreaAverage(const std::uint32_t* from, int fromWidth, int fromHeight,
                 std::ptrdiff_t fromStride, std::uint32_t* to, int toWidth, int toHeight,
                 std::ptrdiff_t toStride) {
  assert(toWidth <= fromWidth && toHeight <= fromHeight && toWidth > 0 && toHeight > 0);
  const std::vector<Span> columns = Spans(fromWidth, toWidth), rows = Spans(fromHeight, toHeight);
  // Total weight of a target pixel: fromWidth * fromHeight; channel sums stay far below 2^64.
  const std::uint64_t total = static_cast<std::uint64_t>(fromWidth) * fromHeight;
  for (int y = 0; y < toHeight; ++y) {
    const Span& row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < toWidth; ++x) {
      const Span& column = columns[static_cast<std::size_t>(x)];
      std::uint64_t red = 0, green = 0, blue = 0;
      for (std::size_t j = 0; j < row.weights.size(); ++j) {
        const std::uint32_t* line = from + (row.first + static_cast<long>(j)) * fromStride;
        for (std::size_t i = 0; i < column.weights.size(); ++i) {
          const std::uint64_t w = std::uint64_t{row.weights[j]} * column.weights[i];
          const std::uint32_t p = line[column.first + static_cast<long>(i)];
          red += w * (p >> 16 & 0xFF);
          green += w * (p >> 8 & 0xFF);
          blue += w * (p & 0xFF);
        }
      }
      auto mean = [total](std::uint64_t sum) {
        return static_cast<std::uint32_t>((sum + total / 2) / total);
      };
      to[y * toStride + x] = 0xFF000000u | mean(red) << 16 | mean(green) << 8 | mean(blue);
    }
  }
}

}  // namespace stringart
