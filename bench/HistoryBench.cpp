// stringart-bench: going back to an earlier figure in the window, which traces it again from its
// draws; it should be on the screen within one frame at 60 Hz (16.7 ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include "app/FigureFile.h"
#include "runtime/DrawSource.h"
#include "window/Form1Window.h"
#include "window/Picture1View.h"

namespace stringart {
namespace {

// Notes when the canvas widget gets a paint event; painting is over once the event loop returns.
class RepaintWatch final : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// The mouse's back and forward buttons on the canvas, in turn, each until the canvas has been
// repainted: every iteration shows a figure of the history traced again. Both figures have the
// draws of FigureBench's cases; their start directions differ.
void BM_WindowBackToRepaint(benchmark::State& state) {
  SuppliedDraws draws(kExampleDraws);
  FigureFileWriter files;
  Form1Window window(draws, files);
  RepaintWatch watch;
  window.pictureView()->installEventFilter(&watch);
  auto awaitPaint = [&watch] {
    for (int pass = 0; !watch.painted && pass < 1000; ++pass) QCoreApplication::processEvents();
    return watch.painted;
  };
  window.FormLoad();
  window.Command1Click();
  awaitPaint();
  bool back = true;
  for (auto _ : state) {
    watch.painted = false;
    QTest::mouseClick(window.pictureView(), back ? Qt::BackButton : Qt::ForwardButton);
    if (!awaitPaint()) {
      state.SkipWithError("the canvas was not repainted after the back or forward button");
      break;
    }
    back = !back;
  }
  window.pictureView()->removeEventFilter(&watch);
  if (window.form().history().size() != 2) {
    state.SkipWithError("going back and forth added figures to the history");
  }
}

BENCHMARK(BM_WindowBackToRepaint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace stringart
