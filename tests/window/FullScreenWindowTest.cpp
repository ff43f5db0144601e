// The figure full screen and the slideshow: drawn at the screen's pixels as large pictures are,
// the window's keys working there, and leaving it with the window as it was.
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <algorithm>

#include "canvas/SegmentRecorder.h"
#include "export/FigureFileWriter.h"
#include "figure/Tracer.h"
#include "smooth/LargePicture.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"
#include "window/FullScreenView.h"

namespace stringart {
namespace {

struct Session {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  Session() {
    window.FormLoad();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  const FigureHistory& history() const { return window.form().history(); }
  // The full screen, once it is up and takes keys.
  FullScreenView* View() {
    FullScreenView* view = window.fullScreenView();
    EXPECT_NE(view, nullptr);
    if (view != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowActive(view));
    }
    return view;
  }
  // Whether `view` shows exactly the large picture of the figure on the canvas: drawn whole at
  // once for a figure shown still, run by run for one traced bit by bit.
  bool ShowsTheFigure(const FullScreenView& view, bool bitByBit = false) const {
    const LargePicture* shown = view.picture();
    if (shown == nullptr) return false;
    SegmentRecorder drawing;
    TraceAgain(window.form().lastFigure(), drawing);
    LargePicture whole(shown->width(), shown->height());
    if (bitByBit) {
      whole.Draw(drawing.segments());
    } else {
      whole.DrawWhole(drawing.segments());
    }
    return std::equal(whole.pixels(), whole.pixels() + whole.width() * whole.height(),
                      shown->pixels());
  }
};

TEST(FullScreen, ShowsTheFigureAtTheScreensPixelsKeepsTheKeysAndReturnsTheWindowAsItWas) {
  Session run;
  const QRect geometry = run.window.geometry();
  QTest::keyClick(&run.window, Qt::Key_F11);
  FullScreenView* view = run.View();
  ASSERT_NE(view, nullptr);
  const QSize screen = run.window.screen()->geometry().size() * view->devicePixelRatio();
  ASSERT_NE(view->picture(), nullptr);
  EXPECT_EQ(QSize(view->picture()->width(), view->picture()->height()), screen);
  EXPECT_TRUE(run.ShowsTheFigure(*view)) << "F11 on the first figure";

  QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.history().size() == 2u; }, 20000));
  EXPECT_TRUE(run.ShowsTheFigure(*view)) << "Ctrl+N on the full screen";
  QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(run.history().shown(), 0u);
  EXPECT_TRUE(run.ShowsTheFigure(*view)) << "Alt+Left on the full screen";
  QTest::keyClick(view, Qt::Key_A);  // not the window's, and not a slideshow: nothing
  EXPECT_EQ(run.window.fullScreenView(), view);

  QTest::keyClick(view, Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.window.fullScreenView() == nullptr; }, 20000));
  EXPECT_EQ(run.window.geometry(), geometry);
  EXPECT_TRUE(run.window.isVisible());
  EXPECT_EQ(run.history().shown(), 0u);

  // F11 is the window's key to the full screen too: on the full screen it leaves, and opens no
  // other.
  run.window.ShowFullScreen();
  QTest::keyClick(run.View(), Qt::Key_F11);
  EXPECT_TRUE(QTest::qWaitFor([&] { return run.window.fullScreenView() == nullptr; }, 20000))
      << "F11 on the full screen";
}

TEST(Slideshow, DrawsEachFigureBitByBitThenTheNextAndEndsOnAnyOtherKeyOrClick) {
  Session run;
  run.window.ShowFullScreen(2);
  FullScreenView* view = run.View();
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(view->complete()) << "the slideshow's first figure came all at once";
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->complete(); }, 20000));
  EXPECT_TRUE(run.ShowsTheFigure(*view, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.history().size() == 2u; }, 20000));

  // Alt alone, then Alt+Left: the window's key, which goes back and keeps the slideshow.
  QTest::keyPress(view, Qt::Key_Alt);
  QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
  QTest::keyRelease(view, Qt::Key_Alt);
  EXPECT_EQ(run.history().shown(), 0u);
  ASSERT_EQ(run.window.fullScreenView(), view);
  QTest::keyClick(view, Qt::Key_Space);
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.window.fullScreenView() == nullptr; }, 20000));

  run.window.ShowFullScreen(2);
  QTest::mouseClick(run.View(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.window.fullScreenView() == nullptr; }, 20000));
  EXPECT_EQ(FullScreenView::DrawingSeconds(10), 5.0);
  EXPECT_EQ(FullScreenView::DrawingSeconds(600), 8.0);  // as long as an animation, at most
}

}  // namespace
}  // namespace stringart
