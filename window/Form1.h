#pragma once

#include <cstdint>

#include "canvas/Canvas.h"
#include "runtime/DrawSource.h"
#include "window/FigureHistory.h"
#include "window/FigureRecord.h"
#include "window/TwoCoreTracer.h"

namespace stringart {

// What Form1 needs of the window it lives in; the Qt window provides it.
class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // Makes the window visible (not modal, no owner) before it returns.
  virtual void Show() = 0;
  // Paints the window's own area, outside its controls, in the window's background colour.
  virtual void ClearWindow() = 0;
};

// The program's window logic, free of any toolkit: the figure fields, the two handlers and the
// history of the run's figures. Draws on the canvas Picture1 and takes its draws from `random`.
class Form1 {
 public:
  Form1(WindowServices& window, Canvas& picture1, DrawSource& random)
      : window_(window), picture1_(picture1), random_(random) {}

  // Load handler: show the window, reseed, clear the window, black canvas, directions `first`
  // (+1 each in the program), then the first figure.
  void FormLoad(Directions first = {});
  // "new": clear the canvas and trace a figure, keeping the directions the last one left.
  void Command1Click();
  // Reseeds, takes the twelve draws and traces one figure over whatever the canvas shows, then
  // appends it to the history.
  void DrawFigure();

  // Traces the figure at `index` of the history again on a cleared canvas, the same pixels as
  // the first time, and takes the directions it left: the next "new" goes on from it. False,
  // changing nothing, when there is no such figure.
  bool ShowFigure(std::size_t index);
  // The figure before or after the one shown; false, changing nothing, at either end.
  bool GoBack();
  bool GoForward();
  // Traces `figure` from its draws and start directions on a cleared canvas and appends it to
  // the history, as if "new" had made it; its end directions are those the trace leaves.
  void OpenFigure(const FigureRecord& figure);

  // The draws and directions of the last traced figure: the one on the canvas.
  const FigureRecord& lastFigure() const { return lastFigure_; }
  const FigureHistory& history() const { return history_; }
  // How many figures DrawFigure has traced.
  long figuresTraced() const { return figuresTraced_; }

  std::int16_t fre = 0, fgr = 0, fbl = 0;  // colour directions: +1 rising, -1 falling
  double x1 = 0, y1 = 0;                   // arm's outer end at the last step, figure units

 private:
  // Traces from `draws` and `start` and takes the directions the figure leaves.
  void Trace(const FigureDraws& draws, Directions start);

  WindowServices& window_;
  Canvas& picture1_;
  DrawSource& random_;
  FigureRecord lastFigure_;
  FigureHistory history_;
  long figuresTraced_ = 0;
  // Traces onto the raster on both CPUs when the canvas is the raster Picture1; its second
  // thread ends with the form.
  TwoCoreTracer cores_;
};

}  // namespace stringart
