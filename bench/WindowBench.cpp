// stringart-bench: the window, from a click on "new" or the mouse's back button until the canvas
// has been repainted.
#include <benchmark/benchmark.h>

#include <QPushButton>

#include "bench/BenchFixture.h"
#include "bench/WatchedWindow.h"
#include "figure/FigureHistory.h"

namespace stringart {
namespace {

using namespace bench;

// A click on "new" until the canvas has been repainted, the figure kept in the journal as the
// program keeps it (Journalled::Yes), or with no journal at all, as before there was one.
void ClickToRepaint(benchmark::State& state, Journalled journalled) {
  WatchedWindow w(journalled);
  for (auto _ : state) {
    if (!w.ClickUntilRepainted(w.window.command1(), Qt::LeftButton)) {
      state.SkipWithError("the canvas was not repainted after a click on \"new\"");
      break;
    }
  }
  // One figure for the load and one per click, or the clicks timed something else.
  if (w.window.form().figuresTraced() != 1 + static_cast<long>(state.iterations())) {
    state.SkipWithError("a click on \"new\" did not trace exactly one figure");
  }
  SetCounters(state);
}

void BM_WindowClickToRepaint(benchmark::State& state) {
  ClickToRepaint(state, Journalled::Yes);
}

void BM_WindowClickToRepaintUnkept(benchmark::State& state) {
  ClickToRepaint(state, Journalled::No);
}

// The mouse's back and forward buttons on the canvas, in turn, until the canvas has been
// repainted: every iteration traces a figure of the history again, which should be on the screen
// within one frame at 60 Hz (16.7 ms). Both figures have the example's draws; their start
// directions differ.
void BM_WindowBackToRepaint(benchmark::State& state) {
  WatchedWindow w;
  w.window.Command1Click();
  w.AwaitPaint();
  bool back = true;
  for (auto _ : state) {
    if (!w.ClickUntilRepainted(w.window.pictureView(), back ? Qt::BackButton : Qt::ForwardButton)) {
      state.SkipWithError("the canvas was not repainted after the back or forward button");
      break;
    }
    back = !back;
  }
  if (w.window.form().history().size() != 2) {
    state.SkipWithError("going back and forth added figures to the history");
  }
  SetCounters(state);
}

BENCHMARK(BM_WindowClickToRepaint)->Apply(Figure);
BENCHMARK(BM_WindowClickToRepaintUnkept)->Apply(Figure);
BENCHMARK(BM_WindowBackToRepaint)->Apply(Figure);

}  // namespace
}  // namespace stringart
