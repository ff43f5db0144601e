#include "figure/FigureSequence.h"

#include "figure/Tracer.h"

namespace stringart {
namespace {

class CanvasPainter final : public FigureSequence::Painter {
 public:
  explicit CanvasPainter(Canvas& canvas) : canvas_(canvas) {}
  FigureRecord Trace(const FigureDraws& draws, Directions& directions, double& x1,
                     double& y1) override {
    return TraceFigure(draws, directions, x1, y1, canvas_);
  }

 private:
  Canvas& canvas_;
};

}  // namespace

FigureSequence::FigureSequence(Canvas& canvas)
    : canvas_(canvas), painter_(std::make_unique<CanvasPainter>(canvas)) {}

FigureSequence::~FigureSequence() = default;

FigureRecord FigureSequence::Next(const FigureDraws& draws) {
  return painter_->Trace(draws, directions, x1, y1);
}

FigureRecord FigureSequence::Next(const FigureDraws& draws, Directions start) {
  directions = start;
  return Next(draws);
}

}  // namespace stringart
