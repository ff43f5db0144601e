#pragma once

#include <memory>

#include "canvas/Canvas.h"
#include "canvas/Picture1.h"
#include "figure/FigureRecord.h"
#include "figure/TwoCoreTracer.h"

namespace stringart {

// Figures traced one after another, as the window traces them: each starts with the colour
// directions the one before left (fre, fgr, fbl), and the arm's outer end (x1, y1) stays from
// one figure to the next, where a failed statement keeps it. On the raster Picture1 a figure is
// traced and painted on two cores where there are two; on any other canvas it is drawn segment
// by segment. Either way the canvas shows the same pixels.
class FigureSequence {
 public:
  // Draws on `canvas` one DrawLine a segment.
  explicit FigureSequence(Canvas& canvas);
  // Paints on `raster` through the two-core tracer, shared out as `threads` says; its second
  // thread ends with the sequence.
  explicit FigureSequence(Picture1& raster,
                          TwoCoreTracer::Threads threads = TwoCoreTracer::Threads::Quicker);
  ~FigureSequence();
  FigureSequence(const FigureSequence&) = delete;
  FigureSequence& operator=(const FigureSequence&) = delete;

  // Traces the figure of `draws` over what the canvas shows, starting with `directions`; they
  // and x1, y1 then hold what it left for the next figure. Returns what it was made from.
  FigureRecord Next(const FigureDraws& draws);
  // The same from the start directions `start`: a figure traced again or opened.
  FigureRecord Next(const FigureDraws& draws, Directions start);

  Canvas& canvas() const { return canvas_; }

  Directions directions;  // fre, fgr, fbl for the next figure
  double x1 = 0, y1 = 0;  // the arm's outer end at the last step, figure units

  // How a traced figure reaches the canvas.
  class Painter {
   public:
    virtual ~Painter() = default;
    virtual FigureRecord Trace(const FigureDraws& draws, Directions& directions, double& x1,
                               double& y1) = 0;
  };

 private:
  Canvas& canvas_;
  std::unique_ptr<Painter> painter_;
};

}  // namespace stringart
