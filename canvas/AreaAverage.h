#pragma once

#include <cstddef>
#include <cstdint>

namespace stringart {

// Scales a picture of 0xFFRRGGBB words down (or to the same size) by area averaging: each
// destination pixel is the mean of the source area it covers, partly covered source pixels
// weighed by the part covered (in 1/65536ths), each channel rounded to the nearest integer; a
// flat colour stays itself. Strides are in pixels;
// destination sides are from 1 up to the source's.
void AreaAverage(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                 std::ptrdiff_t sourceStride, std::uint32_t* destination, int width, int height,
                 std::ptrdiff_t stride);

}  // namespace stringart
