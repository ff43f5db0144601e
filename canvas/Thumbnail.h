#pragma once

#include <cstddef>
#include <cstdint>

namespace stringart {

// Scales the 0xFFRRGGBB raster `from` (fromWidth x fromHeight pixels, rows fromStride pixels
// apart) down to `to` (toWidth x toHeight, rows toStride apart) by area averaging: each pixel of
// `to` is the mean of the part of `from` it covers, every source pixel weighted by the area of
// it that lies inside, each channel rounded to nearest (halves up). Sizes must not grow.
void AreaAverage(const std::uint32_t* from, int fromWidth, int fromHeight,
                 std::ptrdiff_t fromStride, std::uint32_t* to, int toWidth, int toHeight,
                 std::ptrdiff_t toStride);

}  // namespace stringart
