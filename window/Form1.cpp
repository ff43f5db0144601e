#include "window/Form1.h"

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
  const FigureDraws draws = TakeFigureDraws(random_);
  Directions directions{fre, fgr, fbl};
  lastFigure_ = TraceFigure(draws, directions, x1, y1, picture1_);
  fre = directions.red;
  fgr = directions.green;
  fbl = directions.blue;
  ++figuresTraced_;
}

}  // namespace stringart
