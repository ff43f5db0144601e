#include "figure/TwoCoreTracer.h"
#include "figure/TwoCoreTracer_p.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Raster.h"
#include "canvas/SplitRaster.h"
#include "figure/FigureSequence.h"
#include "figure/Tracer.h"
#include "runtime/Cpus.h"
#include "runtime/VectorState.h"

namespace stringart {
namespace {

// Segments the tracer hands on at a time: small enough that the second thread starts early,
// large enough that handing on costs nothing measurable.
constexpr std::size_t kChunk = 1024;
// Segments either thread takes at a time once they meet: a few tens of microseconds of painting,
// so that both finish within that of each other.
constexpr std::size_t kClaim = 512;
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

// The segments claimed so far, packed in one word so that both ends move atomically: the second
// thread has taken [0, head), the tracing thread [tail, end of figure).
constexpr std::uint64_t Ends(std::uint64_t head, std::uint64_t tail) {
  return head | tail << 32;
}
constexpr std::size_t Head(std::uint64_t ends) {
  return static_cast<std::size_t>(ends & 0xFFFFFFFFu);
}
constexpr std::size_t Tail(std::uint64_t ends) {
  return static_cast<std::size_t>(ends >> 32);
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
    if (!SnapForSplit(fromX, fromY, toX, toY, ToPixel(colour), segment, kept)) return false;
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
  // Hands on what is left of the last chunk; returns how many segments there are.
  std::size_t Flush() {
    published_.store(count_, std::memory_order_release);
    return count_;
  }

 private:
  SnappedSegment* segments_;
  std::atomic<std::size_t>& published_;
  const std::atomic<bool>* cancel_;
  std::size_t count_ = 0;
};

// The figure traced and painted on the calling thread alone: nullopt when cancelled.
std::optional<FigureRecord> TraceOnOne(const FigureDraws& draws, Directions& directions, double& x1,
                                       double& y1, std::uint32_t* pixels, int width, int height,
                                       std::ptrdiff_t stride, const std::atomic<bool>* cancel) {
  RasterCanvas canvas(pixels, width, height, stride, cancel);
  try {
    return TraceFigure(draws, directions, x1, y1, canvas);
  } catch (const Cancelled&) {
    return std::nullopt;
  }
}

}  // namespace

// One figure's shared state and the second thread. The second thread paints segments from the
// first onwards straight onto the raster as they are handed on; once the figure is traced, the
// tracing thread paints from the last backwards onto a layer, and where the two meet the layer is
// laid over the raster.
struct TwoCoreTracer::Figure {
  std::mutex inUse;                      // held by the thread tracing a figure
  Pace pace;                             // under inUse
  std::vector<SnappedSegment> segments;  // kSegmentsPerFigure once two threads trace
  std::vector<std::uint32_t> layer;      // all 0 between figures
  std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;

  alignas(64) std::atomic<std::size_t> published{0};  // segments handed on
  std::atomic<bool> traced{false};                    // the tail end is set: the whole figure
  std::atomic<bool> abandoned{false};                 // cancelled: stop painting
  alignas(64) std::atomic<std::uint64_t> ends{0};     // see Ends()
  // How many of [0, head) are painted: by the second thread, or by the tracing one when it took
  // the head itself.
  alignas(64) std::atomic<std::size_t> headPainted{0};

  // The second thread: woken for each figure, it reports the figure's number once it no longer
  // reads anything of it.
  std::mutex wakeMutex;
  std::condition_variable wake;
  std::uint64_t requested = 0;  // under wakeMutex
  bool stop = false;            // under wakeMutex
  alignas(64) std::atomic<std::uint64_t> finished{0};
  std::thread worker;

  // The second thread's part: claims and paints segments from the head until the two ends meet.
  void PaintHead() {
    int spins = 0;
    for (;;) {
      if (abandoned.load(std::memory_order_relaxed)) return;
      // Read in this order: once `traced` is seen, the tail end is the figure's end.
      const bool whole = traced.load(std::memory_order_acquire);
      const std::size_t total = published.load(std::memory_order_acquire);
      std::uint64_t now = ends.load(std::memory_order_acquire);
      const std::size_t head = Head(now), limit = std::min(total, Tail(now));
      if (head < limit) {
        const std::size_t next = std::min(limit, head + kClaim);
        if (!ends.compare_exchange_weak(now, Ends(next, Tail(now)), std::memory_order_acq_rel)) {
          continue;
        }
        DrawSegmentsOver(pixels, width, height, stride, segments.data() + head, next - head);
        headPainted.store(next, std::memory_order_release);
        spins = 0;
        continue;
      }
      if (whole && head >= Tail(now)) return;
      Wait(spins);
    }
  }

  // The tracing thread's part, once the figure is traced: claims and paints segments from the
  // tail until the two ends meet. Returns whether it painted any.
  bool PaintTail(const std::atomic<bool>* cancel) {
    bool painted = false;
    std::uint64_t now = ends.load(std::memory_order_acquire);
    // A second thread that has taken nothing by the time the figure is traced is not getting a
    // CPU: take the whole figure from the head and paint it in order, as one thread would,
    // rather than wait for it at the end.
    if (Head(now) == 0 &&
        ends.compare_exchange_strong(now, Ends(Tail(now), Tail(now)), std::memory_order_acq_rel)) {
      DrawSegmentsOver(pixels, width, height, stride, segments.data(), Tail(now));
      headPainted.store(Tail(now), std::memory_order_release);
      return false;
    }
    for (;;) {
      if (cancel && cancel->load(std::memory_order_relaxed)) return painted;
      const std::size_t head = Head(now), tail = Tail(now);
      if (head >= tail) return painted;
      const std::size_t next = tail - std::min(tail - head, kClaim);
      if (!ends.compare_exchange_weak(now, Ends(head, next), std::memory_order_acq_rel)) continue;
      DrawSegmentsUnder(layer.data(), width, height, stride, segments.data() + next, tail - next);
      painted = true;
      now = ends.load(std::memory_order_acquire);
    }
  }

  // Ends the claiming: whatever the second thread has not taken yet is nobody's. Returns the head.
  std::size_t CloseEnds() {
    std::uint64_t now = ends.load(std::memory_order_acquire);
    while (
        !ends.compare_exchange_weak(now, Ends(Head(now), Head(now)), std::memory_order_acq_rel)) {
    }
    return Head(now);
  }

  // Sets the tail end to `count`, the figure's last segment.
  void SetTail(std::size_t count) {
    std::uint64_t now = ends.load(std::memory_order_acquire);
    while (!ends.compare_exchange_weak(now, Ends(Head(now), count), std::memory_order_acq_rel)) {
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
      PaintHead();
      finished.store(seen, std::memory_order_release);
    }
  }

  // Sets up the state for a figure on the raster `pixels` and wakes the second thread for it.
  void Begin(std::uint32_t* to, int w, int h, std::ptrdiff_t s) {
    // The second thread may still be leaving the last figure; it reads the state reset below.
    AwaitWorker();
    pixels = to;
    width = w;
    height = h;
    stride = s;
    const std::size_t layerSize = static_cast<std::size_t>(s) * static_cast<std::size_t>(h);
    if (layer.size() != layerSize) layer.assign(layerSize, 0);
    if (segments.empty()) segments.resize(kSegmentsPerFigure);
    published.store(0, std::memory_order_relaxed);
    traced.store(false, std::memory_order_relaxed);
    abandoned.store(false, std::memory_order_relaxed);
    ends.store(Ends(0, kSegmentsPerFigure), std::memory_order_relaxed);
    headPainted.store(0, std::memory_order_relaxed);
    {
      std::lock_guard lock(wakeMutex);
      ++requested;
    }
    wake.notify_one();
  }

  // Ends the figure: nothing of it may touch the raster after this, so no more claims, and
  // every claimed segment painted. A `whole` figure gets the tail's layer laid over the raster
  // (when `layered`); one cut short leaves the layer clean for the next.
  void End(bool whole, bool layered) {
    if (!whole) abandoned.store(true, std::memory_order_relaxed);
    const std::size_t head = CloseEnds();
    int spins = 0;
    while (headPainted.load(std::memory_order_acquire) != head) Wait(spins);
    if (!whole) {
      std::fill(layer.begin(), layer.end(), 0u);
    } else if (layered) {
      LayOver(pixels, layer.data(), width, height, stride);
    }
  }

  // The figure traced on this thread and painted on both: nullopt when cancelled.
  std::optional<FigureRecord> TraceOnTwo(const FigureDraws& draws, Directions& directions,
                                         double& x1, double& y1, std::uint32_t* to, int w, int h,
                                         std::ptrdiff_t s, const std::atomic<bool>* cancel) {
    Begin(to, w, h, s);
    std::optional<FigureRecord> record;
    std::exception_ptr failure;
    bool layered = false;
    HandingCanvas canvas(segments.data(), published, cancel);
    try {
      record = TraceFigure(draws, directions, x1, y1, canvas);
      SetTail(canvas.Flush());
      traced.store(true, std::memory_order_release);
      layered = PaintTail(cancel);
    } catch (const Cancelled&) {
    } catch (...) {
      failure = std::current_exception();
    }
    const bool whole = record && !failure && !(cancel && cancel->load(std::memory_order_relaxed));
    End(whole, layered);
    if (failure) std::rethrow_exception(failure);
    if (!whole) return std::nullopt;
    return record;
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

  // Waits until the second thread has let go of every earlier figure.
  void AwaitWorker() {
    std::uint64_t last = 0;
    {
      std::lock_guard lock(wakeMutex);
      last = requested;
    }
    int spins = 0;
    while (finished.load(std::memory_order_acquire) != last) Wait(spins);
  }
};

TwoCoreTracer::TwoCoreTracer(Threads threads)
    : figure_(std::make_unique<Figure>()), threads_(threads) {}

TwoCoreTracer::~TwoCoreTracer() {
  figure_->StopWorker();
}

std::optional<FigureRecord> TwoCoreTracer::Trace(const FigureDraws& draws, Directions& directions,
                                                 double& x1, double& y1, std::uint32_t* pixels,
                                                 int width, int height, std::ptrdiff_t stride,
                                                 const std::atomic<bool>* cancel) {
  Figure& f = *figure_;
  std::unique_lock use(f.inUse, std::try_to_lock);
  const bool paced = use.owns_lock() && width > 0 && height > 0 && UsableCpus() >= 2;
  const std::size_t area = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const bool twoThreads = paced && threads_ != Threads::One &&
                          (threads_ == Threads::Two || f.pace.TwoNext(area)) && f.StartWorker();
  lastOnTwoThreads_.store(twoThreads, std::memory_order_relaxed);
  const auto start = std::chrono::steady_clock::now();
  std::optional<FigureRecord> record =
      twoThreads ? f.TraceOnTwo(draws, directions, x1, y1, pixels, width, height, stride, cancel)
                 : TraceOnOne(draws, directions, x1, y1, pixels, width, height, stride, cancel);
  if (paced && record) {
    f.pace.Took(twoThreads,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return record;
}

namespace {

// A sequence's figures on the raster Picture1, painted on two cores.
class RasterPainter final : public FigureSequence::Painter {
 public:
  RasterPainter(Picture1& raster, TwoCoreTracer::Threads threads)
      : raster_(raster), cores_(threads) {}
  FigureRecord Trace(const FigureDraws& draws, Directions& directions, double& x1,
                     double& y1) override {
    return *cores_.Trace(draws, directions, x1, y1, raster_.pixels(), Picture1::kWidth,
                         Picture1::kHeight, Picture1::kStride);
  }

 private:
  Picture1& raster_;
  TwoCoreTracer cores_;
};

}  // namespace

// Defined here rather than beside the other constructor, so that a program that traces only on
// canvases (the web page) does not link the second thread.
FigureSequence::FigureSequence(Picture1& raster, TwoCoreTracer::Threads threads)
    : canvas_(raster), painter_(std::make_unique<RasterPainter>(raster, threads)) {}

}  // namespace stringart
