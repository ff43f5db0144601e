// Rounding, colour packing and the random source.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/Colour.h"
#include "runtime/DrawSource.h"
#include "runtime/Numeric.h"
#include "runtime/RandomSource.h"

namespace stringart {
namespace {

TEST(Rounding, NearestWithHalvesToEven) {
  EXPECT_EQ(RoundToInt16(76.83f), 77);
  EXPECT_EQ(RoundToInt16(102.435f), 102);
  EXPECT_EQ(RoundToInt16(255.04f), 255);
  EXPECT_EQ(RoundToInt16(0.5f), 0);
  EXPECT_EQ(RoundToInt16(1.5f), 2);
  EXPECT_EQ(RoundToInt16(2.5f), 2);
  EXPECT_EQ(RoundToInt16(255.5f), 256);
  EXPECT_EQ(RoundToInt16(-0.5f), 0);
  EXPECT_EQ(RoundToInt16(-1.5f), -2);
  EXPECT_EQ(RoundToInt16(32767.0f), 32767);
  EXPECT_EQ(RoundToInt16(-32768.0f), -32768);
}

TEST(Rounding, HalvesAtTheEndsOfTheRangeGoToEven) {
  EXPECT_EQ(RoundToInt16(-32768.5f), -32768);
  EXPECT_EQ(RoundToInt16(32766.5f), 32766);
  EXPECT_EQ(RoundToInt16(-32767.5f), -32768);
  EXPECT_EQ(RoundToInt16(-32769.5f), std::nullopt);  // rounds to -32770
}

// Bit for bit, so a sign of zero or a NaN that differs also counts.
::testing::AssertionResult SameAsLibrary(float v) {
  const float ours = NearbyInt(v), library = std::nearbyint(v);
  if (std::bit_cast<std::uint32_t>(ours) == std::bit_cast<std::uint32_t>(library)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "v = " << std::hexfloat << v << ": " << ours << " instead of " << library;
}

TEST(Rounding, NearbyIntEqualsTheLibraryOnEveryFloatThatHasAFractionToRound) {
  // Every float with 0.25 <= |v| < 2^23, both signs: below lies only rounding to zero, above
  // only integers. About 420 million values, around a second.
  std::uint64_t mismatches = 0;
  for (std::uint32_t bits = std::bit_cast<std::uint32_t>(0.25f);
       bits < std::bit_cast<std::uint32_t>(0x1p23f); ++bits) {
    for (const std::uint32_t sign : {0u, 0x80000000u}) {
      const float v = std::bit_cast<float>(bits | sign);
      if (std::bit_cast<std::uint32_t>(NearbyInt(v)) !=
          std::bit_cast<std::uint32_t>(std::nearbyint(v))) {
        if (mismatches++ < 5) ADD_FAILURE() << SameAsLibrary(v).message();
      }
    }
  }
  EXPECT_EQ(mismatches, 0u);
}

TEST(Rounding, NearbyIntEqualsTheLibraryAcrossAllFloats) {
  // A spread over every exponent: tiny and subnormal values, huge ones, infinities, NaNs.
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 4099) {
    ASSERT_TRUE(SameAsLibrary(std::bit_cast<float>(static_cast<std::uint32_t>(bits))));
  }
  for (const float v :
       {0.0f, -0.0f, 0.49999997f, -0.49999997f, 0x1p22f, -0x1p22f, 0x1.000002p22f, 0x1.fffffep22f,
        -0x1.fffffep22f, 0x1p23f, 1e30f, std::numeric_limits<float>::denorm_min(),
        -std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_TRUE(SameAsLibrary(v));
  }
}

TEST(Rounding, FailsOutsideSixteenBitsAndForNonFiniteValues) {
  EXPECT_EQ(RoundToInt16(32767.5f), std::nullopt);  // rounds to 32768
  EXPECT_EQ(RoundToInt16(-32768.6f), std::nullopt);
  EXPECT_EQ(RoundToInt16(1e30f), std::nullopt);
  EXPECT_EQ(RoundToInt16(std::numeric_limits<float>::infinity()), std::nullopt);
  EXPECT_EQ(RoundToInt16(std::numeric_limits<float>::quiet_NaN()), std::nullopt);
}

TEST(Narrowing, FailsBeyondTheFloatRange) {
  EXPECT_EQ(NarrowToFloat(260.15347), 260.15347f);
  EXPECT_EQ(NarrowToFloat(1e39), std::nullopt);
  EXPECT_EQ(NarrowToFloat(-1e300), std::nullopt);
  EXPECT_EQ(NarrowToFloat(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(StatementGuard, AResultThatCannotBeStoredKeepsThePreviousValue) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  double d = 1.5;
  float f = -2.5f;
  for (const double bad : {inf, -inf, nan}) {
    EXPECT_FALSE(GuardedStore(d, bad));
    EXPECT_FALSE(GuardedStore(f, bad));
  }
  EXPECT_FALSE(GuardedStore(f, 1e39));  // finite, but beyond the float range
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(f, -2.5f);
  EXPECT_TRUE(GuardedStore(d, 1e300));
  EXPECT_TRUE(GuardedStore(f, 0.1));
  EXPECT_EQ(d, 1e300);
  EXPECT_EQ(f, 0.1f);
}

TEST(ColourPacking, RedLowGreenMiddleBlueHigh) {
  const Colour c = PackColour(77, 102, 128);
  EXPECT_EQ(c.value, 8414797u);  // 0x80664D
  EXPECT_EQ(c.red(), 77);
  EXPECT_EQ(c.green(), 102);
  EXPECT_EQ(c.blue(), 128);
  EXPECT_EQ(PackColour(255, 0, 0).value, 0x0000FFu);
  EXPECT_EQ(PackColour(0, 0, 255).value, 0xFF0000u);
}

TEST(ColourPacking, ClampsEachChannelSoTheTopByteStaysZero) {
  EXPECT_EQ(PackColour(256, 0, 0).value, 255u);
  EXPECT_EQ(PackColour(0, 256, 256).value, 0xFFFF00u);
  EXPECT_EQ(PackColour(-1, 300, 0).value, 0x00FF00u);
}

TEST(ColourPacking, PixelWordsSwapRedAndBlueAndSetTheTopByte) {
  const Colour red = PackColour(255, 0, 0), blue = PackColour(0, 0, 255);
  EXPECT_EQ(ToPixel(red), 0xFFFF0000u);
  EXPECT_EQ(ToPixel(blue), 0xFF0000FFu);
  EXPECT_EQ(ToPixel(PackColour(77, 102, 128)), 0xFF4D6680u);
  EXPECT_EQ(FromPixel(ToPixel(PackColour(1, 2, 3))), PackColour(1, 2, 3));
}

TEST(RandomSource, NeverOneAndUniformInTheMean) {
  RandomSource source;
  source.Reseed(43200.5f);
  double sum = 0;
  float lowest = 1, highest = 0;
  constexpr int kDraws = 1'000'000;
  for (int i = 0; i < kDraws; ++i) {
    const float u = source.Next();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
    // 24 random bits: every value is a whole multiple of 2^-24.
    ASSERT_EQ(std::ldexp(u, 24), std::floor(std::ldexp(u, 24)));
    sum += u;
    lowest = std::min(lowest, u);
    highest = std::max(highest, u);
  }
  EXPECT_NEAR(sum / kDraws, 0.5, 0.002);  // about 7 standard errors
  EXPECT_LT(lowest, 1e-4f);
  EXPECT_GT(highest, 1 - 1e-4f);
}

TEST(RandomSource, SameClockReadingTwiceStillGivesFreshDraws) {
  RandomSource source;
  source.Reseed(3600.0f);
  const float first = source.Next(), second = source.Next();
  source.Reseed(3600.0f);
  EXPECT_FALSE(source.Next() == first && source.Next() == second);
}

TEST(RandomSource, FreshSourcesReseededAlikeDrawAlike) {
  RandomSource a, b;
  for (float seconds : {0.0f, 0.0f, 12.25f, 86399.99f}) {
    a.Reseed(seconds);
    b.Reseed(seconds);
    for (int i = 0; i < 12; ++i) ASSERT_EQ(a.Next(), b.Next()) << "after reseeding " << seconds;
  }
  RandomSource c;
  c.Reseed(12.5f);
  RandomSource d;
  d.Reseed(12.25f);
  EXPECT_NE(c.Next(), d.Next());
}

TEST(DrawSources, ClockedRandomReadsTheClockAtEveryReseed) {
  RandomSource viaClock, direct;
  FixedClock clock(500.0f);
  ClockedRandom draws(viaClock, clock);
  draws.Reseed();
  direct.Reseed(500.0f);
  EXPECT_EQ(draws.Next(), direct.Next());
}

TEST(DrawSources, SuppliedDrawsStartOverAtEveryReseed) {
  std::array<float, 12> values{};
  for (int i = 0; i < 12; ++i) values[i] = static_cast<float>(i) / 16;
  SuppliedDraws draws(values);
  for (int figure = 0; figure < 2; ++figure) {
    draws.Reseed();
    for (int i = 0; i < 12; ++i) ASSERT_EQ(draws.Next(), values[i]);
  }
}

TEST(SystemClockTest, ReadsATimeOfDay) {
  SystemClock clock;
  const float seconds = clock.SecondsSinceMidnight();
  EXPECT_GE(seconds, 0.0f);
  EXPECT_LT(seconds, 86400.0f);
}

}  // namespace
}  // namespace stringart
