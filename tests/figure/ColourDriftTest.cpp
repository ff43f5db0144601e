// Colour drift: when a channel turns, how far it goes, and the colour it gives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "figure/ColourDrift.h"
#include "runtime/Numeric.h"

namespace stringart {
namespace {

struct Drift {
  ColourChannels c;
  std::int16_t fre = 1, fgr = 1, fbl = 1;
  void Steps(int n) {
    for (int i = 0; i < n; ++i) DriftColour(c, fre, fgr, fbl);
  }
};

TEST(ColourDrift, StepSizeZeroHoldsTheChannel) {
  Drift d;
  d.c = {100.5f, 2.0f, 255.0f, 0, 0, 0};
  d.Steps(70000);
  EXPECT_EQ(d.c.re, 100.5f);
  EXPECT_EQ(d.c.gr, 2.0f);
  EXPECT_EQ(d.c.bl, 255.0f);
}

TEST(ColourDrift, ExactlyTwoOrTwoHundredFiftyFiveDoesNotTurn) {
  Drift d;
  d.c = {255.0f, 2.0f, 128.0f, 0.01f, 0.01f, 0.01f};
  d.fgr = -1;
  d.Steps(1);
  EXPECT_EQ(d.fre, 1);
  EXPECT_EQ(d.fgr, -1);
  EXPECT_GT(d.c.re, 255.0f);  // rises once more, then turns on the next step
  EXPECT_LT(d.c.gr, 2.0f);
  d.Steps(1);
  EXPECT_EQ(d.fre, -1);
  EXPECT_EQ(d.fgr, 1);
}

// Each of the six tests on its own: a channel exactly at its limit keeps its direction, one a
// float beyond it turns, and the other two channels keep theirs.
TEST(ColourDrift, EachLimitTurnsJustBeyondItAndNotAtIt) {
  for (int channel = 0; channel < 3; ++channel) {
    for (const bool upper : {true, false}) {
      const float limit = upper ? 255.0f : 2.0f;
      const std::int16_t outwards = upper ? 1 : -1;
      for (const float value : {limit, std::nextafter(limit, upper ? 256.0f : 1.0f)}) {
        Drift d;
        d.c = {128, 128, 128, 0, 0, 0};
        float* values[] = {&d.c.re, &d.c.gr, &d.c.bl};
        std::int16_t* directions[] = {&d.fre, &d.fgr, &d.fbl};
        *values[channel] = value;
        for (std::int16_t* f : directions) *f = outwards;
        d.Steps(1);
        const std::int16_t expected =
            value == limit ? outwards : static_cast<std::int16_t>(-outwards);
        for (int i = 0; i < 3; ++i) {
          EXPECT_EQ(*directions[i], i == channel ? expected : outwards)
              << "channel " << channel << " at " << value << ", direction " << i;
        }
      }
    }
  }
}

// An advance that overflows is a failed statement: the channel keeps the value it had.
TEST(ColourDrift, AnAdvanceThatOverflowsKeepsTheChannel) {
  Drift d;
  d.c = {3e38f, 100.0f, 100.0f, -3e38f, 0.5f, 0.5f};  // turns down, and the negative step adds
  d.Steps(1);
  EXPECT_EQ(d.fre, -1);
  EXPECT_EQ(d.c.re, 3e38f);
  EXPECT_EQ(d.c.gr, 100.5f);
}

TEST(ColourDrift, OscillatesWithinOneStepOfTheBand) {
  Drift d;
  d.c = {128.0f, 3.0f, 250.0f, 0.0499f, 0.031f, 0.047f};
  float low = 1000, high = -1000;
  int turns = 0;
  std::int16_t last = d.fre;
  for (int i = 0; i < 70000; ++i) {
    d.Steps(1);
    low = std::min(low, d.c.re);
    high = std::max(high, d.c.re);
    if (d.fre != last) ++turns;
    last = d.fre;
  }
  EXPECT_GE(low, 2.0f - 0.0499f);
  EXPECT_LE(high, 255.0f + 0.0499f);
  EXPECT_LT(low, 2.0f);
  EXPECT_GT(high, 255.0f);
  // One sweep takes about 253 / 0.0499 = 5,070 steps: 13 or 14 turns in a figure.
  EXPECT_GE(turns, 13);
  EXPECT_LE(turns, 14);
}

TEST(ColourDrift, ADirectionLeftByTheLastFigureHoldsUntilTheChannelLeavesTheBand) {
  Drift d;
  d.c = {100.0f, 0, 0, 0.0013f, 0, 0};
  d.fre = -1;
  d.Steps(70000);  // 70,000 * 0.0013 = 91 < 98: never reaches 2
  EXPECT_EQ(d.fre, -1);
  EXPECT_NEAR(d.c.re, 100 - 91, 0.5);
}

TEST(ColourDrift, StartOutsideTheBandTurnsBackAtOnce) {
  Drift d;
  d.c = {0.0f, 255.9f, 1.0f, 0.02f, 0.02f, 0.02f};
  d.fre = -1;
  d.fgr = 1;
  d.fbl = -1;
  d.Steps(1);
  EXPECT_EQ(d.fre, 1);
  EXPECT_EQ(d.c.re, 0.02f);  // never below 0
  EXPECT_EQ(d.fgr, -1);
  EXPECT_EQ(d.fbl, 1);
}

TEST(ChannelColour, RoundsEachChannelAndClampsTwoHundredFiftySix) {
  ColourChannels c{76.83f, 102.435f, 255.04f, 0, 0, 0};
  EXPECT_EQ(ChannelColour(c), PackColour(77, 102, 255));
  c.re = 255.6f;  // rounds to 256
  c.gr = 2.5f;    // halfway: to even
  c.bl = 1.95f;
  EXPECT_EQ(ChannelColour(c), PackColour(255, 2, 2));
}

TEST(ChannelColour, AChannelThatCannotBeRoundedGivesNoColour) {
  ColourChannels c{1e6f, 0, 0, 0, 0, 0};
  EXPECT_EQ(ChannelColour(c), std::nullopt);
}

TEST(ChannelColour, AgreesWithRoundingEachChannelToSixteenBits) {
  const float values[] = {-32769.5f,
                          -32768.5f,
                          -32767.5f,
                          -0.5f,
                          -0.0f,
                          0.5f,
                          2.5f,
                          255.5f,
                          32766.5f,
                          32767.5f,
                          1e30f,
                          std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()};
  for (const float red : values) {
    for (const float green : values) {
      for (const float blue : values) {
        ColourChannels c;
        c.re = red;
        c.gr = green;
        c.bl = blue;
        const auto r = RoundToInt16(red), g = RoundToInt16(green), b = RoundToInt16(blue);
        const std::optional<Colour> expected =
            r && g && b ? std::optional<Colour>(PackColour(*r, *g, *b)) : std::nullopt;
        EXPECT_EQ(ChannelColour(c), expected) << red << ", " << green << ", " << blue;
      }
    }
  }
}

}  // namespace
}  // namespace stringart
