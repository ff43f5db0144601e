// Area averaging: a thumbnail pixel is the mean of exactly the part of the picture it covers. The
// gallery's tests hold its thumbnails to this function for whole figures.
#include <gtest/gtest.h>

#include <vector>

#include "canvas/AreaAverage.h"

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

}  // namespace
}  // namespace stringart
