// Large pictures of seeded random figures come out as Cairo drew them (fast anti-aliasing, a path
// per run of one colour, as LargePicture did): a level apart on average, a strong difference in
// under 1 % of the pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "smooth/LargePicture.h"
#include "tests/support/CairoPicture.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

struct Difference {
  double mean;    // per channel, levels of 255
  double strong;  // share of pixels off by more than 32 in some channel
};

Difference Compare(const std::uint32_t* a, const std::uint32_t* b, std::size_t pixels) {
  double total = 0;
  std::size_t strong = 0;
  for (std::size_t i = 0; i < pixels; ++i) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int d =
          std::abs(static_cast<int>(a[i] >> shift & 0xFF) - static_cast<int>(b[i] >> shift & 0xFF));
      total += d;
      worst = std::max(worst, d);
    }
    strong += worst > 32;
  }
  return {total / (3.0 * static_cast<double>(pixels)),
          static_cast<double>(strong) / static_cast<double>(pixels)};
}

TEST(LargePicture, ComesOutAsCairoDrewIt) {
  struct Case {
    std::uint64_t figure;  // testing::DrawnFigure
    int width, height;
  };
  for (const auto& [figure, width, height] :
       {Case{1, 500, 500}, Case{2, 1000, 600}, Case{3, 1920, 1080}}) {
    const FigureRecord record = testing::DrawnFigure(figure);
    const std::vector<Segment> segments = testing::TraceSegments(record.draws, record.start);
    LargePicture ours(width, height);
    ours.Draw(segments);
    std::vector<std::uint32_t> cairo(static_cast<std::size_t>(width) * height, 0xFF000000u);
    testing::DrawWithCairo(segments, cairo.data(), width, height, ours.scale(), ours.left(),
                           ours.top());
    const Difference d = Compare(ours.pixels(), cairo.data(), cairo.size());
    const std::string what = "figure " + std::to_string(figure) + " (testing::DrawnFigure) at " +
                             std::to_string(width) + " x " + std::to_string(height) +
                             ": mean difference " + std::to_string(d.mean) + ", " +
                             std::to_string(100 * d.strong) + " % of pixels off by more than 32";
    EXPECT_LE(d.mean, 1.0) << what;
    EXPECT_LE(d.strong, 0.01) << what;
  }
}

}  // namespace
}  // namespace stringart
