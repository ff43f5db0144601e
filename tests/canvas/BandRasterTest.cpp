// Painting a segment band by band: each band gets exactly its rows of the plain rasteriser's
// pixels, and the bands together give all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <sstream>
#include <string>

#include "canvas/BandRaster.h"
#include "canvas/Raster.h"
#include "tests/support/PaddedRaster.h"
#include "tests/support/RandomSegments.h"

namespace stringart {
namespace {

constexpr std::uint32_t kUntouched = 0x5A5A5A5Au;
constexpr std::uint32_t kInk = 0xFF654321u;

TEST(BandRaster, RandomSegmentsInRandomBandsEqualTheReferenceRowByRow) {
  constexpr std::array<testing::Shape, 6> kShapes = {
      {{1, 1, 2}, {1, 9, 3}, {9, 1, 10}, {7, 13, 11}, {31, 17, 40}, {203, 157, 211}}};
  constexpr std::uint32_t kSeed = 20261208;
  constexpr int kSegments = 40000;
  testing::SegmentMaker maker(kSeed);
  std::mt19937 cuts(kSeed);
  for (int i = 0; i < kSegments; ++i) {
    const testing::Shape& shape = kShapes[i % 16 == 0 ? 5 : i % 5];
    const auto [fx, fy, tx, ty] = maker.Make(shape);
    // Three bands from two cuts anywhere in the rows, either of them possibly empty.
    std::uniform_int_distribution<int> row(0, shape.height);
    std::array<int, 4> edges = {0, row(cuts), row(cuts), shape.height};
    std::sort(edges.begin() + 1, edges.end() - 1);
    std::ostringstream repro;
    repro.precision(9);
    repro << "seed " << kSeed << ", segment " << i << " (" << fx << ", " << fy << ") -> (" << tx
          << ", " << ty << ") on " << shape.width << "x" << shape.height << " stride "
          << shape.stride << ", band edges " << edges[1] << ", " << edges[2];

    testing::PaddedRaster reference(shape.width, shape.height, shape.stride, kUntouched);
    const bool drawn = DrawLineReference(reference.pixels(), shape.width, shape.height,
                                         shape.stride, fx, fy, tx, ty, kInk);
    testing::PaddedRaster banded(shape.width, shape.height, shape.stride, kUntouched);
    for (int band = 0; band < 3; ++band) {
      const int begin = edges[static_cast<std::size_t>(band)];
      const int end = edges[static_cast<std::size_t>(band) + 1];
      ASSERT_EQ(DrawLineInRows(banded.pixels(), shape.width, shape.height, shape.stride, begin, end,
                               fx, fy, tx, ty, kInk),
                drawn)
          << repro.str();
      // So far: the reference's pixels on every row painted yet, nothing below them.
      for (int y = -1; y <= shape.height; ++y) {
        for (int x = 0; x < shape.stride; ++x) {
          const std::size_t at = static_cast<std::size_t>((y + 1) * shape.stride + x);
          const std::uint32_t expected = y < end ? reference.buffer[at] : kUntouched;
          ASSERT_EQ(banded.buffer[at], expected)
              << repro.str() << ": pixel " << x << ", " << y << " after band " << band;
        }
      }
    }
  }
}

TEST(BandRaster, BandsOutsideTheRasterPaintNothing) {
  testing::PaddedRaster raster(8, 8, 9, kUntouched);
  for (const auto& [begin, end] :
       std::array<std::array<int, 2>, 4>{{{-5, 0}, {8, 12}, {5, 3}, {4, 4}}}) {
    EXPECT_TRUE(DrawLineInRows(raster.pixels(), 8, 8, 9, begin, end, 0, 0, 7, 7, kInk));
  }
  EXPECT_EQ(std::count(raster.buffer.begin(), raster.buffer.end(), kInk), 0);
}

}  // namespace
}  // namespace stringart
