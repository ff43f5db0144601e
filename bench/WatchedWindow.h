#pragma once

#include <QCoreApplication>
#include <QTest>

#include "bench/BenchFixture.h"
#include "bench/PaintWatch.h"
#include "export/FigureFileWriter.h"
#include "runtime/DrawSource.h"
#include "window/Form1Window.h"
#include "window/Picture1View.h"

namespace stringart::bench {

enum class Journalled { Yes, No };

// The window under Qt's offscreen platform, loaded, with its first figure painted; keeping its
// figures in a journal of its own, as the program does, unless told not to.
struct WatchedWindow {
  SuppliedDraws draws{kExampleDraws};
  FigureFileWriter files;
  Form1Window window{draws, files};
  PaintWatch watch;

  explicit WatchedWindow(Journalled journalled = Journalled::Yes) {
    if (journalled == Journalled::Yes) {
      static int journals = 0;
      window.KeepFigures(
          QStringLiteral("%1/window-%2.sqlite").arg(BenchFolder()).arg(++journals).toStdString());
    }
    window.pictureView()->installEventFilter(&watch);
    window.FormLoad();
    AwaitPaint();  // the first figure's paint must not pass for the first click's
  }
  ~WatchedWindow() { window.pictureView()->removeEventFilter(&watch); }

  // Clicks `button` on `widget`, then runs the event loop until the canvas has been repainted;
  // false if it never is.
  bool ClickUntilRepainted(QWidget* widget, Qt::MouseButton button) {
    watch.painted = false;
    QTest::mouseClick(widget, button);
    return AwaitPaint();
  }

  // A repaint takes a few passes of the event loop; far more than that means none is coming.
  bool AwaitPaint() {
    for (int pass = 0; !watch.painted && pass < 1000; ++pass) QCoreApplication::processEvents();
    return watch.painted;
  }
};

}  // namespace stringart::bench
