#include "form/FirstFigureAhead.h"

#include <chrono>

#include "figure/FigureSequence.h"
#include "figure/Tracer.h"
#include "runtime/Cpus.h"

namespace stringart {

FirstFigureAhead::FirstFigureAhead(DrawSource& random)
    : thread_([this, &random] {
        try {
          const auto start = std::chrono::steady_clock::now();
          random.Reseed();  // as the load handler reseeds before its figure
          const FigureDraws draws = TakeFigureDraws(random);
          // The window is being made on another CPU meanwhile: where there are only two, a
          // second tracing thread would mostly wait for one.
          FigureSequence sequence(picture_, UsableCpus() > 2 ? TwoCoreTracer::Threads::Quicker
                                                             : TwoCoreTracer::Threads::One);
          figure_ = sequence.Next(draws, Directions{});
          x1_ = sequence.x1;
          y1_ = sequence.y1;
          traceMilliseconds_ =
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                  .count();
        } catch (...) {
          failure_ = std::current_exception();
        }
      }) {}

FirstFigureAhead::~FirstFigureAhead() {
  if (thread_.joinable()) thread_.join();
}

void FirstFigureAhead::Wait() {
  if (thread_.joinable()) thread_.join();
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace stringart
