// The example figure put on a plotter: its colours reduced to six pens, its segments joined into
// paths, the paths ordered, and the whole plan as a plotter file is made from it; and printed, as
// an A3 page of vectors written by us and by Cairo. The time of a whole stringart-render run to a
// plotter's SVG or a PDF is measured by hand (docs/performance.md).
#include <benchmark/benchmark.h>

#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "options/Paper.h"
#include "paper/PdfPage.h"
#include "paper/PenPlot.h"
#include "paper/Plot.h"

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

// The plan a plotter file is made from at the defaults, A4 with four pens: one line a step,
// thinned to a 0.3 mm pen and two hours. Compare with BM_PlotPlan, every segment drawn.
void BM_PlotDrawablePlan(benchmark::State& state) {
  PaperSettings a4;
  a4.pens.count = 4;
  const PlotLimits limits = LimitsOnPaper(a4);
  const std::vector<Colour> pens = ReducePens(Segments(), 4);
  for (auto _ : state) benchmark::DoNotOptimize(PlanDrawablePlot(Segments(), pens, limits));
}

// The figure on A3 as a PDF page, by our writer on every core and by Cairo's PDF surface.
template <auto Write>
void PrintA3(benchmark::State& state) {
  PaperSettings a3;
  a3.paper = {297, 420};
  const PdfPrint print = PrintOn(LayOut(a3));
  for (auto _ : state) {
    std::string bytes, error;
    if (Write(Segments(), print, {}, 1, bytes, error) != ExportResult::Written) {
      state.SkipWithError(error.c_str());
      break;
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
  }
}
void BM_PrintPdfA3(benchmark::State& state) {
  PrintA3<WritePdfPage>(state);
}
void BM_PrintPdfA3Cairo(benchmark::State& state) {
  PrintA3<WritePdfPageWithCairo>(state);
}

BENCHMARK(BM_PlotReducePens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotJoinStrokes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotOrderPaths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotPlan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotDrawablePlan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintPdfA3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintPdfA3Cairo)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace stringart
