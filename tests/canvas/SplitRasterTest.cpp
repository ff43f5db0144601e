// A run of segments split in two: the first part painted in order onto the raster, the rest
// backwards onto a layer laid over it, gives the plain rasteriser's pixels for all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/Raster.h"
#include "canvas/SplitRaster.h"
#include "tests/support/PaddedRaster.h"
#include "tests/support/RandomSegments.h"

namespace stringart {
namespace {

constexpr std::uint32_t kBackground = 0xFF5A5A5Au;

TEST(SplitRaster, RandomRunsSplitAnywhereEqualTheReference) {
  constexpr std::array<testing::Shape, 5> kShapes = {
      {{1, 1, 2}, {9, 1, 10}, {7, 13, 11}, {31, 17, 40}, {203, 157, 211}}};
  constexpr std::uint32_t kSeed = 20261208;
  constexpr int kRuns = 4000;
  testing::SegmentMaker maker(kSeed);
  std::mt19937 random(kSeed);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n)(random); };
  for (int run = 0; run < kRuns; ++run) {
    const testing::Shape& shape = kShapes[static_cast<std::size_t>(run % 5)];
    testing::PaddedRaster reference(shape.width, shape.height, shape.stride, kBackground);
    std::vector<SnappedSegment> segments;
    std::ostringstream repro;
    repro.precision(9);
    repro << "seed " << kSeed << ", run " << run << " on " << shape.width << "x" << shape.height
          << " stride " << shape.stride << ":";
    const int count = 1 + pick(24);
    for (int i = 0; i < count; ++i) {
      const auto [fx, fy, tx, ty] = maker.Make(shape);
      // Segments of few colours, so that overlaps of one colour over another show.
      const std::uint32_t pixel = 0xFF000000u | static_cast<std::uint32_t>(1 + pick(3)) * 0x404040u;
      repro << " (" << fx << ", " << fy << ") -> (" << tx << ", " << ty << ")";
      const bool drawn = DrawLineReference(reference.pixels(), shape.width, shape.height,
                                           shape.stride, fx, fy, tx, ty, pixel);
      SnappedSegment segment;
      bool kept = false;
      ASSERT_EQ(SnapForSplit(fx, fy, tx, ty, pixel, segment, kept), drawn) << repro.str();
      if (kept) segments.push_back(segment);
    }
    // The first `split` in order; the rest backwards in pieces, the last piece first.
    const std::size_t split = static_cast<std::size_t>(pick(static_cast<int>(segments.size())));
    testing::PaddedRaster raster(shape.width, shape.height, shape.stride, kBackground);
    testing::PaddedRaster layer(shape.width, shape.height, shape.stride, 0);
    DrawSegmentsOver(raster.pixels(), shape.width, shape.height, shape.stride, segments.data(),
                     split);
    for (std::size_t end = segments.size(); end > split;) {
      const std::size_t begin = end - std::min(end - split, 1 + static_cast<std::size_t>(pick(4)));
      DrawSegmentsUnder(layer.pixels(), shape.width, shape.height, shape.stride,
                        segments.data() + begin, end - begin);
      end = begin;
    }
    ASSERT_EQ(layer.FirstWrittenOutside(), -1) << repro.str();
    LayOver(raster.pixels(), layer.pixels(), shape.width, shape.height, shape.stride);
    repro << "; split after " << split;
    ASSERT_EQ(raster.FirstWrittenOutside(), -1) << repro.str();
    const auto mismatch =
        std::mismatch(raster.buffer.begin(), raster.buffer.end(), reference.buffer.begin());
    ASSERT_TRUE(mismatch.first == raster.buffer.end())
        << repro.str() << ", first difference at word " << (mismatch.first - raster.buffer.begin());
    ASSERT_EQ(std::count(layer.buffer.begin(), layer.buffer.end(), 0u),
              static_cast<std::ptrdiff_t>(layer.buffer.size()))
        << repro.str() << ": the layer was not left at 0";
  }
}

}  // namespace
}  // namespace stringart
