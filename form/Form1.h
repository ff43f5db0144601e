#pragma once

#include <cstdint>

#include "canvas/Canvas.h"
#include "canvas/Picture1.h"
#include "figure/FigureHistory.h"
#include "figure/FigureJournal.h"
#include "figure/FigureRecord.h"
#include "figure/FigureSequence.h"
#include "form/FirstFigureAhead.h"
#include "runtime/DrawSource.h"

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
  // On the raster Picture1, each figure traced and painted on two cores where there are two.
  Form1(WindowServices& window, Picture1& picture1, DrawSource& random)
      : window_(window),
        picture1_(picture1),
        raster_(&picture1),
        random_(random),
        figures_(picture1) {}
  // On any canvas, segment by segment.
  Form1(WindowServices& window, Canvas& picture1, DrawSource& random)
      : window_(window), picture1_(picture1), random_(random), figures_(picture1) {}

  // Load handler: show the window, reseed, clear the window, black canvas, directions `first`
  // (+1 each in the program), then the first figure.
  void FormLoad(Directions first = {});
  // The same with the first figure traced ahead, from rising directions: shown once it is done,
  // the same pixels, history, journal row and state as FormLoad. Only on the raster.
  void FormLoad(FirstFigureAhead& ahead);
  // The load handler for a start that names its figures (files, draws on the command line):
  // all of it but the random figure. The figures named come with OpenFigure; when none of them
  // can be had, FirstFigure draws the random one after all.
  void FormLoadNamed();
  void FirstFigure() { DrawFigure(FigureOrigin::Start); }
  // "new": clear the canvas and trace a figure, keeping the directions the last one left.
  void Command1Click();
  // Reseeds, takes the twelve draws and traces one figure over whatever the canvas shows, then
  // appends it to the history and the journal as made by `origin`.
  void DrawFigure(FigureOrigin origin = FigureOrigin::New);

  // From now on every figure shown anew is recorded in `journal` (null: none), and going back
  // from the run's first figure goes on into the figures it kept in earlier runs. `journal`
  // must outlive this Form1 or be replaced first.
  void KeepIn(FigureJournal* journal) { journal_ = journal; }

  // Traces the figure at `index` of the history again on a cleared canvas, the same pixels as
  // the first time, and takes the directions it left: the next "new" goes on from it. False,
  // changing nothing, when there is no such figure.
  bool ShowFigure(std::size_t index);
  // The figure before or after the one shown; false, changing nothing, at either end. Back from
  // the run's first figure goes on into earlier runs' figures, newest first.
  bool GoBack();
  bool GoForward();
  // Whether GoBack would show a figure; may fetch earlier runs' figures from the journal.
  bool CanGoBack();
  // The one way to put a given figure on the screen as a figure of its own (opened from a file,
  // chosen in the gallery, a variation): traces `figure` from its draws and start directions on
  // a cleared canvas, appends it to the history as if "new" had made it, and records it in the
  // journal as come from `origin`. Its end directions are those the trace leaves.
  void OpenFigure(const FigureRecord& figure, FigureOrigin origin = FigureOrigin::Opened);
  // Traces `figure` on a cleared canvas without adding it to the history: a figure being
  // adjusted, shown until it is kept with OpenFigure or left by any other way.
  void Preview(const FigureRecord& figure);

  // The draws and directions of the last traced figure: the one on the canvas.
  const FigureRecord& lastFigure() const { return lastFigure_; }
  // Whether the canvas shows a figure, however it came (traced anew, opened, chosen, gone back
  // to, previewed): lastFigure() describes it. False only before the first one is traced.
  bool showsFigure() const { return showsFigure_; }
  const FigureHistory& history() const { return history_; }
  // How many figures DrawFigure has traced.
  long figuresTraced() const { return figuresTraced_; }

 private:
  // Traces from `draws` and `start` and takes the directions the figure leaves.
  void Trace(const FigureDraws& draws, Directions start);
  // A new figure is about to be traced: into the journal.
  void Record(const FigureDraws& draws, Directions start, FigureOrigin origin);
  // Fetches earlier runs' figures from the journal until `back` of them are known or none is
  // left.
  void FetchEarlier(std::size_t back);
  // Shows the earlier run's figure `back` places before the run's first, traced again.
  bool ShowEarlier(std::size_t back);

  WindowServices& window_;
  Canvas& picture1_;
  Picture1* raster_ = nullptr;  // picture1_, where it is the raster
  DrawSource& random_;
  FigureRecord lastFigure_;
  bool showsFigure_ = false;
  FigureHistory history_;
  long figuresTraced_ = 0;
  FigureJournal* journal_ = nullptr;
  std::int64_t earliestFetched_ = 0;  // row of the oldest earlier figure fetched; 0: none yet
  bool earlierExhausted_ = false;
  // Carries the directions and the arm's end from figure to figure; its second thread, on the
  // raster, ends with the form.
  FigureSequence figures_;

 public:
  // The fields the figures carry, held by the sequence.
  std::int16_t &fre = figures_.directions.red, &fgr = figures_.directions.green,
               &fbl = figures_.directions.blue;  // colour directions: +1 rising, -1 falling
  double &x1 = figures_.x1, &y1 = figures_.y1;   // arm's outer end at the last step, figure units
};

}  // namespace stringart
