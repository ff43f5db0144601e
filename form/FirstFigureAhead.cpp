#include "form/FirstFigureAhead.h"

#include <chrono>

#include "figure/FigureSequence.h"
#include "figure/Tracer.h"

namespace stringart {

FirstFigureAhead::FirstFigureAhead(DrawSource& random)
    : thread_([this, &random] {
        try {
          const auto start = std::chrono::steady_clock::now();
          random.Reseed();  // as the load handler reseeds before its figure
          const FigureDraws draws = TakeFigureDraws(random);
          FigureSequence sequence(picture_);
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
