// The window on a screen of two device pixels a pixel (QT_SCALE_FACTOR=2, set by CTest): the
// canvas shows the figure anti-aliased at the device's pixels, as large pictures draw it, for
// "new", a file opened and Adjust's preview alike.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "canvas/SegmentRecorder.h"
#include "export/FigureFileWriter.h"
#include "figure/Tracer.h"
#include "tests/support/WindowDriving.h"
#include "window/FigureStage.h"
#include "window/Form1Window.h"
#include "window/Picture1View.h"

namespace stringart {
namespace {

// The figure as large pictures draw a whole figure, `side` pixels square.
QImage Smooth(const FigureRecord& figure, int side) {
  SegmentRecorder strokes;
  TraceAgain(figure, strokes);
  LargePicture picture(side, side);
  picture.DrawWhole(strokes.segments());
  return QImage(reinterpret_cast<const uchar*>(picture.pixels()), side, side, side * 4,
                QImage::Format_RGB32)
      .copy();
}

TEST(DenseScreen, TheCanvasShowsTheFigureAntiAliasedAtTheDevicePixels) {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window(random, files);
  window.FormLoad();
  ASSERT_EQ(window.devicePixelRatioF(), 2.0) << "run with QT_SCALE_FACTOR=2";
  const auto shown = [&window] {
    QImage grabbed = window.pictureView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    grabbed.setDevicePixelRatio(1);
    return grabbed;
  };
  EXPECT_TRUE(testing::SamePixels(shown(), Smooth(window.form().lastFigure(), 1000))) << "loaded";
  window.Command1Click();
  EXPECT_TRUE(testing::SamePixels(shown(), Smooth(window.form().lastFigure(), 1000))) << "new";
  const FigureRecord adjusted{kExampleDraws, {-1, 1, -1}, {}};
  window.stage().Preview(adjusted);
  EXPECT_TRUE(testing::SamePixels(shown(), Smooth(window.form().lastFigure(), 1000))) << "preview";
}

}  // namespace
}  // namespace stringart
