// SVG output: every recorded segment comes back, exactly, in order and colour.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "canvas/SegmentRecorder.h"
#include "formats/Svg.h"
#include "tests/support/SvgRead.h"

namespace stringart {
namespace {

TEST(Svg, SegmentsReadBackExactlyInOrderAndColour) {
  SegmentRecorder drawing;
  drawing.SetBackground(kBlack);
  const Colour red = PackColour(255, 0, 0), blue = PackColour(0, 0, 255);
  drawing.DrawLine(260.15347f, 411.4961f, 284.86813f, 389.98f, red);
  drawing.DrawLine(0.1f, 1.0f / 3, 499.99997f, 1e-7f, red);
  drawing.DrawLine(-2.5f, 3e5f, 7, 8, blue);
  drawing.DrawLine(1, 2, 3, 4, red);
  const std::string svg = SvgDocument(drawing, 500, 500, "made with --draws 0.1 & <more>");
  EXPECT_EQ(testing::ReadSvgSegments(svg), drawing.segments());
  // Three runs of equal colour: red, blue, red.
  std::size_t paths = 0;
  for (std::size_t at = svg.find("<path"); at != std::string::npos; at = svg.find("<path", at + 1))
    ++paths;
  EXPECT_EQ(paths, 3u);
  EXPECT_NE(svg.find("stroke=\"#ff0000\""), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"#0000ff\""), std::string::npos);
  EXPECT_NE(svg.find("<metadata>made with --draws 0.1 &amp; &lt;more&gt;</metadata>"),
            std::string::npos);
  EXPECT_NE(svg.find("<rect width=\"500\" height=\"500\" fill=\"#000000\"/>"), std::string::npos);
}

TEST(SegmentRecorder, KeepsWhatWasDrawnSinceTheLastClearing) {
  SegmentRecorder r;
  EXPECT_TRUE(r.DrawLine(1, 2, 3, 4, kBlack));
  EXPECT_FALSE(r.DrawLine(std::numeric_limits<float>::quiet_NaN(), 2, 3, 4, kBlack));
  EXPECT_EQ(r.segments().size(), 1u);
  r.Clear();
  EXPECT_TRUE(r.segments().empty());
  r.DrawLine(1, 2, 3, 4, kBlack);
  r.SetBackground(PackColour(1, 2, 3));
  EXPECT_TRUE(r.segments().empty());
  EXPECT_EQ(r.background(), PackColour(1, 2, 3));
}

}  // namespace
}  // namespace stringart
