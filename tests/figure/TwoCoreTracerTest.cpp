// A figure traced on two threads against the same figure on one: every pixel, the record and
// what the tracer leaves; cancelling, sharing and ending the second thread.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/Raster.h"
#include "canvas/SegmentRecorder.h"
#include "figure/FigureSequence.h"
#include "figure/Tracer.h"
#include "figure/TwoCoreTracer.h"
#include "figure/TwoCoreTracer_p.h"
#include "form/Form1.h"
#include "runtime/Cpus.h"
#include "runtime/DrawSource.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

constexpr std::uint32_t kBackground = 0xFF0A0B0Cu;  // not black, so that every write shows

// Threads of this process now.
std::size_t Threads() {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                    std::filesystem::directory_iterator{}));
}

std::string Describe(const FigureDraws& draws, Directions start) {
  std::ostringstream out;
  out.precision(9);
  out << "draws";
  for (float u : draws) out << ' ' << u;
  out << ", directions " << start.red << ',' << start.green << ',' << start.blue;
  return out.str();
}

// A raster of any size in a caller's buffer, drawn on one thread with DrawLineFast.
struct Raster {
  int width, height;
  std::ptrdiff_t stride;
  std::vector<std::uint32_t> pixels;
  Raster(int w, int h, std::ptrdiff_t s)
      : width(w), height(h), stride(s), pixels(static_cast<std::size_t>(s) * h, kBackground) {}
};

class OneThreadCanvas final : public Canvas {
 public:
  explicit OneThreadCanvas(Raster& raster) : raster_(raster) {}
  void Clear() override {}
  void SetBackground(Colour) override {}
  bool DrawLine(float fx, float fy, float tx, float ty, Colour colour) override {
    return DrawLineFast(raster_.pixels.data(), raster_.width, raster_.height, raster_.stride, fx,
                        fy, tx, ty, ToPixel(colour));
  }

 private:
  Raster& raster_;
};

// Traces on one thread and on two, over the same background, and compares everything; unless
// another caller shares `cores`, the figure must have been painted on two threads where it can.
void ExpectSameFigure(TwoCoreTracer& cores, const FigureDraws& draws, Directions start, int width,
                      int height, std::ptrdiff_t stride, bool shared = false) {
  const std::string repro = Describe(draws, start) + " on " + std::to_string(width) + "x" +
                            std::to_string(height) + " stride " + std::to_string(stride);
  Raster one(width, height, stride), two(width, height, stride);
  Directions oneDirections = start, twoDirections = start;
  double oneX = 0, oneY = 0, twoX = 0, twoY = 0;
  OneThreadCanvas canvas(one);
  const FigureRecord expected = TraceFigure(draws, oneDirections, oneX, oneY, canvas);
  const FigureRecord record =
      *cores.Trace(draws, twoDirections, twoX, twoY, two.pixels.data(), width, height, stride);
  if (!shared) {
    EXPECT_EQ(cores.lastOnTwoThreads(), UsableCpus() >= 2) << repro;
  }
  EXPECT_EQ(record, expected) << repro;
  EXPECT_EQ(twoDirections, oneDirections) << repro;
  EXPECT_EQ(twoX, oneX) << repro;
  EXPECT_EQ(twoY, oneY) << repro;
  const auto mismatch = std::mismatch(one.pixels.begin(), one.pixels.end(), two.pixels.begin());
  ASSERT_TRUE(mismatch.first == one.pixels.end())
      << repro << ": first difference at pixel " << (mismatch.first - one.pixels.begin()) % stride
      << ", " << (mismatch.first - one.pixels.begin()) / stride;
}

// A sequence on the raster (two cores) and one on a canvas (segment by segment) carry the same
// directions and arm's end from figure to figure, and show the pinned pixels.
TEST(TwoCoreTracer, SequencesOnTheRasterAndOnACanvasCarryTheSameState) {
  Picture1 raster, canvas;
  FigureSequence onRaster(raster), onCanvas(static_cast<Canvas&>(canvas));
  for (const testing::PinnedFigure& figure : testing::kPinnedFigures) {
    raster.Clear();
    canvas.Clear();
    const FigureRecord record = onRaster.Next(figure.draws, figure.start);
    EXPECT_EQ(onCanvas.Next(figure.draws, figure.start), record) << figure.name;
    EXPECT_EQ(testing::RasterDigest(raster), figure.raster) << figure.name;
    EXPECT_EQ(testing::RasterDigest(canvas), figure.raster) << figure.name;
    EXPECT_EQ(onRaster.directions, record.end) << figure.name;
    EXPECT_EQ(onCanvas.directions, record.end) << figure.name;
    EXPECT_EQ(onRaster.x1, onCanvas.x1) << figure.name;
    EXPECT_EQ(onRaster.y1, onCanvas.y1) << figure.name;
  }
}

TEST(TwoCoreTracer, SeededRandomFiguresEqualTheOneThreadPixelForPixel) {
  constexpr std::uint32_t kSeed = 1208;
  std::mt19937 random(kSeed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  TwoCoreTracer cores(TwoCoreTracer::Threads::Two);  // one for all, as the window keeps one
  for (int i = 0; i < 12; ++i) {
    FigureDraws draws;
    for (float& u : draws) u = unit(random);
    const Directions start{static_cast<std::int16_t>(i & 1 ? 1 : -1),
                           static_cast<std::int16_t>(i & 2 ? 1 : -1),
                           static_cast<std::int16_t>(i & 4 ? 1 : -1)};
    SCOPED_TRACE("seed " + std::to_string(kSeed) + ", figure " + std::to_string(i));
    // The program's raster, then rasters of other sizes, which cut the figure (the layer is
    // made again for each), one padded, and one of a single row.
    ExpectSameFigure(cores, draws, start, 500, 500, 500);
    if (i < 4) {
      constexpr int kShapes[4][3] = {
          {499, 503, 512}, {320, 211, 320}, {613, 97, 640}, {500, 1, 500}};
      ExpectSameFigure(cores, draws, start, kShapes[i][0], kShapes[i][1], kShapes[i][2]);
    }
  }
}

TEST(TwoCoreTracer, OneCpuTracesOnTheCallingThreadAlone) {
  cpu_set_t before, one;
  ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof before, &before), 0);
  CPU_ZERO(&one);
  CPU_SET(sched_getcpu(), &one);
  ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof one, &one), 0);
  TwoCoreTracer cores;
  const std::size_t threads = Threads();
  ExpectSameFigure(cores, testing::kExampleDraws, {1, 1, 1}, 500, 500, 500);
  EXPECT_FALSE(cores.lastOnTwoThreads());
  EXPECT_EQ(Threads(), threads) << "a thread was started for one CPU";
  pthread_setaffinity_np(pthread_self(), sizeof before, &before);
}

// As the window's first figure is traced, beside the window being made.
TEST(TwoCoreTracer, AskedForOneThreadItStartsNoOther) {
  TwoCoreTracer cores(TwoCoreTracer::Threads::One);
  const std::size_t threads = Threads();
  ExpectSameFigure(cores, testing::kExampleDraws, {1, 1, 1}, 500, 500, 500, /*shared=*/true);
  EXPECT_FALSE(cores.lastOnTwoThreads());
  EXPECT_EQ(Threads(), threads) << "a thread was started though one was asked for";
}

TEST(TwoCoreTracer, TwoCallersAtOnceBothGetTheirFigure) {
  TwoCoreTracer cores(TwoCoreTracer::Threads::Two);
  std::thread other([&] {
    ExpectSameFigure(cores, testing::kExampleDraws, {1, 1, 1}, 500, 500, 500, true);
  });
  ExpectSameFigure(cores, testing::kPinnedFigures[1].draws, {-1, -1, -1}, 500, 500, 500, true);
  other.join();
}

TEST(TwoCoreTracer, CancelledFiguresLeaveNothingRunningAndTheNextIsWhole) {
  const std::size_t threads = Threads();
  {
    TwoCoreTracer cores(TwoCoreTracer::Threads::Two);
    Raster raster(500, 500, 500);
    // Cancelled before the first chunk, then at moments spread over the figure's time.
    for (int delayMicroseconds : {-1, 0, 500, 1500, 3000, 6000}) {
      std::atomic<bool> cancel{delayMicroseconds < 0};
      std::thread canceller([&] {
        if (delayMicroseconds > 0) {
          std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds));
        }
        cancel = true;
      });
      Directions directions;
      double x1 = 0, y1 = 0;
      const auto record = cores.Trace(testing::kExampleDraws, directions, x1, y1,
                                      raster.pixels.data(), 500, 500, 500, &cancel);
      canceller.join();
      if (delayMicroseconds < 0) {
        EXPECT_FALSE(record) << "cancelled before it began";
      }
    }
    ExpectSameFigure(cores, testing::kExampleDraws, {1, 1, 1}, 500, 500, 500);
  }
  EXPECT_EQ(Threads(), threads) << "the second thread outlived its tracer";
}

// The form, as the window holds it: its second thread ends with it.
class NoWindow final : public WindowServices {
 public:
  void Show() override {}
  void ClearWindow() override {}
};

TEST(TwoCoreTracer, TheFormTracesOnTwoCoresAndEndsItsThreadWithIt) {
  const std::size_t threads = Threads();
  {
    NoWindow window;
    Picture1 picture;
    SuppliedDraws draws(testing::kExampleDraws);
    Form1 form(window, picture, draws);
    form.FormLoad({1, 1, 1});
    EXPECT_EQ(testing::RasterDigest(picture), testing::kPinnedFigures[0].raster);
    if (UsableCpus() >= 2) {
      EXPECT_EQ(Threads(), threads + 1);
    }
  }
  EXPECT_EQ(Threads(), threads) << "the form's second thread outlived it";
}

}  // namespace
}  // namespace stringart

namespace stringart {
namespace {

// The choice between one thread and two, fed the times a busy machine gives.
TEST(TwoCoreTracer, KeepsToTheQuickerWayAndTriesTheOtherNowAndThen) {
  Pace pace;
  auto run = [&pace](std::size_t pixels, double oneSeconds, double twoSeconds, int figures) {
    int onTwo = 0;
    for (int i = 0; i < figures; ++i) {
      const bool two = pace.TwoNext(pixels);
      pace.Took(two, two ? twoSeconds : oneSeconds);
      onTwo += two;
    }
    return onTwo;
  };
  // Two warm-up figures and two timed ones, alternating from two threads.
  EXPECT_EQ(run(250000, 0.012, 0.007, 4), 2);
  EXPECT_EQ(run(250000, 0.012, 0.007, 160), 150) << "two threads quicker: one in 16 tries one";
  // Another process takes a CPU: two threads turn slower, and the tracer turns to one.
  EXPECT_LE(run(250000, 0.025, 0.029, 160), 16);
  // A raster of another size is timed afresh.
  EXPECT_EQ(run(1000, 0.001, 0.002, 4), 2);
}

}  // namespace
}  // namespace stringart
