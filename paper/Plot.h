#pragma once

#include <span>
#include <string>
#include <vector>

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

// One pen's part of a plot on the sheet: metres with the pen down and up between its paths, the
// times it is lowered (once a path), and minutes at the plotter's speed, the lifts counted.
struct PenTotals {
  int pen = 0;
  double down = 0, up = 0, minutes = 0;
  long lifts = 0;
};

// A plot on the sheet: its pens, metres with the pen down and up (in the plotting order and in
// the figure's drawing order), lifts, and minutes at the plotter's speed; and each pen's part.
struct PlotTotals {
  int pens = 0;
  double down = 0, up = 0, upInDrawingOrder = 0, minutes = 0;
  long lifts = 0;
  float speed = kDefaultSpeed;
  std::vector<PenTotals> each;
};
PlotTotals MeasurePlot(const PenPlot& plot, const PaperSettings& settings);
// "plot: N pens, pen-down D m, pen-up U m (drawing order V m), about T at S mm/s", T as
// PlotDuration gives it.
std::string PlotLine(const PlotTotals& totals);
// "pen 1: 41.2 m pen down, 3.1 m pen up, 29 min" for each pen, then "in all: 160.3 m pen down,
// 9.8 m pen up, 2841 lifts, 1 h 52 min"; a line each.
std::vector<std::string> EstimateLines(const PlotTotals& totals);
// Minutes rounded, in hours and minutes: "29 min", "1 h 52 min".
std::string PlotDuration(double minutes);

}  // namespace stringart
