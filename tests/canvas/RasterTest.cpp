// The raster canvas and its plain rasteriser.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/Raster.h"
#include "tests/support/PaddedRaster.h"

namespace stringart {
namespace {

constexpr std::uint32_t kGuard = 0xDEADBEEFu;
constexpr std::uint32_t kInk = 0xFF123456u;

// A small raster with padded rows and guarded rows above and below, painted black.
struct Guarded : testing::PaddedRaster {
  Guarded(int w, int h) : PaddedRaster(w, h, w + 3, kGuard) {
    FillRaster(pixels(), width, height, stride, 0xFF000000u);
  }
  bool Draw(float fx, float fy, float tx, float ty) {
    return DrawLineReference(pixels(), width, height, stride, fx, fy, tx, ty, kInk);
  }
  std::set<std::pair<int, int>> Inked() {
    std::set<std::pair<int, int>> inked;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (pixels()[y * stride + x] == kInk) inked.insert({x, y});
    return inked;
  }
  bool GuardsIntact() const { return FirstWrittenOutside() == -1; }
};

using Pixels = std::set<std::pair<int, int>>;

TEST(DrawLineReference, PaintsBothEndsAndOnePixelPerStepOfTheLongerAxis) {
  Guarded r(10, 10);
  ASSERT_TRUE(r.Draw(1, 1, 7, 4));
  // dy / dx = 1/2: y advances on odd steps, halves rounding upwards.
  EXPECT_EQ(r.Inked(), (Pixels{{1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 4}, {7, 4}}));
  Guarded back(10, 10);
  back.Draw(7, 4, 1, 1);
  EXPECT_EQ(back.Inked().size(), 7u);
}

TEST(DrawLineReference, SteepAndDiagonalSegments) {
  Guarded steep(10, 10);
  steep.Draw(2, 0, 3, 5);
  EXPECT_EQ(steep.Inked(), (Pixels{{2, 0}, {2, 1}, {2, 2}, {3, 3}, {3, 4}, {3, 5}}));
  Guarded diagonal(10, 10);
  diagonal.Draw(5, 0, 0, 5);
  EXPECT_EQ(diagonal.Inked(), (Pixels{{5, 0}, {4, 1}, {3, 2}, {2, 3}, {1, 4}, {0, 5}}));
}

TEST(DrawLineReference, FractionalEndsSnapToTheNearestPixelCentre) {
  Guarded r(10, 10);
  r.Draw(2.49f, 3.5f, 2.49f, 3.5f);  // x 2.49 -> 2, y 3.5 -> 4
  EXPECT_EQ(r.Inked(), (Pixels{{2, 4}}));
  Guarded s(10, 10);
  s.Draw(-0.5f, 0.4f, 1.4999f, 0.4f);  // -0.5 -> 0, 1.4999 -> 1
  EXPECT_EQ(s.Inked(), (Pixels{{0, 0}, {1, 0}}));
}

TEST(DrawLineReference, ClipsToTheAreaAndNeverWritesOutsideIt) {
  Guarded r(8, 6);
  EXPECT_TRUE(r.Draw(-20, 3, 30, 3));
  EXPECT_TRUE(r.Draw(4, -100, 4, 100));
  EXPECT_TRUE(r.Draw(-5, -5, 20, 20));
  EXPECT_TRUE(r.Draw(100, 100, 200, 300));   // wholly outside: nothing, and no failure
  EXPECT_TRUE(r.Draw(-3e38f, 2, 3e38f, 2));  // far ends are cut back, not overflowed
  EXPECT_TRUE(r.GuardsIntact());
  Pixels row, column;
  for (int x = 0; x < 8; ++x) row.insert({x, 3});
  for (int y = 0; y < 6; ++y) column.insert({4, y});
  const Pixels inked = r.Inked();
  for (const auto& p : row) EXPECT_TRUE(inked.count(p)) << p.first << "," << p.second;
  for (const auto& p : column) EXPECT_TRUE(inked.count(p)) << p.first << "," << p.second;
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(inked.count({i, i})) << i;
}

TEST(DrawLineReference, RefusesCoordinatesThatAreNotFiniteAndPaintsNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Guarded r(8, 8);
  EXPECT_FALSE(r.Draw(nan, 1, 5, 5));
  EXPECT_FALSE(r.Draw(1, 1, 5, inf));
  EXPECT_FALSE(r.Draw(-inf, 1, 5, 5));
  EXPECT_FALSE(r.Draw(1, 1, nan, nan));
  EXPECT_TRUE(r.Inked().empty());
  EXPECT_TRUE(r.GuardsIntact());
}

TEST(Picture1, BlackAfterSetBackgroundAndAfterEveryClear) {
  Picture1 picture;
  picture.SetBackground(kBlack);
  for (int i = 0; i < 100; ++i) {
    picture.DrawLine(static_cast<float>(i * 5), 0, 499.0f - static_cast<float>(i), 499,
                     PackColour(255, 128, 1));
  }
  picture.Clear();
  for (int y = 0; y < Picture1::kHeight; ++y) {
    for (int x = 0; x < Picture1::kWidth; ++x) ASSERT_EQ(picture.At(x, y), kBlack) << x << "," << y;
  }
  EXPECT_EQ(picture.pixels()[0], 0xFF000000u);  // opaque black, as Format_RGB32 wants
}

TEST(Picture1, ClearUsesTheLastBackgroundColour) {
  Picture1 picture;
  const Colour blue = PackColour(0, 0, 255);
  picture.SetBackground(blue);
  picture.DrawLine(0, 0, 499, 499, PackColour(255, 0, 0));
  picture.Clear();
  EXPECT_EQ(picture.At(250, 250), blue);
  EXPECT_EQ(picture.pixels()[0], 0xFF0000FFu);
}

TEST(Picture1, RedStaysRedAndTheSegmentReplacesWhatLiesBeneath) {
  Picture1 picture;
  picture.DrawLine(10, 20, 10, 20, PackColour(255, 0, 0));
  EXPECT_EQ(picture.At(10, 20), PackColour(255, 0, 0));
  EXPECT_EQ(picture.pixels()[20 * Picture1::kStride + 10], 0xFFFF0000u);
  picture.DrawLine(0, 20, 30, 20, PackColour(0, 0, 255));
  EXPECT_EQ(picture.At(10, 20), PackColour(0, 0, 255));
  // Row-major with y down: (x=10, y=20) is not (x=20, y=10).
  EXPECT_EQ(picture.At(20, 10), kBlack);
}

TEST(Picture1, DrawingTheSameSegmentTwiceChangesNothing) {
  Picture1 once, twice;
  for (Picture1* p : {&once, &twice})
    p->DrawLine(30.2f, 400.7f, 470.4f, 25.5f, PackColour(9, 8, 7));
  twice.DrawLine(30.2f, 400.7f, 470.4f, 25.5f, PackColour(9, 8, 7));
  EXPECT_TRUE(std::equal(once.pixels(), once.pixels() + 500 * 500, twice.pixels()));
}

}  // namespace
}  // namespace stringart
