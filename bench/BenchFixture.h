// What the benches of the figure, the window and the gallery share: the example figure's
// segments and pixels, the counters every figure case reports, the bench's own folder for
// journals, and how every case reports its times.
#pragma once

#include <benchmark/benchmark.h>

#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "canvas/Raster.h"
#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "options/FigureCommand.h"

namespace stringart::bench {

// The figure's segments, traced once.
inline const std::vector<Segment>& FigureSegments() {
  static const std::vector<Segment> segments = [] {
    SegmentRecorder recorder;
    TraceAgain({kExampleDraws, {1, 1, 1}, {}}, recorder);
    return recorder.segments();
  }();
  return segments;
}

// Pixel writes the figure makes on the 500 x 500 raster, off-raster steps not counted.
inline double PixelsPerFigure() {
  static const double pixels = [] {
    double total = 0;
    for (const Segment& s : FigureSegments()) {
      const PixelSegment p = SnapSegment(s.fromX, s.fromY, s.toX, s.toY);
      const std::int64_t dx = p.x1 - p.x0, dy = p.y1 - p.y0;
      const std::int64_t n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
      // The figure lies within [25, 476]: every step lands on the raster.
      total += static_cast<double>(n + 1);
    }
    return total;
  }();
  return pixels;
}

inline void SetCounters(benchmark::State& state) {
  const double pixels = PixelsPerFigure();
  state.counters["px/figure"] = pixels;
  // Inverted rate: seconds per painted pixel, shown with an SI prefix (n = nanoseconds).
  state.counters["s/px"] = benchmark::Counter(
      pixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A folder of the bench's own for journals, never the user's.
inline QString BenchFolder() {
  static QTemporaryDir folder;
  return folder.path();
}

// Every case: milliseconds, medians and spread only (five repetitions unless
// --benchmark_repetitions says otherwise).
inline void Figure(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
}

}  // namespace stringart::bench
