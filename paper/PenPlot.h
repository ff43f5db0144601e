#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "runtime/Colour.h"

namespace stringart {

// A figure's segments as a pen plotter draws them: its drifting colours brought down to a few
// pens, each pen's segments joined into long paths, and the paths ordered so that the pen
// travels little in the air. Everything is in the canvas's pixels; a sheet scales it.

struct PlotPoint {
  float x, y;
  friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// One pen's paths in the order they are plotted, each drawn from its first point to its last.
struct PenPaths {
  int pen = 0;  // the pen's number, from 1: its place among the pens
  Colour colour;
  std::vector<PlotPoint> points;
  std::vector<std::uint32_t> ends;  // path k runs over points [k > 0 ? ends[k - 1] : 0, ends[k])

  std::size_t paths() const { return ends.size(); }
  std::span<const PlotPoint> path(std::size_t k) const {
    const std::uint32_t from = k > 0 ? ends[k - 1] : 0;
    return std::span(points).subspan(from, ends[k] - from);
  }
};

struct PenPlot {
  std::vector<PenPaths> pens;  // by number; a pen that takes no segment is left out
  // Pixels the pen goes down, and up between paths (not to or from the plotter's home): in the
  // plotting order, and with the same paths taken in the order the figure drew them.
  double down = 0, up = 0, upInDrawingOrder = 0;
};

// `count` pen colours (fewer when the figure has fewer) that keep the figure's colours best:
// k-means in CIELAB, each colour weighted by the length of its segments, the ink it puts on
// paper, started from k-means++ with a fixed seed so that a figure always gets the same pens.
// They come in the order the figure lays their ink, on average: a pen whose strokes the figure
// draws late, over the others, is plotted late.
// On `paper`, when given, a colour counts less the nearer it lies to the paper's, and one the eye
// hardly tells from it gets no pen: the pens go to the ink that shows.
std::vector<Colour> ReducePens(std::span<const Segment> segments, int count,
                               std::optional<Colour> paper = std::nullopt);

// The nearest of `pens` in CIELAB to `colour`, as its index.
std::size_t NearestPen(Colour colour, std::span<const Colour> pens);

// Each segment taken by the nearest of `pens`, and consecutive segments of one stroke and one
// pen joined into paths, in the order the figure drew them.
std::vector<PenPaths> JoinStrokes(std::span<const Segment> segments, std::span<const Colour> pens);

// Puts `paths` in the order that plots them with little travel: from the top-left corner, where
// a plotter waits, each time the nearest end of a path not yet drawn, the path turned round
// when its last point is the nearer.
void OrderPaths(PenPaths& paths);

// Pixels drawn: every path's length.
double PenDownLength(const PenPaths& paths);
// Pixels moved with the pen up: from each path's last point to the next path's first.
double PenUpLength(const PenPaths& paths);

// JoinStrokes, measured, then OrderPaths.
PenPlot PlanPlot(std::span<const Segment> segments, std::span<const Colour> pens);

// What a plotter can draw: its pen's width, and the time the plot may take at its speed, each
// path costing a lowering and a lifting of the pen.
struct PlotLimits {
  double penWidth = 1;                                       // canvas pixels, above 0
  double seconds = std::numeric_limits<double>::infinity();  // the plot's time, at most
  double speed = 1;                                          // canvas pixels a second
  double liftSeconds = 0;                                    // to lower and lift the pen once
};

// Seconds a pen takes over its paths: down along them, up between them, and a lift for each.
double PenSeconds(const PenPaths& paths, const PlotLimits& limits);

// A plot a pen of that width draws in the time: each step's three strokes, a pixel apart, drawn
// as one line along their middle; a line that runs where its pen has drawn already left out,
// and then, while the plot takes longer than the time, the lines most of whose length lies on
// their pen's earlier lines, the most redundant first. Joined, measured and ordered as PlanPlot.
PenPlot PlanDrawablePlot(std::span<const Segment> segments, std::span<const Colour> pens,
                         const PlotLimits& limits);

}  // namespace stringart
