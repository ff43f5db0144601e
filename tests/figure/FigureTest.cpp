// The figure tracer: its known figure, its geometry and its statement guard.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

using testing::kExampleDraws;
using testing::kPinnedFigures;

// Traces one figure from `draws` with the given start directions onto a recorder.
struct Traced {
  SegmentRecorder canvas;
  Directions directions;
  double x1 = 0, y1 = 0;
  FigureRecord record;

  explicit Traced(const FigureDraws& draws, Directions start = {}) : directions(start) {
    record = TraceFigure(draws, directions, x1, y1, canvas);
  }
  const std::vector<Segment>& segments() const { return canvas.segments(); }
};

void ExpectSegmentNear(const Segment& s, double fx, double fy, double tx, double ty) {
  EXPECT_NEAR(s.fromX, fx, 0.0005);
  EXPECT_NEAR(s.fromY, fy, 0.0005);
  EXPECT_NEAR(s.toX, tx, 0.0005);
  EXPECT_NEAR(s.toY, ty, 0.0005);
}

// Every coordinate's bits, every colour and every pixel, fixed: a change anywhere in the
// arithmetic moves at least one of these.
TEST(PinnedFigures, SegmentsAndPixelsAreTheSameToTheBit) {
  for (const testing::PinnedFigure& figure : kPinnedFigures) {
    SCOPED_TRACE(figure.name);
    const Traced t(figure.draws, figure.start);
    ASSERT_EQ(t.segments().size(), static_cast<std::size_t>(kSegmentsPerFigure));
    EXPECT_EQ(testing::SegmentDigest(t.segments()), figure.segments)
        << std::hex << "segment digest 0x" << testing::SegmentDigest(t.segments());
    Picture1 picture;
    TraceAgain({figure.draws, figure.start, {}}, picture);
    EXPECT_EQ(testing::RasterDigest(picture), figure.raster)
        << std::hex << "raster digest 0x" << testing::RasterDigest(picture);
  }
}

TEST(ExampleFigure, FirstStepDrawsThreeParallelSegmentsInOneColour) {
  const Traced t(kExampleDraws);
  ASSERT_EQ(t.segments().size(), 210000u);
  ExpectSegmentNear(t.segments()[0], 260.153, 411.496, 284.868, 389.980);
  ExpectSegmentNear(t.segments()[1], 261.153, 411.496, 285.868, 389.980);
  ExpectSegmentNear(t.segments()[2], 260.153, 412.496, 284.868, 390.980);
  for (int i = 0; i < 3; ++i) {
    const Colour c = t.segments()[i].colour;
    EXPECT_EQ(c.value, 8414797u) << "segment " << i;
    EXPECT_EQ(c.red(), 77);
    EXPECT_EQ(c.green(), 102);
    EXPECT_EQ(c.blue(), 128);
  }
}

TEST(ExampleFigure, LastStepAndDirectionsLeftForTheNextFigure) {
  const Traced t(kExampleDraws);
  const Segment& last = t.segments()[t.segments().size() - 3];
  ExpectSegmentNear(last, 256.450, 254.554, 262.449, 312.853);
  EXPECT_EQ(last.colour, PackColour(152, 22, 112));
  EXPECT_EQ(t.directions, (Directions{1, 1, -1}));
  EXPECT_EQ(t.record.end, (Directions{1, 1, -1}));
  EXPECT_EQ(t.record.draws, kExampleDraws);
  // x1, y1 hold the outer end of the last step in figure units.
  EXPECT_NEAR((t.x1 + 3) * (500.0 / 6), last.toX, 1e-3);
  EXPECT_NEAR((3 - t.y1) * (500.0 / 6), last.toY, 1e-3);
}

TEST(ExampleFigure, EveryCoordinateLiesWithinTheDrawnRange) {
  const Traced t(kExampleDraws);
  for (const Segment& s : t.segments()) {
    for (float v : {s.fromX, s.fromY, s.toX, s.toY}) {
      ASSERT_GE(v, 25.0f);
      ASSERT_LE(v, 476.0f);
    }
  }
}

TEST(ExampleFigure, TracingAgainFromTheRecordGivesTheSameSegments) {
  const Traced first(kExampleDraws, {-1, 1, -1});
  SegmentRecorder again;
  TraceAgain(first.record, again);
  EXPECT_EQ(again.segments(), first.segments());
}

// Draws 0.5 make every frequency factor 0 (0.5 * 6 - 3).
std::array<float, 12> ZeroFactors() {
  auto d = kExampleDraws;
  for (int i = 8; i < 12; ++i) d[i] = 0.5f;
  return d;
}

TEST(FrequencyFactors, AllZeroGiveAHorizontalBandSlidingLeftAsTheAmplitudeShrinks) {
  const Traced t(ZeroFactors());
  const auto& s = t.segments();
  float previous = std::numeric_limits<float>::infinity();
  for (std::size_t i = 0; i < s.size(); i += 3) {
    ASSERT_EQ(s[i].fromY, 250.0f) << "step " << i / 3 + 1;
    ASSERT_EQ(s[i].toY, 250.0f);
    ASSERT_EQ(s[i + 2].fromY, 251.0f);
    ASSERT_LT(s[i].fromX, previous) << "step " << i / 3 + 1;
    // The arm lies along the x axis at full length: cos 0 = 1.
    ASSERT_NEAR(s[i].toX - s[i].fromX, 0.7 * 500 / 6, 1e-4);
    previous = s[i].fromX;
  }
  // The pivot sits at rad: 2 - 0.00003 at the first step, -0.1 after the last, 0 near 66,667.
  EXPECT_NEAR(s[0].fromX, (1.99997 + 3) * 500 / 6, 1e-4);
  EXPECT_NEAR(s[s.size() - 3].fromX, (-0.1 + 3) * 500 / 6, 1e-4);
  EXPECT_NEAR(s[3 * 66666].fromX, 250.0, 1e-3);
}

TEST(FrequencyFactors, SignOfAnXFactorChangesNothingAndOfAYFactorMirrors) {
  auto base = kExampleDraws;
  base[8] = 0.25f;     // kx1 = -1.5
  base[9] = 0.125f;    // ky1 = -2.25
  base[10] = 0.375f;   // kx2 = -0.75
  base[11] = 0.0625f;  // ky2 = -2.625
  auto flippedX = base;
  flippedX[8] = 0.75f;
  flippedX[10] = 0.625f;
  auto flippedY = base;
  flippedY[9] = 0.875f;
  flippedY[11] = 0.9375f;
  const Traced a(base), bx(flippedX), by(flippedY);
  EXPECT_EQ(a.segments(), bx.segments());
  for (std::size_t i = 0; i < a.segments().size(); i += 3) {
    const Segment &s = a.segments()[i], &m = by.segments()[i];
    ASSERT_EQ(s.fromX, m.fromX);
    ASSERT_NEAR(s.fromY + m.fromY, 500.0, 1e-3) << "step " << i / 3 + 1;
    ASSERT_NEAR(s.toY + m.toY, 500.0, 1e-3) << "step " << i / 3 + 1;
  }
}

// Refuses the DrawLine calls that `refuse` picks (by 0-based call number) and records the rest.
class RefusingCanvas final : public Canvas {
 public:
  template <class Pick>
  explicit RefusingCanvas(Pick refuse) : refuse_(refuse) {}
  void Clear() override { recorder.Clear(); }
  void SetBackground(Colour c) override { recorder.SetBackground(c); }
  bool DrawLine(float fx, float fy, float tx, float ty, Colour c) override {
    if (refuse_(calls++)) return false;
    return recorder.DrawLine(fx, fy, tx, ty, c);
  }
  SegmentRecorder recorder;
  long calls = 0;

 private:
  std::function<bool(long)> refuse_;
};

TEST(StatementGuard, RefusedSegmentsAreLostAndNothingElse) {
  const Traced whole(kExampleDraws);
  struct Pattern {
    std::string name;
    std::function<bool(long)> refuse;
  };
  std::vector<Pattern> patterns;
  for (long k : {1L, 2L, 7L, 1000L}) {
    patterns.push_back(
        {"every " + std::to_string(k) + "th", [k](long call) { return call % k == k - 1; }});
  }
  for (unsigned seed : {1u, 2u, 3u}) {
    patterns.push_back({"seeded random " + std::to_string(seed), [seed](long call) {
                          // A stateless hash of the call number: the same pattern every time.
                          std::uint64_t z =
                              (static_cast<std::uint64_t>(call) + seed) * 0x9E3779B97F4A7C15ULL;
                          z ^= z >> 31;
                          return z % 5 == 0;
                        }});
  }
  for (const Pattern& pattern : patterns) {
    RefusingCanvas canvas(pattern.refuse);
    Directions directions;
    double x1 = 0, y1 = 0;
    const FigureRecord record = TraceFigure(kExampleDraws, directions, x1, y1, canvas);
    SCOPED_TRACE("refusing " + pattern.name);
    EXPECT_EQ(canvas.calls, 210000);  // every step still asks for its three segments
    std::vector<Segment> expected;
    for (std::size_t i = 0; i < whole.segments().size(); ++i) {
      if (!pattern.refuse(static_cast<long>(i))) expected.push_back(whole.segments()[i]);
    }
    EXPECT_EQ(canvas.recorder.segments(), expected);
    EXPECT_EQ(record.end, whole.record.end);
    EXPECT_EQ(x1, whole.x1);
    EXPECT_EQ(y1, whole.y1);
  }
}

TEST(StatementGuard, DrawsThatBreakTheArithmeticLeaveTargetsAtTheirLastValue) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float huge = std::numeric_limits<float>::max();
  // ph1 (NaN), red (too big for a float), green (NaN), red's step (NaN) and kx1 (too big) cannot
  // be stored and keep 0; ky1 (NaN) keeps 0 too. With every factor 0 the shape is the
  // zero-factor band, whatever the phases; ph2 is huge but finite and multiplies a zero factor.
  const std::array<float, 12> bad = {nan,  huge, huge, nan, 0.5f, nan,
                                     0.1f, 0.1f, huge, nan, 0.5f, 0.5f};
  const Traced t(bad), band(ZeroFactors());
  ASSERT_EQ(t.segments().size(), band.segments().size());
  for (std::size_t i = 0; i < t.segments().size(); ++i) {
    const Segment &s = t.segments()[i], &b = band.segments()[i];
    ASSERT_TRUE(s.fromX == b.fromX && s.fromY == b.fromY && s.toX == b.toX && s.toY == b.toY)
        << "segment " << i;
  }
  // Red stays 0; green and blue move 0.005 a step, 350 over the figure: green up from 0, past
  // 255 and back to 160; blue from 128 up and back to 32.
  EXPECT_EQ(t.segments()[0].colour, PackColour(0, 0, 128));
  EXPECT_EQ(t.segments().back().colour, PackColour(0, 160, 32));
  EXPECT_EQ(t.x1, band.x1);
  EXPECT_EQ(t.y1, band.y1);
}

TEST(StatementGuard, AChannelThatCannotBeRoundedLosesThoseDrawsOnly) {
  // Red starts at 0 with a step of 1.7e37: it alternates between 0 and 1.7e37, and only the
  // steps where it is 0 can be drawn.
  auto draws = kExampleDraws;
  draws[2] = 0.0f;
  draws[5] = std::numeric_limits<float>::max();
  const Traced t(draws), whole(kExampleDraws);
  ASSERT_EQ(t.segments().size(), 105000u);
  for (std::size_t i = 0; i < t.segments().size(); ++i) {
    const Segment &s = t.segments()[i], &w = whole.segments()[(i / 3) * 6 + 3 + i % 3];
    ASSERT_TRUE(s.fromX == w.fromX && s.toY == w.toY) << "segment " << i;
    ASSERT_EQ(s.colour.red(), 0) << "segment " << i;
  }
}

}  // namespace
}  // namespace stringart
