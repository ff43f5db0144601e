#pragma once

#include <QWidget>
#include <array>

#include "figure/FigureRecord.h"

class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QSlider;
class QTimer;

namespace stringart {

class FigureStage;

// The window "Adjust": the twelve draws of the main window's figure as sliders, each with its
// exact value as text, and its three start directions as toggles. Moving a slider retraces the
// canvas at once, without touching the history; once the slider rests (released, or still for
// kRestMilliseconds) the figure on the canvas joins the history. Text and toggles change the
// figure and keep it at once.
class AdjustWindow final : public QWidget {
  Q_OBJECT

 public:
  // A slider's positions: a draw is position / kPositions, exactly, as the program's draws are.
  static constexpr int kPositions = 1 << 24;
  static constexpr int kRestMilliseconds = 500;
  // What each draw sets, in draw order.
  static const std::array<const char*, kFigureDraws> kDrawNames;

  // Follows the figure on `stage`; a window of its own, closed with the main window.
  explicit AdjustWindow(FigureStage& stage);

  // Takes the main window's figure into the sliders, texts and toggles.
  void Load();
  // The figure as adjusted: on the canvas, and in the history once it rests.
  const FigureRecord& figure() const { return figure_; }
  // Keeps the figure on the canvas in the history, if it is not there yet.
  void Rest();

  QSlider* slider(std::size_t draw) const { return sliders_[draw]; }
  QLineEdit* text(std::size_t draw) const { return texts_[draw]; }
  QCheckBox* direction(std::size_t channel) const { return directions_[channel]; }
  // What was wrong with the last value typed; empty when nothing was.
  QString problem() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLayout* MakeDirections();  // the three start directions' boxes, in a row
  void SliderMoved(std::size_t draw, int position);
  void TextEdited(std::size_t draw);
  void DirectionToggled(std::size_t channel, bool rising);
  // Shows the figure's draw and directions in the controls, signals held back.
  void ShowValues();
  // A draw as its text box shows it.
  QString DrawText(float draw) const;

  FigureStage& stage_;
  FigureRecord figure_, kept_;  // as adjusted; as last in the history
  std::array<QSlider*, kFigureDraws> sliders_{};
  std::array<QLineEdit*, kFigureDraws> texts_{};
  std::array<QCheckBox*, 3> directions_{};
  QLabel* problem_;
  QTimer* rest_;
};

// Brings up the main window's Adjust window, making it the first time, focus on its first slider.
void ShowAdjustWindow(FigureStage& stage);

}  // namespace stringart
