// The example figure drawn anti-aliased: the program's way (LargePicture: the rasteriser of our
// own, smooth/AntiAliased.h, on every core) at 1000 x 1000 and 4000 x 4000, the same 4000 x 4000
// picture drawn by Cairo as LargePicture drew it before (fast anti-aliasing, a path per run of
// one colour, bands of rows on every core), a figure traced and drawn full screen, a PNG of
// 8192 x 8192, and a two-second clip of the figure being traced and one of a morph, and one of
// the figure traced at the largest frame with the memory it takes.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "export/FigureFile.h"
#include "figure/Tracer.h"
#include "smooth/LargePicture.h"
#include "tests/support/CairoPicture.h"

namespace stringart {
namespace {

const FigureRecord kFigure{kExampleDraws, {1, 1, 1}, {}};

const std::vector<Segment>& Segments() {
  static const std::vector<Segment> segments = [] {
    SegmentRecorder recorder;
    TraceAgain(kFigure, recorder);
    return recorder.segments();
  }();
  return segments;
}

// A whole figure, its segments traced beforehand, on a black picture of `side` x `side`: what a
// frame of a morph costs besides tracing (whole at once, the black laid with it), or the same
// figure drawn run by run as a figure traced bit by bit is (each run the exact union of its
// strokes).
void AntiAliased(benchmark::State& state, int side, bool whole) {
  LargePicture picture(side, side);
  for (auto _ : state) {
    if (whole) {
      picture.DrawWholeOnBlack(Segments());
    } else {
      picture.Clear();
      picture.Draw(Segments());
    }
    benchmark::DoNotOptimize(picture.pixels());
  }
}

void BM_AntiAliased1000(benchmark::State& state) {
  AntiAliased(state, 1000, true);
}
void BM_AntiAliased1000ByRun(benchmark::State& state) {
  AntiAliased(state, 1000, false);
}
void BM_AntiAliased4000(benchmark::State& state) {
  AntiAliased(state, 4000, true);
}
void BM_AntiAliased4000ByRun(benchmark::State& state) {
  AntiAliased(state, 4000, false);
}

// The same 4000 x 4000 picture by Cairo, as LargePicture drew it before.
void BM_AntiAliased4000Cairo(benchmark::State& state) {
  LargePicture picture(4000, 4000);
  std::vector<std::uint32_t> pixels(4000 * 4000);
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), 0xFF000000u);
    testing::DrawWithCairo(Segments(), pixels.data(), 4000, 4000, picture.scale(), picture.left(),
                           picture.top());
    benchmark::DoNotOptimize(pixels.data());
  }
}

// What full screen does at 1920 x 1080 for "new": trace the figure and draw it.
void BM_FullScreenFigure1080(benchmark::State& state) {
  LargePicture picture(1920, 1080);
  SegmentRecorder recorder;
  for (auto _ : state) {
    TraceAgain(kFigure, recorder);
    picture.Clear();
    picture.DrawWhole(recorder.segments());
    benchmark::DoNotOptimize(picture.pixels());
  }
}

// This process's resident memory in MB: now (VmRSS), or at its most (VmHWM) since ResetPeak.
double StatusMegabytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(key + ":")) return std::stod(line.substr(key.size() + 1)) / 1e3;
  }
  return 0;
}
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// A file written as the renderer and the window write it (ExportFigure), into a folder of its
// own removed afterwards. Counter rss_mb: the most resident memory while it was written, over the
// memory before.
void Export(benchmark::State& state, const std::string& name, FrameSize size, int seconds,
            std::optional<FigureDraws> morphTo) {
  char folder[] = "/tmp/stringart-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(folder) + "/" + name;
  std::string error;
  const std::optional<ExportRequest> request =
      ExportRequest::Make(path, size, seconds, seconds > 0 ? 30 : 0, morphTo, error);
  double most = 0;
  for (auto _ : state) {
    const double before = StatusMegabytes("VmRSS");
    ResetPeak();
    if (!request || ExportFigure(*request, kFigure, {}, error) != ExportResult::Written) {
      state.SkipWithError(error.c_str());
      break;
    }
    most = std::max(most, StatusMegabytes("VmHWM") - before);
  }
  state.counters["rss_mb"] = most;
  unlink(path.c_str());
  rmdir(folder);
}

// A large picture: traced, drawn whole and encoded to a PNG of 8192 x 8192 on every core.
void BM_LargePng8192(benchmark::State& state) {
  Export(state, "f.png", {8192, 8192}, 0, std::nullopt);
}

// Two seconds at 30 frames a second, 1000 x 1000, MP4: the figure traced bit by bit, then held
// a second; and a morph, a whole figure traced and drawn a frame, then held. Whole runs of the
// renderer, but for its start-up and its progress bar.
void BM_TracingClip1000(benchmark::State& state) {
  Export(state, "t.mp4", {1000, 1000}, 2, std::nullopt);
}
void BM_MorphClip1000(benchmark::State& state) {
  const FigureDraws to = {0.6f, 0.7f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.2f, 0.3f, 0.55f};
  Export(state, "m.mp4", {1000, 1000}, 2, to);
}
// Two seconds of the largest frame, 4096 x 4096: its rss_mb shows the frames libx264 holds in
// flight bounded (400 MB at the most) over the picture and the encoder's threads; 1.3 GB of
// frames more before.
void BM_TracingClip4096(benchmark::State& state) {
  Export(state, "t.mp4", {4096, 4096}, 2, std::nullopt);
}

void Smooth(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true)->UseRealTime();
}
// Seconds a picture: one drawing a repetition.
void Large(benchmark::internal::Benchmark* b) {
  b->Apply(Smooth)->Iterations(1);
}

BENCHMARK(BM_AntiAliased1000)->Apply(Smooth);
BENCHMARK(BM_AntiAliased1000ByRun)->Apply(Smooth);
BENCHMARK(BM_FullScreenFigure1080)->Apply(Smooth);
BENCHMARK(BM_AntiAliased4000)->Apply(Large);
BENCHMARK(BM_AntiAliased4000ByRun)->Apply(Large);
BENCHMARK(BM_AntiAliased4000Cairo)->Apply(Large);
BENCHMARK(BM_LargePng8192)->Apply(Large);
BENCHMARK(BM_TracingClip1000)->Apply(Large);
BENCHMARK(BM_MorphClip1000)->Apply(Large);
BENCHMARK(BM_TracingClip4096)->Apply(Large);

}  // namespace
}  // namespace stringart
