// Steering the figure: a new grid of nine in the Variations window, and a slider of the Adjust
// window moved until the canvas shows the figure it makes. Both beside FigureOnRaster, in one
// run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEvent>
#include <QSlider>
#include <QTest>

#include "export/FigureFileWriter.h"
#include "figure/FigureRecord.h"
#include "runtime/DrawSource.h"
#include "window/AdjustWindow.h"
#include "window/Form1Window.h"
#include "window/Picture1View.h"
#include "window/VariationsWindow.h"

namespace stringart {
namespace {

// Notes a paint event of the widget it watches; it sees the event before the widget paints, so
// painting is over once the event loop returns with `painted` set.
class Painted final : public QObject {
 public:
  bool painted = false;
  // Runs the event loop until the watched widget has been painted; false if it never is.
  bool Await() {
    for (int pass = 0; !painted && pass < 1000; ++pass) QCoreApplication::processEvents();
    const bool was = painted;
    painted = false;
    return was;
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

struct SteeredWindow {
  SuppliedDraws draws{kExampleDraws};
  FigureFileWriter files;
  Form1Window window{draws, files};
  SteeredWindow() { window.FormLoad(); }
};

// Space in the Variations window: eight new variations of the example figure, the nine traced
// on every core and scaled down, until the window has been repainted.
void BM_VariationsGrid(benchmark::State& state) {
  SteeredWindow w;
  ShowVariationsWindow(w.window.stage());
  auto* variations = w.window.findChild<VariationsWindow*>();
  Painted watch;
  variations->installEventFilter(&watch);
  watch.Await();
  for (auto _ : state) {
    QTest::keyClick(variations, Qt::Key_Space);
    if (!watch.Await()) {
      state.SkipWithError("the grid was not repainted after Space");
      break;
    }
  }
  variations->removeEventFilter(&watch);
}

// An arrow key on the Adjust window's first slider, right and left in turn, until the main
// window's canvas has been repainted with the figure it makes.
void BM_AdjustToRepaint(benchmark::State& state) {
  SteeredWindow w;
  ShowAdjustWindow(w.window.stage());
  auto* adjust = w.window.findChild<AdjustWindow*>();
  Painted watch;
  w.window.pictureView()->installEventFilter(&watch);
  watch.Await();
  const std::size_t figures = w.window.form().history().size();
  bool right = true;
  for (auto _ : state) {
    QTest::keyClick(adjust->slider(0), right ? Qt::Key_Right : Qt::Key_Left);
    if (!watch.Await()) {
      state.SkipWithError("the canvas was not repainted after a slider moved");
      break;
    }
    right = !right;
  }
  w.window.pictureView()->removeEventFilter(&watch);
  if (w.window.form().history().size() > figures + 1) {
    state.SkipWithError("moving the slider added figures to the history before it rested");
  }
}

void Steer(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
}

// CPU time of every thread, the helpers' too: the work of a grid, whatever else the cores run.
BENCHMARK(BM_VariationsGrid)->Apply(Steer)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_AdjustToRepaint)->Apply(Steer);

}  // namespace
}  // namespace stringart
