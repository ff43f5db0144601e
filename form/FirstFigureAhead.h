#pragma once

#include <exception>
#include <thread>

#include "canvas/Picture1.h"
#include "figure/FigureRecord.h"
#include "runtime/DrawSource.h"

namespace stringart {

// The window's first figure, traced on a thread of its own while the window is being made, so
// that the two take the time of the longer: the draws taken from `random` as the load handler
// takes them (reseeded, then twelve draws) and traced from rising directions on a black raster
// of its own. Form1::FormLoad shows it. `random` is the thread's until Wait returns.
class FirstFigureAhead {
 public:
  explicit FirstFigureAhead(DrawSource& random);
  // Waits for the thread.
  ~FirstFigureAhead();
  FirstFigureAhead(const FirstFigureAhead&) = delete;
  FirstFigureAhead& operator=(const FirstFigureAhead&) = delete;

  // Waits for the figure; throws what tracing it threw.
  void Wait();
  // Once Wait has returned: the figure's pixels, what it was made of and left, and the arm's
  // outer end at its last step, in figure units.
  const Picture1& picture() const { return picture_; }
  const FigureRecord& figure() const { return figure_; }
  double x1() const { return x1_; }
  double y1() const { return y1_; }
  // How long the thread took to trace it, milliseconds.
  double traceMilliseconds() const { return traceMilliseconds_; }

 private:
  Picture1 picture_;
  FigureRecord figure_;
  double x1_ = 0, y1_ = 0;
  double traceMilliseconds_ = 0;
  std::exception_ptr failure_;
  std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace stringart
