// The window Form1 under the offscreen platform: its layout, start-up, "new", what it shows, and
// saving, copying and failing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>
#include <vector>

#include "export/FigureFileWriter.h"
#include "figure/Tracer.h"
#include "runtime/Clock.h"
#include "tests/support/SvgRead.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"
#include "window/GuardedApplication.h"
#include "window/Picture1View.h"
#include "window/PictureImage.h"

namespace stringart {
namespace {

using testing::Retraced;
using testing::SamePixels;
using testing::SpyDraws;

// SpyDraws that also counts the reseeds made while `window` was hidden.
struct WatchedDraws : SpyDraws {
  const QWidget* window = nullptr;
  int reseedsWhileHidden = 0;
  WatchedDraws() {
    onReseed = [this] { reseedsWhileHidden += window != nullptr && !window->isVisible(); };
  }
};

struct Loaded {
  WatchedDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  Loaded() {
    random.window = &window;
    window.FormLoad();
  }
  void ClickNew() { QTest::mouseClick(window.command1(), Qt::LeftButton); }
};

QImage Canvas(const Form1Window& window) {
  return WrapPicture(window.picture());
}

TEST(Form1Window, OpensAtTheFixedLayout) {
  WatchedDraws random;
  FigureFileWriter files;
  Form1Window window(random, files);
  EXPECT_EQ(window.windowTitle(), "Form1");
  EXPECT_EQ(window.pictureView()->geometry(), QRect(56, 64, 500, 500));
  EXPECT_EQ(window.command1()->geometry(), QRect(576, 544, 57, 17));
  EXPECT_EQ(window.command1()->text(), "new");
  EXPECT_EQ(window.minimumSize(), QSize(653, 584));
  EXPECT_EQ(window.maximumSize(), QSize(653, 584));
  window.show();
  EXPECT_EQ(window.size(), QSize(653, 584));
}

TEST(Form1Window, StartUpTracesOneFigureOnceVisible) {
  WatchedDraws random;
  FigureFileWriter files;
  Form1Window window(random, files);
  random.window = &window;
  EXPECT_EQ(random.draws, 0) << "a figure before the load handler";
  window.FormLoad();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(random.reseedsWhileHidden, 0);
  EXPECT_EQ(window.form().figuresTraced(), 1);
  EXPECT_EQ(random.draws, static_cast<int>(kFigureDraws));
  EXPECT_EQ(window.form().lastFigure().start, (Directions{1, 1, 1}));
  EXPECT_EQ(window.picture().background(), kBlack);
  EXPECT_TRUE(SamePixels(Canvas(window), Retraced(window.form().lastFigure())));
}

TEST(Form1Window, EachClickTracesOneFigureOnAClearedCanvasWithDirectionsCarriedOver) {
  Loaded loaded;
  bool directionsTurned = false;
  for (int click = 1; click <= 3; ++click) {
    const FigureRecord before = loaded.window.form().lastFigure();
    const int reseeds = loaded.random.reseeds, draws = loaded.random.draws;
    loaded.ClickNew();
    const FigureRecord& after = loaded.window.form().lastFigure();
    EXPECT_EQ(loaded.window.form().figuresTraced(), 1 + click);
    EXPECT_EQ(loaded.random.reseeds, reseeds + 1) << "only the tracer reseeds";
    EXPECT_EQ(loaded.random.draws, draws + static_cast<int>(kFigureDraws));
    EXPECT_EQ(after.start, before.end) << "click " << click;
    EXPECT_EQ(loaded.window.picture().background(), kBlack);
    // Equal to the figure alone on black: nothing of the previous figure is left.
    EXPECT_TRUE(SamePixels(Canvas(loaded.window), Retraced(after))) << "click " << click;
    directionsTurned |= !(before.end == Directions{1, 1, 1});
  }
  ASSERT_TRUE(directionsTurned) << "every figure ended rising: the carry-over went untested";
}

TEST(Form1Window, ViewShowsTheRasterPixelForPixelAndCrispWhenScaled) {
  Loaded loaded;
  const QImage canvas = Canvas(loaded.window).copy();
  EXPECT_TRUE(SamePixels(loaded.window.pictureView()->grab().toImage(), canvas));

  // A screen of two device pixels per pixel: every raster pixel a 2 x 2 block of its own colour.
  QImage doubled(1000, 1000, QImage::Format_RGB32);
  doubled.setDevicePixelRatio(2);
  loaded.window.pictureView()->render(&doubled);
  int blurred = 0;
  for (int y = 0; y < 1000; ++y) {
    for (int x = 0; x < 1000; ++x) blurred += doubled.pixel(x, y) != canvas.pixel(x / 2, y / 2);
  }
  EXPECT_EQ(blurred, 0);
}

TEST(Form1Window, SavedFilesHoldThePictureOnTheCanvas) {
  Loaded loaded;
  loaded.ClickNew();  // a figure that need not start with all directions rising
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(loaded.window.SavePicture(dir.filePath("figure.png"), error)) << error.toStdString();
  EXPECT_TRUE(SamePixels(QImage(dir.filePath("figure.png")), Canvas(loaded.window)));

  ASSERT_TRUE(loaded.window.SavePicture(dir.filePath("figure.SVG"), error)) << error.toStdString();
  QFile svg(dir.filePath("figure.SVG"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const std::vector<Segment> segments = testing::ReadSvgSegments(svg.readAll().toStdString());
  EXPECT_EQ(segments.size(), static_cast<std::size_t>(kSegmentsPerFigure));
  Picture1 redrawn;
  for (const Segment& s : segments) redrawn.DrawLine(s.fromX, s.fromY, s.toX, s.toY, s.colour);
  EXPECT_TRUE(SamePixels(WrapPicture(redrawn), Canvas(loaded.window)));
}

TEST(Form1Window, CopiedPictureOutlivesTheNextFigure) {
  Loaded loaded;
  const QImage first = Canvas(loaded.window).copy();
  loaded.window.CopyPicture();
  loaded.ClickNew();
  ASSERT_FALSE(SamePixels(Canvas(loaded.window), first));
  EXPECT_TRUE(SamePixels(QGuiApplication::clipboard()->image(), first));
}

TEST(Form1Window, FailureInAHandlerEndsTheProgramReported) {
  Loaded loaded;
  loaded.random.failNext = true;
  auto* app = static_cast<GuardedApplication*>(qApp);
  // Queued like a click, but without the mouse event that the unwinding would leak inside Qt.
  QMetaObject::invokeMethod(
      &loaded.window, [&] { loaded.window.Command1Click(); }, Qt::QueuedConnection);
  QTimer hang;  // rather a failed test than a hang
  QObject::connect(&hang, &QTimer::timeout, [app] { app->exit(99); });
  hang.start(10000);
  EXPECT_EQ(app->exec(), EXIT_FAILURE);
  EXPECT_TRUE(app->failure().contains("the draws ran dry")) << app->failure().toStdString();
}

}  // namespace
}  // namespace stringart
