#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QWidget>
#include <optional>

#include "form/Form1.h"
#include "smooth/LargePicture.h"
#include "smooth/ProgressiveFigure.h"

class QAction;
class QTimer;

namespace stringart {

// The window's actions that keep working on the full screen.
struct FullScreenKeys {
  QAction* newFigure = nullptr;
  QAction* back = nullptr;
  QAction* forward = nullptr;
  QList<QAction*> others;  // further actions whose keys work here too
};

// The figure on the whole screen: drawn anti-aliased at the screen's real pixel size as large
// pictures are, centred on black and scaled to the shorter side. Esc or F11 closes it. As a
// slideshow it asks for a new figure every few seconds and draws each one bit by bit, as the
// animations do, then holds it; any key or click that is not one of the window's ends it.
class FullScreenView final : public QWidget {
  Q_OBJECT

 public:
  // Shows what `form` shows; `slideshowSeconds` > 0 makes it a slideshow with a figure that
  // often. `form` and the actions must outlive the view.
  FullScreenView(const Form1& form, const FullScreenKeys& keys, int slideshowSeconds,
                 QWidget* parent = nullptr);

  // The window shows another figure: draw it (bit by bit in a slideshow).
  void ShowFigure();

  bool slideshow() const { return seconds_ > 0; }
  // Seconds a slideshow's figure takes to draw, of the `slideshowSeconds` it is on the screen.
  static double DrawingSeconds(int slideshowSeconds);
  // The pixels drawn so far, as many as the screen has; null before the first figure.
  const LargePicture* picture() const { return picture_ ? &*picture_ : nullptr; }
  // Whether the figure on the screen is drawn complete.
  bool complete() const { return figure_ && figure_->complete(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Draws what time has come for and schedules the next frame or the next figure.
  void Frame();

  const Form1& form_;
  FullScreenKeys keys_;
  int seconds_;
  std::optional<LargePicture> picture_;
  std::optional<ProgressiveFigure> figure_;
  QImage image_;           // shares the picture's pixels
  QTimer* frames_;         // the next bit of a slideshow's figure
  QTimer* nextFigure_;     // the slideshow's next figure
  QElapsedTimer drawing_;  // since the figure on the screen was started
};

}  // namespace stringart
