#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "figure/FigureRecord.h"
#include "options/ExportRequest.h"

class QLabel;
class QSlider;
class QPushButton;

namespace stringart {

class FigureStage;
class MorphButton;

// The window "Variations": the figure on the main window's canvas in the middle of a 3 x 3 grid,
// and around it eight figures with its start directions whose draws each lie within a strength
// of its own. Arrow keys move the selection, Enter or a click shows the selected figure on the
// main window (a new figure of its history) and centres the grid on it, Space draws eight new
// ones. Each tile is the exact figure scaled down, traced on every core.
class VariationsWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTiles = 9, kCentre = 4;
  static constexpr int kTileSide = 160;  // pixels of a tile
  static constexpr int kGap = 6;         // pixels between tiles and around the grid

  // Follows the figure on `stage`; a window of its own, closed with the main window.
  explicit VariationsWindow(FigureStage& stage);

  // Takes the main window's figure as the centre and draws eight variations of it.
  void Recentre();
  // Eight new variations of the centre.
  void Shuffle();
  // Moves the selection by whole tiles, staying on the grid.
  void MoveSelection(int columns, int rows);
  void Select(int tile);
  // Shows the selected figure on the main window; nothing for the centre, already there.
  void Choose();

  // The strength of the variations, each draw moving by at most this much.
  double strength() const;
  void SetStrength(double strength);

  // Starts writing a morph from the centre to the selected figure into the file, size, length
  // and rate of `request` off the window's thread, with a progress dialog; false with `error` set
  // when it cannot start.
  bool StartMorph(ExportRequest request, QString& error);
  bool exporting() const;

  const FigureRecord& figure(int tile) const { return figures_[tile]; }
  // The tile's kTileSide x kTileSide pixels, 0xFFRRGGBB.
  const std::vector<std::uint32_t>& tile(int tile) const { return tiles_[tile]; }
  int selected() const { return selected_; }
  MorphButton* saveMorphButton() const { return saveMorph_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QRect TileRect(int tile) const;
  // Traces the eight figures around the centre and repaints.
  void TraceGrid();

  FigureStage& stage_;
  std::array<FigureRecord, kTiles> figures_{};
  std::array<std::vector<std::uint32_t>, kTiles> tiles_;
  int selected_ = kCentre;
  std::uint64_t seed_;  // where the variations' random sequence stands
  QSlider* strength_;
  QLabel* strengthText_;  // the strength's value, beside its slider
  MorphButton* saveMorph_;
};

// Brings up the main window's Variations window, making it the first time, centred on its figure.
void ShowVariationsWindow(FigureStage& stage);

}  // namespace stringart
