// Area averaging: a thumbnail pixel is the mean of exactly the part of the picture it covers.
#include <gtest/gtest.h>

#include <vector>

#include "canvas/Picture1.h"
#include "canvas/Thumbnail.h"
#include "figure/Tracer.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

std::uint32_t Grey(std::uint32_t v) {
  return 0xFF000000u | v << 16 | v << 8 | v;
}

TEST(AreaAverage, WeighsEachPixelByTheShareOfItThatFallsInside) {
  // Seven pixels to three: each target covers 7/3 of a source pixel.
  const std::vector<std::uint32_t> row = {Grey(0),   Grey(30),  Grey(60), Grey(90),
                                          Grey(120), Grey(150), Grey(180)};
  std::vector<std::uint32_t> out(3);
  AreaAverage(row.data(), 7, 1, 7, out.data(), 3, 1, 3);
  // (0 + 30 + 60/3) * 3/7 = 21.4; (60*2/3 + 90 + 120*2/3) * 3/7 = 90; (40 + 150 + 180) * 3/7 =
  // 158.6
  EXPECT_EQ(out, (std::vector{Grey(21), Grey(90), Grey(159)}));
}

TEST(AreaAverage, TheFigureToAQuarterIsTheRoundedMeanOfEachFourByFourBlock) {
  Picture1 picture;
  TraceAgain({kExampleDraws, {1, 1, 1}, {}}, picture);
  constexpr int kSide = Picture1::kWidth / 4;
  std::vector<std::uint32_t> out(kSide * (kSide + 3), 0);  // rows padded: the stride is honoured
  AreaAverage(picture.pixels(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride, out.data(),
              kSide, kSide, kSide + 3);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      unsigned sum[3] = {0, 0, 0};
      for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
          const Colour c = picture.At(4 * x + i, 4 * y + j);
          sum[0] += c.red();
          sum[1] += c.green();
          sum[2] += c.blue();
        }
      }
      const std::uint32_t expected =
          0xFF000000u | (sum[0] + 8) / 16 << 16 | (sum[1] + 8) / 16 << 8 | (sum[2] + 8) / 16;
      ASSERT_EQ(out[y * (kSide + 3) + x], expected) << "thumbnail pixel " << x << ", " << y;
    }
    ASSERT_EQ(out[y * (kSide + 3) + kSide], 0u) << "wrote past the row, " << y;
  }
}

}  // namespace
}  // namespace stringart
