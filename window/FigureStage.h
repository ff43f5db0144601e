#pragma once

#include <QObject>
#include <QWidget>

#include "canvas/Picture1.h"
#include "export/FigureFiles.h"
#include "figure/FigureJournal.h"
#include "figure/FigureRecord.h"

namespace stringart {

// What the windows around the main one (Variations, Adjust, the journal's gallery) need of it:
// the figure on its canvas, a way to put another there, its files, and word when the figure
// changes. The main window implements it; the others never see the main window itself.
class FigureStage : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The figure on the canvas: its draws and start directions, and those it left.
  virtual const FigureRecord& figure() const = 0;
  // Whether a figure has been shown yet; figure() means nothing before.
  virtual bool hasFigure() const = 0;
  // The canvas's pixels, exactly as shown.
  virtual const Picture1& picture() const = 0;
  // Shows `figure` as a figure of its own: traced on the canvas, appended to the history and
  // kept in the journal as come from `origin`.
  virtual void Open(const FigureRecord& figure, FigureOrigin origin) = 0;
  // Traces `figure` on the canvas without adding it to the history.
  virtual void Preview(const FigureRecord& figure) = 0;
  // How figures are saved, opened and exported.
  virtual FigureFiles& files() const = 0;
  // The main window, which windows of their own open over and close with.
  virtual QWidget* window() const = 0;
  // The canvas widget, to watch its paints.
  virtual QWidget* canvas() const = 0;

 signals:
  // Another figure is on the canvas: new, back, forward, opened or chosen.
  void FigureChanged();
};

// Brings the main window's one window of type W (Variations, Adjust) to the front, making it the
// first time.
template <class W>
W* BringUp(FigureStage& stage) {
  auto* window = stage.window()->template findChild<W*>();
  if (window == nullptr) window = new W(stage);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace stringart
