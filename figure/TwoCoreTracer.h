#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "figure/FigureRecord.h"

namespace stringart {

// Traces figures onto a raster with a second thread that it keeps for all of them: the calling
// thread traces and hands the segments on in chunks, which the second thread paints in order
// as they come; once traced, the calling thread paints from the last segment backwards until the
// two meet, so that both finish together. The pixels are exactly those of TraceFigure on a
// raster drawn with DrawLineFast.
//
// Two threads are not always quicker: with another busy process on the machine the second one
// waits for a CPU, and the first for it. So the tracer times its figures both ways, keeps to
// the quicker, and now and then tries the other way again.
class TwoCoreTracer {
 public:
  // How figures are shared out: the quicker way as measured, always on two threads where there
  // are two CPUs (tests that compare the two ways), or always on the calling thread (a figure
  // traced while the process keeps the other CPUs busy, where a second thread would wait).
  enum class Threads { Quicker, Two, One };

  explicit TwoCoreTracer(Threads threads = Threads::Quicker);
  // Stops the second thread and waits for it.
  ~TwoCoreTracer();
  TwoCoreTracer(const TwoCoreTracer&) = delete;
  TwoCoreTracer& operator=(const TwoCoreTracer&) = delete;

  // Traces the figure of `draws` as TraceFigure does over what the raster `pixels` holds (width x
  // height, `stride` pixels from one row to the next). On fewer than two usable CPUs, when the
  // second thread cannot be had, while another thread is tracing with this object, or when one
  // thread has lately been the quicker, it traces on the calling thread alone: the same pixels.
  // Returns nullopt when `cancel` turns true before the end; the raster then holds part of the
  // figure, `directions`, `x1` and `y1` are meaningless, and nothing of the figure runs on after
  // the return.
  std::optional<FigureRecord> Trace(const FigureDraws& draws, Directions& directions, double& x1,
                                    double& y1, std::uint32_t* pixels, int width, int height,
                                    std::ptrdiff_t stride,
                                    const std::atomic<bool>* cancel = nullptr);

  // Whether the Trace that began last painted on both threads.
  bool lastOnTwoThreads() const { return lastOnTwoThreads_.load(std::memory_order_relaxed); }

 private:
  struct Figure;
  std::unique_ptr<Figure> figure_;
  const Threads threads_;
  std::atomic<bool> lastOnTwoThreads_{false};  // callers on several threads may ask
};

}  // namespace stringart
