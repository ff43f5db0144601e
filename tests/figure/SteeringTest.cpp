// Figures near a figure and between two: variations within their strength, morph steps that
// start and end on the figures themselves, and tiles that are the exact figures scaled down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "canvas/AreaAverage.h"
#include "canvas/Picture1.h"
#include "figure/FigureTiles.h"
#include "figure/Tracer.h"
#include "figure/Variation.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

TEST(Variation, ADrawStaysWithinItsOffsetAndBelowOne) {
  struct Case {
    float u;
    double offset;
    float expected;  // NAN: only the bounds are known
  };
  const Case cases[] = {
      {0.5f, 0.0, 0.5f},                        // no offset, no change
      {0.01f, -0.03, NAN},                      // reflected at 0
      {0.99f, 0.03, NAN},                       // reflected at 1
      {0.5f, 0.5, std::nextafter(1.0f, 0.0f)},  // onto 1 itself: the float below
      {0.0f, -0.25, 0.25f},
      {0x1p-30f, 0x1p-60, NAN},  // an offset below the float spacing
  };
  for (const Case& c : cases) {
    const float v = VaryDraw(c.u, c.offset);
    EXPECT_TRUE(v >= 0.0f && v < 1.0f) << c.u << " + " << c.offset << " gave " << v;
    EXPECT_LE(std::fabs(static_cast<double>(v) - c.u), std::fabs(c.offset))
        << c.u << " + " << c.offset << " gave " << v;
    if (!std::isnan(c.expected)) {
      EXPECT_EQ(v, c.expected) << c.u << " + " << c.offset;
    }
  }
  EXPECT_NEAR(VaryDraw(0.01f, -0.03), 0.02, 1e-7);
  EXPECT_NEAR(VaryDraw(0.99f, 0.03), 0.98, 1e-7);
}

TEST(Variation, EveryDrawMovesWithinTheStrengthAndTheSequenceGoesOn) {
  std::uint64_t seed = 7;
  const FigureDraws edges = {0.0f, 0.999f, 0.5f, 0.001f, 0.25f, 0.75f,
                             0.1f, 0.9f,   0.3f, 0.7f,   0.6f,  0.4f};
  for (double strength : {kSubtleStrength, kDefaultStrength, kWildStrength}) {
    double largest = 0;
    for (int round = 0; round < 2000; ++round) {
      const std::uint64_t before = seed;
      const FigureDraws varied = VaryDraws(edges, strength, seed);
      ASSERT_NE(seed, before);
      for (std::size_t i = 0; i < kFigureDraws; ++i) {
        const double moved = std::fabs(static_cast<double>(varied[i]) - edges[i]);
        ASSERT_TRUE(varied[i] >= 0.0f && varied[i] < 1.0f) << "seed " << before << " draw " << i;
        ASSERT_LE(moved, DrawReach(i, strength)) << "seed " << before << " draw " << i;
        ASSERT_LE(DrawReach(i, strength), strength) << "draw " << i;
        largest = std::max(largest, moved);
      }
    }
    EXPECT_GT(largest, 0.9 * strength) << "the colours' draws use the whole strength";
  }
}

// The share of lit pixels two figures have in common.
double Overlap(const FigureRecord& a, const FigureRecord& b) {
  Picture1 one, other;
  TraceAgain(a, one);
  TraceAgain(b, other);
  long both = 0, either = 0;
  for (int i = 0; i < Picture1::kWidth * Picture1::kHeight; ++i) {
    const bool lit = (one.pixels()[i] & 0xFFFFFFu) != 0,
               alsoLit = (other.pixels()[i] & 0xFFFFFFu) != 0;
    both += lit && alsoLit;
    either += lit || alsoLit;
  }
  return either > 0 ? static_cast<double>(both) / either : 1.0;
}

// A variation at the default strength looks like its figure: the median of the lit pixels it
// shares with it at least three quarters; at wild, no more than an unrelated figure shares.
TEST(Variation, NearAtTheDefaultStrengthAndUnrelatedAtWild) {
  std::uint64_t seed = 2024;
  std::vector<double> near, wild, unrelated;
  for (std::uint64_t i = 0; i < 16; ++i) {
    const FigureRecord centre = testing::DrawnFigure(i), other = testing::DrawnFigure(i + 100);
    near.push_back(
        Overlap(centre, {VaryDraws(centre.draws, kDefaultStrength, seed), centre.start, {}}));
    wild.push_back(
        Overlap(centre, {VaryDraws(centre.draws, kWildStrength, seed), centre.start, {}}));
    unrelated.push_back(Overlap(centre, other));
  }
  for (auto* shares : {&near, &wild, &unrelated}) std::sort(shares->begin(), shares->end());
  EXPECT_GE(near[8], 0.75) << "seed 2024";
  EXPECT_LE(wild[8], unrelated[8] + 0.1) << "seed 2024";
}

TEST(Morph, StartsAndEndsOnTheFiguresExactlyAndStepsEvenly) {
  // Draws far apart in size, where a + (b - a) would not give b back.
  const FigureDraws a = {0.75f, 0x1p-100f, 0.1f, 0.999999f, 0,    0.5f,
                         0.3f,  0.3f,      0,    0.2f,      0.9f, 0.6f};
  const FigureDraws b = {0x1p-100f, 0.75f, 0.7f, 0.0f, 0.5f, 0, 0.3f, 0.1f, 0, 0.8f, 0.1f, 0.6f};
  EXPECT_EQ(MorphDraws(a, b, 0, 240), a);
  EXPECT_EQ(MorphDraws(a, b, 239, 240), b);
  EXPECT_EQ(MorphDraws(a, b, 0, 1), a);
  const FigureDraws middle = MorphDraws(a, b, 1, 3);
  EXPECT_EQ(middle[2], 0.4f);
  EXPECT_EQ(middle[6], 0.3f);  // equal ends stay put
  for (long k = 1; k < 240; ++k) {
    EXPECT_LE(MorphDraws(a, b, k, 240)[2], MorphDraws(a, b, k + 1, 240)[2]) << "frame " << k;
  }
}

TEST(Tiles, AreTheExactFiguresAreaAveraged) {
  // Averaging: a flat colour stays itself; a 2 x 2 block becomes its mean.
  std::vector<std::uint32_t> flat(500 * 500, 0xFF123456u), small(7 * 7);
  AreaAverage(flat.data(), 500, 500, 500, small.data(), 7, 7, 7);
  for (std::uint32_t p : small) ASSERT_EQ(p, 0xFF123456u);
  const std::uint32_t block[4] = {0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  std::uint32_t one = 0;
  AreaAverage(block, 2, 2, 2, &one, 1, 1, 1);
  EXPECT_EQ(one, 0xFF404040u);  // 255 / 4 = 63.75, rounded

  // Traced on every core, each tile is its figure traced alone and scaled down.
  std::vector<FigureRecord> figures;
  std::uint64_t seed = 1;
  for (int i = 0; i < 5; ++i) {
    figures.push_back({VaryDraws(kExampleDraws, kWildStrength, seed), {1, -1, 1}, {}});
  }
  std::vector<std::vector<std::uint32_t>> tiles(figures.size());
  TraceTiles(figures, 160, tiles);
  for (std::size_t i = 0; i < figures.size(); ++i) {
    Picture1 picture;
    TraceAgain(figures[i], picture);
    std::vector<std::uint32_t> expected(160 * 160);
    AreaAverage(picture.pixels(), 500, 500, 500, expected.data(), 160, 160, 160);
    EXPECT_EQ(tiles[i], expected) << "figure " << i;
  }
}

}  // namespace
}  // namespace stringart
