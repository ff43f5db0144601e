#pragma once

#include <span>
#include <string>

#include "canvas/SegmentRecorder.h"
#include "options/Paper.h"
#include "paper/PenPlot.h"

namespace stringart {

// A figure's plot for the pens and the sheet chosen, and what it comes to.

// The plot of `segments` with the pens chosen: the figure's colours reduced to so many, or one's
// own; each step one line, thinned to what the pen's width and the plot's time allow.
PenPlot PlotWithPens(std::span<const Segment> segments, const PaperSettings& settings);
// The pen's width, the time and the speed in the canvas's pixels, on the sheet.
PlotLimits LimitsOnPaper(const PaperSettings& settings);

// A plot on the sheet: its pens, metres with the pen down and up (in the plotting order and in
// the figure's drawing order), and minutes at the plotter's speed.
struct PlotTotals {
  int pens = 0;
  double down = 0, up = 0, upInDrawingOrder = 0, minutes = 0;
  float speed = kDefaultSpeed;
};
PlotTotals MeasurePlot(const PenPlot& plot, const PaperSettings& settings);
// "plot: N pens, pen-down D m, pen-up U m (drawing order V m), about T min at S mm/s".
std::string PlotLine(const PlotTotals& totals);

}  // namespace stringart
