// The example figure put on a plotter: its colours reduced to six pens, its segments joined into
// paths, the paths ordered, and the whole plan as a plotter file is made from it. The time of a
// whole stringart-render run to a plotter's SVG is measured by hand (docs/performance.md).
#include <benchmark/benchmark.h>

#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/PenPlot.h"
#include "figure/Tracer.h"

namespace stringart {
namespace {

const std::vector<Segment>& Segments() {
  static const std::vector<Segment> segments = [] {
    SegmentRecorder recorder;
    TraceAgain({kExampleDraws, {1, 1, 1}, {}}, recorder);
    return recorder.segments();
  }();
  return segments;
}

const std::vector<Colour>& SixPens() {
  static const std::vector<Colour> pens = ReducePens(Segments(), 6);
  return pens;
}

void BM_PlotReducePens(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ReducePens(Segments(), 6));
}

void BM_PlotJoinStrokes(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(JoinStrokes(Segments(), SixPens()));
}

void BM_PlotOrderPaths(benchmark::State& state) {
  const std::vector<PenPaths> joined = JoinStrokes(Segments(), SixPens());
  std::size_t paths = 0;
  for (const PenPaths& pen : joined) paths += pen.paths();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<PenPaths> pens = joined;
    state.ResumeTiming();
    for (PenPaths& pen : pens) OrderPaths(pen);
    benchmark::DoNotOptimize(pens.data());
  }
  state.counters["paths"] = static_cast<double>(paths);
}

// Everything a plotter file is made from: the pens, the joining, the measuring and the order.
void BM_PlotPlan(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(PlanPlot(Segments(), ReducePens(Segments(), 6)));
}

BENCHMARK(BM_PlotReducePens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotJoinStrokes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotOrderPaths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotPlan)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace stringart
