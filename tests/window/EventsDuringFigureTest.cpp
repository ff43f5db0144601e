// Clicks on "new" and close requests that reach the window while a figure is traced: they wait
// for the figure, then each click traces one figure of its own on a cleared canvas, and a close
// ends the program once the figure that was running is complete.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <iterator>
#include <vector>

#include "export/FigureFileWriter.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"

namespace stringart {
namespace {

using testing::AllBlack;
using testing::PostClick;
using testing::PostCloseRequest;
using testing::Retraced;
using testing::SamePixels;
using testing::SpyDraws;

// The window with a log of how each figure started: how many figures were complete by then
// (one fewer than the figure's number, unless one figure began inside another) and whether the
// canvas was black.
struct Watched {
  SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  std::vector<long> completeAtStart;
  std::vector<bool> blackAtStart;
  std::function<void(int figure)> duringFigure;
  long completeAtClose = -1;  // figures complete when the window closed

  Watched() {
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &window,
                     [this] { completeAtClose = traced(); });
    random.onFigureStart = [this](int figure) {
      completeAtStart.push_back(window.form().figuresTraced());
      blackAtStart.push_back(AllBlack(window.picture()));
      if (duringFigure) duringFigure(figure);
    };
  }

  long traced() const { return window.form().figuresTraced(); }

  void ExpectEachFigureStartedAloneOnBlack() const {
    for (std::size_t i = 0; i < completeAtStart.size(); ++i) {
      EXPECT_EQ(completeAtStart[i], static_cast<long>(i)) << "figure " << i + 1;
      EXPECT_TRUE(blackAtStart[i]) << "figure " << i + 1 << " began on an uncleared canvas";
    }
  }

  QImage canvas() const { return WrapPicture(window.picture()); }
};

// Runs the event loop until the program ends it, as main does; a failed test rather than a hang
// if it never does.
int RunUntilQuit() {
  QTimer hang;
  QObject::connect(&hang, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  hang.start(120000);
  return QApplication::exec();
}

// Handles everything that is queued, and whatever that queues in turn.
void HandlePending() {
  for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
}

TEST(EventsDuringAFigure, ClicksWaitForTheFigureThenTraceOneFigureEach) {
  Watched w;
  // One click while the first figure is traced (the load handler, before any event loop runs)
  // and two while the figure of that click is traced.
  w.duringFigure = [&w](int figure) {
    if (figure == 1) PostClick(w.window.command1());
    if (figure == 2) {
      PostClick(w.window.command1());
      PostClick(w.window.command1());
    }
  };
  w.window.FormLoad();
  EXPECT_EQ(w.traced(), 1) << "a click was handled inside the first figure";

  HandlePending();
  EXPECT_EQ(w.traced(), 4);
  EXPECT_EQ(w.random.figuresStarted, 4);
  w.ExpectEachFigureStartedAloneOnBlack();
  EXPECT_TRUE(SamePixels(w.canvas(), Retraced(w.window.form().lastFigure())));
  EXPECT_TRUE(w.window.isVisible());
}

// Threads of this process now.
std::ptrdiff_t Threads() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                       std::filesystem::directory_iterator{});
}

TEST(EventsDuringAFigure, CloseRequestEndsTheProgramAfterTheRunningFigureAndLeavesNoThread) {
  const std::ptrdiff_t before = Threads();
  {
    Watched w;
    w.window.FormLoad();
    w.duringFigure = [&w](int figure) {
      if (figure == 2) PostCloseRequest(w.window);
    };
    PostClick(w.window.command1());

    EXPECT_EQ(RunUntilQuit(), 0);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.completeAtClose, 2) << "the window closed while a figure was traced";
    EXPECT_EQ(w.traced(), 2);
    EXPECT_EQ(w.random.figuresStarted, 2);
    // The figure that was running went to its end: the canvas holds it whole.
    EXPECT_TRUE(SamePixels(w.canvas(), Retraced(w.window.form().lastFigure())));
  }
  EXPECT_EQ(Threads(), before) << "a thread of the window's figures outlived the window";
}

TEST(EventsDuringAFigure, ClicksThenACloseAreHandledInTheOrderTheyCame) {
  Watched w;
  w.window.FormLoad();
  w.duringFigure = [&w](int figure) {
    if (figure == 2) {
      PostClick(w.window.command1());
      PostClick(w.window.command1());
      PostCloseRequest(w.window);
    }
  };
  PostClick(w.window.command1());

  EXPECT_EQ(RunUntilQuit(), 0);
  EXPECT_FALSE(w.window.isVisible());
  EXPECT_EQ(w.completeAtClose, 4);
  EXPECT_EQ(w.traced(), 4);
  w.ExpectEachFigureStartedAloneOnBlack();
  EXPECT_TRUE(SamePixels(w.canvas(), Retraced(w.window.form().lastFigure())));
}

// A key held down: presses of F5 that pile up while a figure is traced make one figure between
// them, and a Quit behind them is not kept waiting.
TEST(EventsDuringAFigure, HeldKeysFoldIntoOneFigureAndQuitActsAtOnce) {
  Watched w;
  w.window.FormLoad();
  QAction* newFigure = nullptr;
  for (QAction* action : w.window.actions()) {
    if (action->shortcuts().contains(QKeySequence(Qt::Key_F5))) newFigure = action;
  }
  ASSERT_NE(newFigure, nullptr);
  w.duringFigure = [&](int figure) {
    if (figure != 2) return;
    for (int press = 0; press < 300; ++press) {
      QMetaObject::invokeMethod(newFigure, &QAction::trigger, Qt::QueuedConnection);
    }
    PostCloseRequest(w.window);
  };
  newFigure->trigger();
  EXPECT_EQ(RunUntilQuit(), 0);
  EXPECT_LE(w.completeAtClose, 3) << "the presses made a queue of figures";
  w.ExpectEachFigureStartedAloneOnBlack();
}

}  // namespace
}  // namespace stringart
