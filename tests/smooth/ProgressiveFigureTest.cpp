// A figure drawn bit by bit, as the slideshow and the screensaver draw it: the finished picture
// is the large picture of the whole figure, and every changed pixel lies in the box reported.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "smooth/LargePicture.h"
#include "smooth/ProgressiveFigure.h"

namespace stringart {
namespace {

const FigureRecord kFigure{kExampleDraws, {1, 1, 1}, {}};

LargePicture WholeAtOnce(int width, int height) {
  SegmentRecorder drawing;
  TraceAgain(kFigure, drawing);
  LargePicture picture(width, height);
  picture.Draw(drawing.segments());
  return picture;
}

bool Inside(const PixelBox& box, int x, int y) {
  return x >= box.left && x < box.left + box.width && y >= box.top && y < box.top + box.height;
}

TEST(ProgressiveFigure, EndsAsTheWholeFigureWithEveryChangeInsideItsBox) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Uneven steps, a repeated and a backward fraction, NaN and one past the end.
  const std::vector<double> fractions = {0.0, 0.013, 0.013, 0.2, 0.1, nan, 0.5, 0.77, 0.999, 1.5};
  for (const auto& [width, height] : {std::pair{640, 360}, std::pair{333, 777}}) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    ProgressiveFigure figure(kFigure);
    LargePicture picture(width, height);
    std::vector<std::uint32_t> before(picture.pixels(), picture.pixels() + width * height);
    for (double fraction : fractions) {
      const std::size_t drawnBefore = figure.drawn();
      const PixelBox box = figure.DrawUpTo(fraction, picture);
      if (figure.drawn() == drawnBefore) {
        EXPECT_EQ(box.width * box.height, 0) << fraction;
      }
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const std::size_t i = static_cast<std::size_t>(y) * width + x;
          if (picture.pixels()[i] != before[i]) {
            ASSERT_TRUE(Inside(box, x, y)) << "DrawUpTo(" << fraction << ") changed pixel (" << x
                                           << ", " << y << ") outside its box";
          }
          before[i] = picture.pixels()[i];
        }
      }
    }
    EXPECT_TRUE(figure.complete());
    const LargePicture whole = WholeAtOnce(width, height);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), whole.pixels()))
        << "drawn bit by bit, the figure differs from the whole figure drawn at once";
  }
}

}  // namespace
}  // namespace stringart
