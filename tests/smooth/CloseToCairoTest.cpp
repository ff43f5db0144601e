// Large pictures of seeded random figures come out as Cairo drew them (fast anti-aliasing, a path
// per run of one colour, as LargePicture did): a level apart on average, a strong difference in
// under 1 % of the pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// A seeded figure at one size, drawn by Cairo, run by run as the exact union (Draw) and whole at
// once (DrawWhole).
struct Drawn {
  std::string what;
  std::vector<std::uint32_t> cairo;
  LargePicture byRun, whole;
};

Drawn DrawThreeWays(std::uint64_t figure, int width, int height) {
  const FigureRecord record = testing::DrawnFigure(figure);
  const std::vector<Segment> segments = testing::TraceSegments(record.draws, record.start);
  Drawn d{"figure " + std::to_string(figure) + " (testing::DrawnFigure) at " +
              std::to_string(width) + " x " + std::to_string(height),
          std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, 0xFF000000u),
          LargePicture(width, height), LargePicture(width, height)};
  d.byRun.Draw(segments);
  d.whole.DrawWhole(segments);
  testing::DrawWithCairo(segments, d.cairo.data(), width, height, d.byRun.scale(), d.byRun.left(),
                         d.byRun.top());
  return d;
}

std::string Describe(const Difference& d) {
  return "mean difference " + std::to_string(d.mean) + ", " + std::to_string(100 * d.strong) +
         " % of pixels off by more than 32";
}

TEST(LargePicture, ComesOutAsCairoDrewItRunByRunAndWhole) {
  struct Case {
    std::uint64_t figure;  // testing::DrawnFigure
    int width, height;
  };
  for (const auto& [figure, width, height] :
       {Case{1, 500, 500}, Case{2, 1000, 600}, Case{3, 1920, 1080}, Case{4, 777, 1333}}) {
    const Drawn d = DrawThreeWays(figure, width, height);
    const std::size_t pixels = d.cairo.size();
    const Difference byRun = Compare(d.byRun.pixels(), d.cairo.data(), pixels);
    const Difference whole = Compare(d.whole.pixels(), d.cairo.data(), pixels);
    const Difference apart = Compare(d.whole.pixels(), d.byRun.pixels(), pixels);
    std::printf("%s: by run %s; whole %s; whole to by run %s\n", d.what.c_str(),
                Describe(byRun).c_str(), Describe(whole).c_str(), Describe(apart).c_str());
    EXPECT_LE(byRun.mean, 1.0) << d.what << ", by run: " << Describe(byRun);
    EXPECT_LE(byRun.strong, 0.01) << d.what << ", by run: " << Describe(byRun);
    EXPECT_LE(whole.mean, 1.0) << d.what << ", whole: " << Describe(whole);
    EXPECT_LE(whole.strong, 0.01) << d.what << ", whole: " << Describe(whole);
  }
}

}  // namespace
}  // namespace stringart
