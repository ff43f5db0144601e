// The fast rasteriser against the plain one: the same pixels, and nothing outside the raster.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/Raster.h"
#include "canvas/SegmentRecorder.h"
#include "tests/support/Figures.h"
#include "tests/support/PaddedRaster.h"
#include "tests/support/RandomSegments.h"

namespace stringart {
namespace {

constexpr std::uint32_t kUntouched = 0x5A5A5A5Au;  // neither a pixel nor a colour we draw
constexpr std::uint32_t kInk = 0xFF123456u;

// A padded raster drawn on by either rasteriser.
struct Padded : testing::PaddedRaster {
  Padded(int w, int h, std::ptrdiff_t s) : PaddedRaster(w, h, s, kUntouched) {}
  bool Draw(bool fast, float fx, float fy, float tx, float ty, std::uint32_t pixel) {
    auto* draw = fast ? DrawLineFast : DrawLineReference;
    return draw(pixels(), width, height, stride, fx, fy, tx, ty, pixel);
  }
};

std::string Describe(float fx, float fy, float tx, float ty) {
  std::ostringstream out;
  out.precision(9);  // enough to read each float back exactly
  out << "segment (" << fx << ", " << fy << ") -> (" << tx << ", " << ty << ")";
  return out.str();
}

std::vector<Segment> ExampleFigure() {
  return testing::TraceSegments(testing::kExampleDraws);
}

TEST(FastRaster, ExampleFigureOnPicture1EqualsTheReference) {
  const std::vector<Segment> figure = ExampleFigure();
  ASSERT_EQ(figure.size(), 210000u);

  Picture1 picture;
  std::vector<std::uint32_t> reference(Picture1::kStride * Picture1::kHeight, ToPixel(kBlack));
  for (const Segment& s : figure) {
    ASSERT_TRUE(picture.DrawLine(s.fromX, s.fromY, s.toX, s.toY, s.colour));
    DrawLineReference(reference.data(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
                      s.fromX, s.fromY, s.toX, s.toY, ToPixel(s.colour));
  }
  for (int y = 0; y < Picture1::kHeight; ++y) {
    for (int x = 0; x < Picture1::kWidth; ++x) {
      ASSERT_EQ(picture.pixels()[y * Picture1::kStride + x], reference[y * Picture1::kStride + x])
          << "pixel " << x << ", " << y;
    }
  }
}

// The final picture hides a stray pixel that a later segment paints over, so each segment is
// also checked on its own, around its bounding box, on otherwise empty rasters.
TEST(FastRaster, EachSegmentOfTheExampleFigureEqualsTheReference) {
  const std::vector<Segment> figure = ExampleFigure();
  constexpr int kSide = Picture1::kWidth;
  std::vector<std::uint32_t> fast(kSide * kSide, 0), reference(kSide * kSide, 0);
  for (std::size_t i = 0; i < figure.size(); ++i) {
    const Segment& s = figure[i];
    DrawLineFast(fast.data(), kSide, kSide, kSide, s.fromX, s.fromY, s.toX, s.toY, kInk);
    DrawLineReference(reference.data(), kSide, kSide, kSide, s.fromX, s.fromY, s.toX, s.toY, kInk);
    // The figure lies within [25, 476], so a margin of two pixels stays on the raster.
    const int left = static_cast<int>(std::min(s.fromX, s.toX)) - 2;
    const int right = static_cast<int>(std::max(s.fromX, s.toX)) + 3;
    const int top = static_cast<int>(std::min(s.fromY, s.toY)) - 2;
    const int bottom = static_cast<int>(std::max(s.fromY, s.toY)) + 3;
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * kSide + x;
        ASSERT_EQ(fast[at], reference[at]) << "segment " << i << ", pixel " << x << ", " << y
                                           << ": " << Describe(s.fromX, s.fromY, s.toX, s.toY);
        fast[at] = reference[at] = 0;
      }
    }
  }
}

using testing::SegmentMaker;
using testing::Shape;

TEST(FastRaster, RandomSegmentsEqualTheReferenceAndStayInsideTheRaster) {
  // Degenerate, odd and padded rasters; the stride always exceeds the width by at least 1.
  constexpr std::array<Shape, 9> kShapes = {{{1, 1, 2},
                                             {1, 6, 3},
                                             {6, 1, 9},
                                             {2, 2, 3},
                                             {7, 13, 11},
                                             {13, 7, 16},
                                             {31, 17, 40},
                                             {64, 64, 65},
                                             {203, 157, 211}}};
  constexpr std::uint32_t kSeed = 20240611;
  constexpr int kSegments = 100000;
  SegmentMaker maker(kSeed);
  for (int i = 0; i < kSegments; ++i) {
    // The largest raster is the slowest to compare; it gets one segment in sixteen.
    const Shape& shape = kShapes[i % 16 == 0 ? 8 : i % 8];
    const auto [fx, fy, tx, ty] = maker.Make(shape);
    const std::string repro = "seed " + std::to_string(kSeed) + ", segment " + std::to_string(i) +
                              " on " + std::to_string(shape.width) + "x" +
                              std::to_string(shape.height) + " stride " +
                              std::to_string(shape.stride) + ": " + Describe(fx, fy, tx, ty);
    Padded fast(shape.width, shape.height, shape.stride);
    Padded reference(shape.width, shape.height, shape.stride);
    ASSERT_TRUE(fast.Draw(true, fx, fy, tx, ty, kInk)) << repro;
    ASSERT_TRUE(reference.Draw(false, fx, fy, tx, ty, kInk)) << repro;
    ASSERT_EQ(fast.FirstWrittenOutside(), -1) << repro;
    const auto mismatch =
        std::mismatch(fast.buffer.begin(), fast.buffer.end(), reference.buffer.begin());
    ASSERT_TRUE(mismatch.first == fast.buffer.end())
        << repro << ", first difference at word " << (mismatch.first - fast.buffer.begin());
  }
}

TEST(FastRaster, NonFiniteCoordinatesFailAndPaintNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const auto& [fx, fy, tx, ty] : std::vector<std::array<float, 4>>{
           {nan, 1, 2, 3}, {1, nan, 2, 3}, {1, 2, inf, 3}, {1, 2, 3, -inf}}) {
    Padded raster(8, 8, 9);
    EXPECT_FALSE(raster.Draw(true, fx, fy, tx, ty, kInk)) << Describe(fx, fy, tx, ty);
    EXPECT_TRUE(std::all_of(raster.buffer.begin(), raster.buffer.end(),
                            [](std::uint32_t w) { return w == kUntouched; }));
  }
}

TEST(FastRaster, EmptyRasterIsNeverWritten) {
  for (const Shape shape : {Shape{0, 5, 4}, Shape{5, 0, 6}, Shape{-3, -3, 4}}) {
    Padded raster(shape.width, std::max(shape.height, 1), shape.stride);
    raster.height = shape.height;
    EXPECT_TRUE(raster.Draw(true, -2.0f, -2.0f, 7.0f, 3.0f, kInk));
    EXPECT_TRUE(std::all_of(raster.buffer.begin(), raster.buffer.end(),
                            [](std::uint32_t w) { return w == kUntouched; }))
        << shape.width << "x" << shape.height;
  }
}

}  // namespace
}  // namespace stringart
