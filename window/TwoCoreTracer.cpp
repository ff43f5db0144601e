#include "window/TwoCoreTracer.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "canvas/BandRaster.h"
#include "canvas/Canvas.h"
#include "canvas/Raster.h"
#include "runtime/VectorState.h"
#include "window/Tracer.h"

namespace stringart {
namespace {

// Segments the tracer hands on at a time: small enough that the painting thread starts early,
// large enough that publishing costs nothing measurable.
constexpr std::size_t kChunk = 1024;
// Segments painted into one band per claim, so that both threads keep moving through the figure
// band by band while its segments are still in cache.
constexpr std::size_t kWindow = 8192;
// Bands of rows. More bands balance the two threads' ends more finely; every band looks at every
// segment once.
constexpr int kBands = 8;
// Band edges fall on multiples of this many rows: 8 rows of 500 pixels are whole cache lines.
constexpr int kBandRowMultiple = 8;
// Empty polls before a waiting thread gives up its CPU to whatever else wants it.
constexpr int kSpinsBeforeYield = 256;

struct Cancelled {};

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// A thread that found nothing to do: pause, and after a while let other work on this CPU run.
void Wait(int& spins) {
  if (++spins < kSpinsBeforeYield) {
    Pause();
  } else {
    spins = 0;
    std::this_thread::yield();
  }
}

// TraceFigure's canvas on the calling thread alone: DrawLineFast into the caller's raster, with a
// look at `cancel` every chunk.
class RasterCanvas final : public Canvas {
 public:
  RasterCanvas(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
               const std::atomic<bool>* cancel)
      : pixels_(pixels), width_(width), height_(height), stride_(stride), cancel_(cancel) {}
  void Clear() override { FillRaster(pixels_, width_, height_, stride_, ToPixel(background_)); }
  void SetBackground(Colour colour) override {
    background_ = colour;
    Clear();
  }
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    if (cancel_ && ++drawn_ % kChunk == 0 && cancel_->load(std::memory_order_relaxed)) {
      throw Cancelled{};
    }
    return DrawLineFast(pixels_, width_, height_, stride_, fromX, fromY, toX, toY, ToPixel(colour));
  }

 private:
  std::uint32_t* pixels_;
  int width_, height_;
  std::ptrdiff_t stride_;
  const std::atomic<bool>* cancel_;
  Colour background_ = kBlack;
  std::size_t drawn_ = 0;
};

}  // namespace

// One figure's shared state and the second thread. Each band is painted by one thread at a time
// (`busy`), always from segment `done` onwards, so every band sees the segments in order.
struct TwoCoreTracer::Figure {
  struct alignas(64) Band {
    std::atomic<bool> busy{false};
    std::atomic<std::size_t> done{0};  // segments painted into the band
    int rowBegin = 0, rowEnd = 0;
  };

  std::mutex inUse;  // held by the thread tracing a figure
  std::vector<SnappedSegment> segments = std::vector<SnappedSegment>(kSegmentsPerFigure);
  std::array<Band, kBands> bands;
  std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;

  alignas(64) std::atomic<std::size_t> published{0};  // segments handed on
  std::atomic<bool> traced{false};                    // `published` is the whole figure
  std::atomic<bool> abandoned{false};                 // stop painting: the figure was cancelled

  // The second thread: woken for each figure, it reports the figure's number once it no longer
  // touches anything of it.
  std::mutex wakeMutex;
  std::condition_variable wake;
  std::uint64_t requested = 0;  // under wakeMutex
  bool stop = false;            // under wakeMutex
  alignas(64) std::atomic<std::uint64_t> finished{0};
  std::thread worker;

  // Paints the handed-on segments into whichever band is free until every band holds the whole
  // figure or the figure is abandoned. `fromTop` picks the order in which bands are tried, so the
  // two threads start at opposite ends.
  void PaintBands(bool fromTop, const std::atomic<bool>* cancel) {
    int spins = 0;
    for (;;) {
      // Read in this order: once `traced` is seen, `published` is final.
      const bool whole = traced.load(std::memory_order_acquire);
      const std::size_t total = published.load(std::memory_order_acquire);
      if (cancel && cancel->load(std::memory_order_relaxed)) {
        abandoned.store(true, std::memory_order_relaxed);
      }
      if (abandoned.load(std::memory_order_relaxed)) return;
      bool complete = whole, painted = false;
      for (int i = 0; i < kBands; ++i) {
        Band& band = bands[static_cast<std::size_t>(fromTop ? i : kBands - 1 - i)];
        if (band.done.load(std::memory_order_acquire) >= total) continue;
        complete = false;
        if (band.busy.exchange(true, std::memory_order_acquire)) continue;
        const std::size_t done = band.done.load(std::memory_order_relaxed);
        const std::size_t end = std::min(total, done + kWindow);
        if (done < end) {
          DrawSegmentsInRows(pixels, width, height, stride, band.rowBegin, band.rowEnd,
                             segments.data() + done, end - done);
          band.done.store(end, std::memory_order_release);
          painted = true;
        }
        band.busy.store(false, std::memory_order_release);
      }
      if (complete) return;
      if (painted) {
        spins = 0;
      } else {
        Wait(spins);
      }
    }
  }

  void Run() {
    std::uint64_t seen = 0;
    for (;;) {
      {
        std::unique_lock lock(wakeMutex);
        wake.wait(lock, [&] { return stop || requested != seen; });
        if (stop) return;
        seen = requested;
      }
      // Waiting in the library may have left the upper vector state dirty.
      ClearUpperVectorState();
      PaintBands(false, nullptr);
      finished.store(seen, std::memory_order_release);
    }
  }

  // Starts the second thread unless it runs; false when it cannot be started.
  bool StartWorker() {
    if (worker.joinable()) return true;
    try {
      worker = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  void StopWorker() {
    if (!worker.joinable()) return;
    {
      std::lock_guard lock(wakeMutex);
      stop = true;
    }
    wake.notify_one();
    worker.join();
  }
};

namespace {

// TraceFigure's canvas on the tracing thread: snaps each segment as DrawLineFast would and hands
// the segments on a chunk at a time.
class HandingCanvas final : public Canvas {
 public:
  HandingCanvas(SnappedSegment* segments, std::atomic<std::size_t>& published,
                const std::atomic<bool>* cancel)
      : segments_(segments), published_(published), cancel_(cancel) {}
  // The tracer never clears or colours its canvas; the caller's raster is already prepared.
  void Clear() override {}
  void SetBackground(Colour) override {}
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    bool kept = false;
    SnappedSegment segment;
    if (!SnapForRows(fromX, fromY, toX, toY, ToPixel(colour), segment, kept)) return false;
    if (!kept) return true;  // nothing of it near enough to reach any raster
    // A figure makes at most kSegmentsPerFigure calls; more would be a tracer out of step.
    if (count_ == kSegmentsPerFigure) throw std::logic_error("a figure drew too many segments");
    segments_[count_++] = segment;
    if (count_ % kChunk == 0) {
      published_.store(count_, std::memory_order_release);
      if (cancel_ && cancel_->load(std::memory_order_relaxed)) throw Cancelled{};
    }
    return true;
  }
  // Hands on what is left of the last chunk.
  void Flush() { published_.store(count_, std::memory_order_release); }

 private:
  SnappedSegment* segments_;
  std::atomic<std::size_t>& published_;
  const std::atomic<bool>* cancel_;
  std::size_t count_ = 0;
};

}  // namespace

TwoCoreTracer::TwoCoreTracer() : figure_(std::make_unique<Figure>()) {}

TwoCoreTracer::~TwoCoreTracer() {
  figure_->StopWorker();
}

std::optional<FigureRecord> TwoCoreTracer::Trace(const FigureDraws& draws, Directions& directions,
                                                 double& x1, double& y1, std::uint32_t* pixels,
                                                 int width, int height, std::ptrdiff_t stride,
                                                 const std::atomic<bool>* cancel) {
  Figure& f = *figure_;
  std::unique_lock use(f.inUse, std::try_to_lock);
  lastOnTwoThreads_ = use.owns_lock() && UsableCpus() >= 2 && f.StartWorker();
  if (!lastOnTwoThreads_) {
    RasterCanvas canvas(pixels, width, height, stride, cancel);
    try {
      return TraceFigure(draws, directions, x1, y1, canvas);
    } catch (const Cancelled&) {
      return std::nullopt;
    }
  }

  // The second thread finished the last figure before that Trace returned: nothing of it reads
  // this state now.
  f.pixels = pixels;
  f.width = width;
  f.height = height;
  f.stride = stride;
  for (int i = 0; i < kBands; ++i) {
    Figure::Band& band = f.bands[static_cast<std::size_t>(i)];
    band.rowBegin = std::min(height, height * i / kBands / kBandRowMultiple * kBandRowMultiple);
    band.rowEnd =
        i + 1 == kBands
            ? height
            : std::min(height, height * (i + 1) / kBands / kBandRowMultiple * kBandRowMultiple);
    band.done.store(0, std::memory_order_relaxed);
  }
  f.published.store(0, std::memory_order_relaxed);
  f.traced.store(false, std::memory_order_relaxed);
  f.abandoned.store(false, std::memory_order_relaxed);
  std::uint64_t number = 0;
  {
    std::lock_guard lock(f.wakeMutex);
    number = ++f.requested;
  }
  f.wake.notify_one();

  std::optional<FigureRecord> record;
  std::exception_ptr failure;
  HandingCanvas canvas(f.segments.data(), f.published, cancel);
  try {
    record = TraceFigure(draws, directions, x1, y1, canvas);
    canvas.Flush();
    f.traced.store(true, std::memory_order_release);
    f.PaintBands(true, cancel);
  } catch (const Cancelled&) {
    f.abandoned.store(true, std::memory_order_relaxed);
  } catch (...) {
    f.abandoned.store(true, std::memory_order_relaxed);
    failure = std::current_exception();
  }
  // Nothing of the figure may run on after the return, cancelled or not.
  int spins = 0;
  while (f.finished.load(std::memory_order_acquire) != number) Wait(spins);
  if (failure) std::rethrow_exception(failure);
  if (f.abandoned.load(std::memory_order_relaxed)) return std::nullopt;
  return record;
}

FigureRecord DrawFigureOnRaster(const FigureDraws& draws, Directions& directions, double& x1,
                                double& y1, std::uint32_t* pixels, int width, int height,
                                std::ptrdiff_t stride, TwoCoreTracer& cores) {
  return *cores.Trace(draws, directions, x1, y1, pixels, width, height, stride);
}

int UsableCpus() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return CPU_COUNT(&set);
}

}  // namespace stringart
