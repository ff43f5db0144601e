#include "window/Form1.h"

#include "canvas/Picture1.h"
#include "window/Tracer.h"

namespace stringart {

void Form1::FormLoad(Directions first) {
  window_.Show();
  random_.Reseed();
  window_.ClearWindow();
  picture1_.SetBackground(PackColour(0, 0, 0));
  fre = first.red;
  fgr = first.green;
  fbl = first.blue;
  DrawFigure();
}

void Form1::Command1Click() {
  picture1_.Clear();
  DrawFigure();
}

void Form1::DrawFigure() {
  Trace(TakeFigureDraws(random_), {fre, fgr, fbl});
  history_.Append(lastFigure_);
  ++figuresTraced_;
}

bool Form1::ShowFigure(std::size_t index) {
  if (index >= history_.size()) return false;
  const FigureRecord figure = history_.At(index);
  // As "new" traced it: a cleared canvas, the same draws, the same start directions.
  picture1_.Clear();
  Trace(figure.draws, figure.start);
  history_.Show(index);
  return true;
}

bool Form1::GoBack() {
  return history_.CanGoBack() && ShowFigure(history_.shown() - 1);
}

bool Form1::GoForward() {
  return history_.CanGoForward() && ShowFigure(history_.shown() + 1);
}

void Form1::OpenFigure(const FigureRecord& figure) {
  picture1_.Clear();
  Trace(figure.draws, figure.start);
  history_.Append(lastFigure_);
}

void Form1::Trace(const FigureDraws& draws, Directions start) {
  if (auto* raster = dynamic_cast<Picture1*>(&picture1_)) {
    lastFigure_ = DrawFigureOnRaster(draws, start, x1, y1, raster->pixels(), Picture1::kWidth,
                                     Picture1::kHeight, Picture1::kStride, cores_);
  } else {
    lastFigure_ = TraceFigure(draws, start, x1, y1, picture1_);
  }
  fre = start.red;
  fgr = start.green;
  fbl = start.blue;
}

}  // namespace stringart
