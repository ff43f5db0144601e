// A raster inside a larger buffer, so that a write outside width x height shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stringart::testing {

// width x height pixels, `stride` words from one row to the next, and a spare row above and
// below, all of it first filled with `guard`.
struct PaddedRaster {
  int width, height;
  std::ptrdiff_t stride;
  std::uint32_t guard;
  std::vector<std::uint32_t> buffer;

  PaddedRaster(int w, int h, std::ptrdiff_t s, std::uint32_t guardWord)
      : width(w),
        height(h),
        stride(s),
        guard(guardWord),
        buffer(static_cast<std::size_t>(stride) * (h + 2), guardWord) {}

  std::uint32_t* pixels() { return buffer.data() + stride; }
  std::uint32_t at(int x, int y) const { return buffer[(y + 1) * stride + x]; }

  // The first word outside width x height that is no longer the guard, as an index into
  // `buffer`, or -1.
  std::ptrdiff_t FirstWrittenOutside() const {
    for (std::size_t i = 0; i < buffer.size(); ++i) {
      const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(i) / stride - 1;
      const std::ptrdiff_t column = static_cast<std::ptrdiff_t>(i) % stride;
      const bool inside = row >= 0 && row < height && column < width;
      if (!inside && buffer[i] != guard) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
  }
};

}  // namespace stringart::testing
