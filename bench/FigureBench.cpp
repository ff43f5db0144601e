// stringart-bench: one figure traced and drawn, on our raster and on QPainter and Cairo, and the
// trace and the raster on their own. Every case draws the same figure, that of the draws
// 0.1 ... 0.55 starting with all colour directions rising.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchFixture.h"
#include "canvas/Picture1.h"
#include "canvas/Raster.h"
#include "figure/Tracer.h"
#include "figure/TwoCoreTracer.h"
#include "runtime/VectorState.h"

namespace stringart {
namespace {

using namespace bench;

// Leaves the upper halves of the vector registers dirty, as library code compiled for AVX does
// when it returns without vzeroupper. Written as assembly so that no compiler adds one; run only
// where the processor has AVX.
[[gnu::noinline]] void DirtyUpperVectorState() {
#if defined(__x86_64__)
  if (ClearsUpperVectorState()) {
    asm volatile("vcmpps $15, %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");  // all ones, 256 bits
  }
#endif
}

enum class Start { Clean, Dirty };

// Traces the figure onto `canvas` once per iteration, each time after a clearing, as "new" does,
// from a clean or a dirty vector state.
void TraceFigures(benchmark::State& state, Canvas& canvas, Start start = Start::Clean) {
  canvas.SetBackground(kBlack);
  for (auto _ : state) {
    Directions directions;
    double x1 = 0, y1 = 0;
    canvas.Clear();
    if (start == Start::Dirty) {
      DirtyUpperVectorState();
    } else {
      ClearUpperVectorState();
    }
    TraceFigure(kExampleDraws, directions, x1, y1, canvas);
    benchmark::ClobberMemory();
  }
}

// Takes every segment and draws nothing: what is left is the tracer's own cost.
class NullCanvas final : public Canvas {
 public:
  void Clear() override {}
  void SetBackground(Colour) override {}
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    benchmark::DoNotOptimize(fromX + fromY + toX + toY);
    benchmark::DoNotOptimize(colour.value);
    return true;
  }
};

// What a QPainter user writes: a painter kept open on the image, one pen and one line a segment.
class QPainterCanvas final : public Canvas {
 public:
  QPainterCanvas() : image_(Picture1::kWidth, Picture1::kHeight, QImage::Format_RGB32) {
    painter_.begin(&image_);
  }
  ~QPainterCanvas() override { painter_.end(); }
  void Clear() override { painter_.fillRect(image_.rect(), Convert(background_)); }
  void SetBackground(Colour colour) override {
    background_ = colour;
    Clear();
  }
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    painter_.setPen(Convert(colour));
    painter_.drawLine(QLineF(fromX, fromY, toX, toY));
    return true;
  }

 private:
  static QColor Convert(Colour c) { return QColor(c.red(), c.green(), c.blue()); }
  QImage image_;
  QPainter painter_;
  Colour background_ = kBlack;
};

// The same with Cairo: an image surface, antialiasing off, one pixel wide, a path per segment.
class CairoCanvas final : public Canvas {
 public:
  CairoCanvas()
      : surface_(
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, Picture1::kWidth, Picture1::kHeight)),
        cairo_(cairo_create(surface_)) {
    cairo_set_antialias(cairo_, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cairo_, 1.0);
  }
  ~CairoCanvas() override {
    cairo_destroy(cairo_);
    cairo_surface_destroy(surface_);
  }
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  void Clear() override {
    SetSource(background_);
    cairo_paint(cairo_);
  }
  void SetBackground(Colour colour) override {
    background_ = colour;
    Clear();
  }
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    SetSource(colour);
    cairo_move_to(cairo_, fromX, fromY);
    cairo_line_to(cairo_, toX, toY);
    cairo_stroke(cairo_);
    return cairo_status(cairo_) == CAIRO_STATUS_SUCCESS;
  }

 private:
  void SetSource(Colour c) {
    cairo_set_source_rgb(cairo_, c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0);
  }
  cairo_surface_t* surface_;
  cairo_t* cairo_;
  Colour background_ = kBlack;
};

void BM_FigureOnRaster(benchmark::State& state) {
  Picture1 picture;
  TraceFigures(state, picture);
  SetCounters(state);
}

void BM_FigureOnRasterDirty(benchmark::State& state) {
  Picture1 picture;
  TraceFigures(state, picture, Start::Dirty);
  SetCounters(state);
}

void BM_FigureOnQPainter(benchmark::State& state) {
  QPainterCanvas canvas;
  TraceFigures(state, canvas);
  SetCounters(state);
}

void BM_FigureOnCairo(benchmark::State& state) {
  CairoCanvas canvas;
  TraceFigures(state, canvas);
  SetCounters(state);
}

void BM_TraceAlone(benchmark::State& state) {
  NullCanvas canvas;
  TraceFigures(state, canvas);
}

void BM_TraceAloneDirty(benchmark::State& state) {
  NullCanvas canvas;
  TraceFigures(state, canvas, Start::Dirty);
}

// The figure traced onto the raster on two threads, after a clearing, as "new" does now.
void TraceFiguresTwoCores(benchmark::State& state, Start start = Start::Clean) {
  Picture1 picture;
  TwoCoreTracer cores;
  for (auto _ : state) {
    Directions directions;
    double x1 = 0, y1 = 0;
    picture.Clear();
    if (start == Start::Dirty) {
      DirtyUpperVectorState();
    } else {
      ClearUpperVectorState();
    }
    cores.Trace(kExampleDraws, directions, x1, y1, picture.pixels(), Picture1::kWidth,
                Picture1::kHeight, Picture1::kStride);
    benchmark::ClobberMemory();
  }
  state.counters["threads"] = cores.lastOnTwoThreads() ? 2 : 1;
}

void BM_FigureTwoCores(benchmark::State& state) {
  TraceFiguresTwoCores(state);
  SetCounters(state);
}

void BM_FigureTwoCoresDirty(benchmark::State& state) {
  TraceFiguresTwoCores(state, Start::Dirty);
  SetCounters(state);
}

// The same with the calling thread held to the one CPU it runs on: the one-thread path, as under
// `taskset -c 0`.
void BM_FigureTwoCoresOneCpu(benchmark::State& state) {
  cpu_set_t before, one;
  pthread_getaffinity_np(pthread_self(), sizeof before, &before);
  CPU_ZERO(&one);
  CPU_SET(sched_getcpu(), &one);
  pthread_setaffinity_np(pthread_self(), sizeof one, &one);
  TraceFiguresTwoCores(state);
  pthread_setaffinity_np(pthread_self(), sizeof before, &before);
  SetCounters(state);
}

// Another process keeping one CPU busy for as long as it lives: the last one the bench may use.
class BusyProcess {
 public:
  BusyProcess() {
    cpu_set_t usable;
    sched_getaffinity(0, sizeof usable, &usable);
    int last = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) last = CPU_ISSET(cpu, &usable) ? cpu : last;
    pid_ = fork();
    if (pid_ != 0) return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(last, &one);
    sched_setaffinity(0, sizeof one, &one);
    for (unsigned long spin = 0;; ++spin) benchmark::DoNotOptimize(spin);
  }
  ~BusyProcess() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  BusyProcess(const BusyProcess&) = delete;
  BusyProcess& operator=(const BusyProcess&) = delete;

 private:
  pid_t pid_;
};

// The figure on one thread and as "new" traces it, each while another process keeps a CPU busy:
// two threads must not lose to one there.
void BM_FigureOnRasterBusy(benchmark::State& state) {
  BusyProcess busy;
  Picture1 picture;
  TraceFigures(state, picture);
  SetCounters(state);
}

void BM_FigureTwoCoresBusy(benchmark::State& state) {
  BusyProcess busy;
  TraceFiguresTwoCores(state);
  SetCounters(state);
}

using LineFunction = bool (*)(std::uint32_t*, int, int, std::ptrdiff_t, float, float, float, float,
                              std::uint32_t);

// The recorded figure replayed straight into a raster, clearing included, no tracer in front.
void ReplayFigures(benchmark::State& state, LineFunction drawLine) {
  const std::vector<Segment>& segments = FigureSegments();
  std::vector<std::uint32_t> pixels(Picture1::kStride * Picture1::kHeight);
  for (auto _ : state) {
    FillRaster(pixels.data(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
               ToPixel(kBlack));
    for (const Segment& s : segments) {
      drawLine(pixels.data(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride, s.fromX,
               s.fromY, s.toX, s.toY, ToPixel(s.colour));
    }
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}

void BM_RasterAlone(benchmark::State& state) {
  ReplayFigures(state, DrawLineFast);
}
void BM_RasterAloneReference(benchmark::State& state) {
  ReplayFigures(state, DrawLineReference);
}

BENCHMARK(BM_FigureOnRaster)->Apply(Figure);
BENCHMARK(BM_FigureTwoCores)->Apply(Figure);
BENCHMARK(BM_FigureTwoCoresOneCpu)->Apply(Figure);
BENCHMARK(BM_FigureOnRasterBusy)->Apply(Figure);
BENCHMARK(BM_FigureTwoCoresBusy)->Apply(Figure);
BENCHMARK(BM_FigureTwoCoresDirty)->Apply(Figure);
BENCHMARK(BM_FigureOnRasterDirty)->Apply(Figure);
BENCHMARK(BM_FigureOnQPainter)->Apply(Figure);
BENCHMARK(BM_FigureOnCairo)->Apply(Figure);
BENCHMARK(BM_TraceAlone)->Apply(Figure);
BENCHMARK(BM_TraceAloneDirty)->Apply(Figure);
BENCHMARK(BM_RasterAlone)->Apply(Figure);
BENCHMARK(BM_RasterAloneReference)->Apply(Figure);

}  // namespace
}  // namespace stringart

// The processor's model name, as lscpu shows it.
std::string ProcessorName() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown";
}

int main(int argc, char** argv) {
  // Repetitions of the cases run shuffled together, so that load from elsewhere on the machine
  // falls on all of them alike and their ratios hold; a flag given later overrides this.
  std::vector<char*> arguments(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  char repetitions[] = "--benchmark_repetitions=5";
  arguments.insert(arguments.begin() + 1, {interleave, repetitions});
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  benchmark::AddCustomContext("processor", ProcessorName());
  benchmark::AddCustomContext("vzeroupper before a figure",
                              stringart::ClearsUpperVectorState() ? "yes (AVX)" : "no");
  // The window needs no display: Qt's offscreen platform unless the caller chose another.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
