// The fast anti-aliased rasteriser against the plain one, on seeded random drawings, and what both
// promise: slicing at colour changes changes nothing, segments with no direction or no finite
// coordinates draw nothing, and nothing outside the picture is written. The whole drawing paints
// the same in memory kept from other drawings, and on black as on a cleared picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "smooth/AntiAliased.h"
#include "tests/support/Figures.h"
#include "tests/support/PaddedRaster.h"
#include "tests/support/RandomSegments.h"

namespace stringart {
namespace {

constexpr std::uint32_t kGuard = 0xDEADBEEFu;

// A picture and where the canvas lies on it.
struct Case {
  int width, height;
  std::ptrdiff_t stride;
  CanvasPlacement place;
};

// A black picture with padded rows and guarded rows above and below.
struct Guarded : testing::PaddedRaster {
  explicit Guarded(const Case& c) : PaddedRaster(c.width, c.height, c.stride, kGuard) {
    for (int y = 0; y < height; ++y) std::fill_n(pixels() + y * stride, width, 0xFF000000u);
  }
  PictureRows rows() { return {pixels(), width, height, stride}; }
};

// Segments over the picture of `c`: runs of the figure's kind (steps of three strokes a canvas
// pixel apart, turning a little from step to step, up to a few hundred strokes long) between runs
// of the kinds the raster tests draw (zero length, far, diagonal, off the picture).
std::vector<Segment> RandomDrawing(std::uint32_t seed, const Case& c, std::size_t count) {
  std::mt19937 random(seed);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  const double w = c.width / c.place.scale, h = c.height / c.place.scale;  // canvas pixels
  testing::SegmentMaker maker(seed);
  std::vector<Segment> segments;
  std::uint32_t colour = 0x102030;
  while (segments.size() < count) {
    colour = (colour * 2654435761u + 0x9E3779B9u) & 0xFFFFFF;
    if (random() % 2 == 0) {
      double x = uniform(-0.2 * w, 1.2 * w), y = uniform(-0.2 * h, 1.2 * h);
      double angle = uniform(0, 6.3), length = uniform(0, 0.6 * (w + h));
      double turn = uniform(-0.03, 0.03), drift = uniform(-0.4, 0.4);
      if (random() % 4 == 0) {  // level or upright, the strokes of a step sharing their sides
        angle = std::round(angle / 1.5707963) * 1.5707963;
        turn = 0;
        drift = std::round(drift * 4);
      }
      for (int step = random() % (random() % 8 == 0 ? 120 : 30); step >= 0; --step) {
        const double tx = x + length * std::cos(angle), ty = y + length * std::sin(angle);
        for (const auto& [ox, oy] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 1}}) {
          segments.push_back({static_cast<float>(x + ox), static_cast<float>(y + oy),
                              static_cast<float>(tx + ox), static_cast<float>(ty + oy),
                              Colour{colour}});
        }
        angle += turn;
        x += drift;
        y += drift * turn * 10;
      }
    } else {
      for (int k = random() % 4; k >= 0; --k) {
        const auto [fx, fy, tx, ty] = maker.Make({static_cast<int>(w), static_cast<int>(h), 0});
        segments.push_back({fx, fy, tx, ty, Colour{colour}});
        if (random() % 8 == 0) segments.push_back(segments.back());  // drawn twice
      }
    }
  }
  return segments;
}

// Every channel of every pixel within one level of the other picture's; on failure, what makes
// the case again and the first pixel that differs more.
void ExpectAlike(Guarded& fast, Guarded& reference, const std::string& what) {
  EXPECT_EQ(fast.FirstWrittenOutside(), -1) << what << ": the fast way wrote outside";
  EXPECT_EQ(reference.FirstWrittenOutside(), -1) << what << ": the reference wrote outside";
  for (int y = 0; y < fast.height; ++y) {
    for (int x = 0; x < fast.width; ++x) {
      const std::uint32_t a = fast.pixels()[y * fast.stride + x];
      const std::uint32_t b = reference.pixels()[y * reference.stride + x];
      for (int shift = 0; shift < 32; shift += 8) {
        const int difference = static_cast<int>(a >> shift & 0xFF) - (b >> shift & 0xFF);
        ASSERT_LE(std::abs(difference), 1) << what << ": pixel (" << x << ", " << y << ") fast "
                                           << std::hex << a << " reference " << b;
      }
    }
  }
}

std::string Describe(std::uint32_t seed, const Case& c) {
  return "seed " + std::to_string(seed) + ", " + std::to_string(c.width) + " x " +
         std::to_string(c.height) + " (stride " + std::to_string(c.stride) + "), scale " +
         std::to_string(c.place.scale) + ", left " + std::to_string(c.place.left) + ", top " +
         std::to_string(c.place.top);
}

TEST(DrawAntiAliased, MatchesTheReferenceOnRandomDrawings) {
  const Case kCases[] = {
      {1, 1, 1, {1, 0, 0}},         {7, 5, 9, {0.37, -1.5, 2.25}},
      {64, 48, 64, {1, 0, 0}},      {100, 80, 103, {2.5, 3.75, -7.5}},
      {200, 150, 200, {0.4, 0, 0}}, {96, 160, 101, {5.3, -20, 11}},
      {333, 17, 340, {1.2, 0, -3}}, {120, 120, 120, {12, -300, -250}},
  };
  for (std::uint32_t seed = 1; seed <= 24; ++seed) {
    const Case& c = kCases[seed % std::size(kCases)];
    const std::vector<Segment> segments = RandomDrawing(seed, c, 40 + seed % 5 * 60);
    Guarded fast(c), reference(c);
    DrawAntiAliased(segments, fast.rows(), c.place);
    DrawAntiAliasedReference(segments, reference.rows(), c.place);
    ExpectAlike(fast, reference, Describe(seed, c));
    if (HasFatalFailure()) return;
  }
}

TEST(DrawAntiAliased, MatchesTheReferenceOnAFigure) {
  // The first 1,000 steps: the reference takes minutes over a whole figure.
  const Case c{250, 250, 250, {0.5, 0, 0}};
  const FigureRecord figure = testing::DrawnFigure(1);
  const std::vector<Segment> segments = testing::TraceSegments(figure.draws, figure.start);
  const std::span<const Segment> start = std::span(segments).first(3000);
  Guarded fast(c), reference(c);
  DrawAntiAliased(start, fast.rows(), c.place);
  DrawAntiAliasedReference(start, reference.rows(), c.place);
  ExpectAlike(fast, reference,
              "figure 1 (testing::DrawnFigure), its first 3,000 strokes, " + Describe(0, c));
}

TEST(DrawAntiAliased, SlicesThatEndWhereTheColourChangesDrawTheSame) {
  const Case c{300, 200, 300, {0.4, 50, 0}};
  const std::vector<Segment> segments = testing::TraceSegments(testing::kExampleDraws);
  Guarded whole(c);
  DrawAntiAliased(segments, whole.rows(), c.place);
  std::mt19937 random(7);
  Guarded sliced(c);
  for (std::size_t start = 0; start < segments.size();) {
    std::size_t end = std::min(segments.size(), start + 1 + random() % 9000);
    while (end < segments.size() && segments[end].colour == segments[end - 1].colour) ++end;
    DrawAntiAliased(std::span(segments).subspan(start, end - start), sliced.rows(), c.place);
    start = end;
  }
  EXPECT_EQ(whole.buffer, sliced.buffer) << "slices of random length, seed 7, " << Describe(7, c);
}

TEST(DrawAntiAliased, SegmentsWithNoDirectionOrNoFiniteEndDrawNothing) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Colour red{0x0000FF};
  const std::vector<Segment> nothing = {{3, 4, 3, 4, red},
                                        {0, 0, 0, 0, red},
                                        {nan, 1, 5, 5, red},
                                        {1, 1, inf, 2, red},
                                        {2, 2, 3, -inf, red}};
  const Case c{20, 20, 24, {2, 0, 0}};
  for (const auto draw : {&DrawAntiAliased, &DrawAntiAliasedReference}) {
    Guarded blank(c), picture(c);
    draw(nothing, picture.rows(), c.place);
    EXPECT_EQ(picture.buffer, blank.buffer);
    // Within a run they change nothing of what the rest draws.
    std::vector<Segment> run = {{1, 1, 8, 3, red}}, mixed = {nothing[0], run[0], nothing[2]};
    Guarded alone(c), within(c);
    draw(run, alone.rows(), c.place);
    draw(mixed, within.rows(), c.place);
    EXPECT_EQ(alone.buffer, within.buffer);
  }
}

TEST(DrawAntiAliasedWhole, MemoryKeptFromOtherDrawingsPaintsAsFreshMemory) {
  const Case kCases[] = {
      {333, 17, 340, {1.2, 0, -3}}, {300, 260, 300, {0.6, 0, 0}}, {64, 48, 64, {1, 0, 0}}};
  WholeDrawingMemory kept;
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    const Case& c = kCases[seed % std::size(kCases)];
    const std::vector<Segment> segments = RandomDrawing(seed, c, 100 + seed * 90);
    Guarded fresh(c), reused(c);
    DrawAntiAliasedWhole(segments, fresh.rows(), c.place);
    DrawAntiAliasedWhole(segments, reused.rows(), c.place, {}, &kept);
    EXPECT_EQ(reused.buffer, fresh.buffer)
        << "after " << seed - 1 << " drawings, " << Describe(seed, c);
  }
}

TEST(DrawAntiAliasedWhole, OnBlackPaintsWhatClearingFirstPaintsWithoutReading) {
  const Case c{300, 170, 307, {0.6, 0, -10}};
  for (const std::size_t count : {std::size_t{0}, std::size_t{400}}) {
    const std::vector<Segment> segments = RandomDrawing(5, c, count);
    Guarded cleared(c), junk(c);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) junk.pixels()[y * c.stride + x] = 0xFF000000u | (x * y);
    }
    DrawAntiAliasedWhole(segments, cleared.rows(), c.place);
    DrawAntiAliasedWhole(segments, junk.rows(), c.place, {}, nullptr, WholeGround::Black);
    EXPECT_EQ(junk.buffer, cleared.buffer) << count << " segments, " << Describe(5, c);
  }
}

}  // namespace
}  // namespace stringart
