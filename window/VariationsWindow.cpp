#include "window/VariationsWindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <random>

#include "canvas/AreaAverage.h"
#include "figure/FigureTiles.h"
#include "figure/Variation.h"
#include "options/ExportLimits.h"
#include "window/ExportNote.h"
#include "window/FigureStage.h"
#include "window/Messages.h"
#include "window/MorphButton.h"
#include "window/Settings.h"

namespace stringart {
namespace {

constexpr int kGridSide = 3 * VariationsWindow::kTileSide + 4 * VariationsWindow::kGap;
constexpr int kNoteHeight = 40;  // pixels, as the main window's note
// The strength slider's steps: from subtle to wild, kSubtleStrength apart.
// The strength slider's steps, from subtle to wild on a scale of ratios: each step multiplies
// the strength by the same factor, so that the slider's length goes where the changes show
// (between subtle and the default as much as between the default and wild).
constexpr int kStrengthSteps = 200;

}  // namespace

VariationsWindow::VariationsWindow(FigureStage& stage)
    : QWidget(stage.window(), Qt::Window),
      stage_(stage),
      seed_(std::random_device{}() * 0x100000001ull),
      strength_(new QSlider(Qt::Horizontal, this)),
      strengthText_(new QLabel(this)),
      saveMorph_(new MorphButton(
          stage.files(),
          [this](FigureRecord& from, FigureRecord& to, QString& error) {
            if (selected_ == kCentre) {
              error = tr("Select a figure around the centre to morph into.");
              return false;
            }
            from = figures_[kCentre];
            to = figures_[selected_];
            return true;
          },
          tr("Save a morph from the centre to the selected figure (Ctrl+M)"), this)) {
  setWindowTitle(tr("Variations"));
  setFocusPolicy(Qt::StrongFocus);
  strength_->setRange(0, kStrengthSteps);
  strength_->setFocusPolicy(Qt::TabFocus);  // arrows belong to the grid until Tab
  strength_->setToolTip(tr("How far the variations stray (Tab, then arrow keys)"));
  strength_->setPageStep(kStrengthSteps / 10);
  strengthText_->setMinimumWidth(strengthText_->fontMetrics().horizontalAdvance("0.000") + 4);
  strengthText_->setAccessibleName(tr("Strength"));
  connect(strength_, &QSlider::valueChanged, this, [this] {
    strengthText_->setText(locale().toString(strength(), 'f', 3));
    settings::SetVariationStrength(strength());
    Shuffle();
  });
  SetStrength(settings::VariationStrength(kDefaultStrength));
  strengthText_->setText(locale().toString(strength(), 'f', 3));
  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(tr("subtle"), this));
  controls->addWidget(strength_, 1);
  controls->addWidget(new QLabel(tr("wild"), this));
  controls->addWidget(strengthText_);
  controls->addSpacing(12);
  controls->addWidget(saveMorph_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kGap, kGridSide + kGap, kGap, kGap);  // the grid is painted above
  layout->addLayout(controls);
  layout->addWidget(new QLabel(tr("Arrows select, Enter or a click shows, Space shuffles."), this));
  // The note of a morph written has a place of its own under the controls, kept while it is
  // hidden: shown over the grid, it hid the top row's tiles.
  auto* notePlace = new QWidget(this);
  notePlace->setFixedSize(kGridSide - 2 * kGap, kNoteHeight);
  saveMorph_->note()->setParent(notePlace);
  saveMorph_->note()->setGeometry(0, 0, notePlace->width(), kNoteHeight);
  layout->addWidget(notePlace);
  setFixedWidth(kGridSide);
  setFixedHeight(sizeHint().height());

  connect(&stage_, &FigureStage::FigureChanged, this, [this] {
    if (isVisible()) Recentre();
  });
}

double VariationsWindow::strength() const {
  return kSubtleStrength *
         std::pow(kWildStrength / kSubtleStrength, strength_->value() / double(kStrengthSteps));
}

void VariationsWindow::SetStrength(double strength) {
  strength = std::isfinite(strength) ? std::clamp(strength, kSubtleStrength, kWildStrength)
                                     : kDefaultStrength;
  strength_->setValue(
      static_cast<int>(std::lround(kStrengthSteps * std::log(strength / kSubtleStrength) /
                                   std::log(kWildStrength / kSubtleStrength))));
}

void VariationsWindow::Recentre() {
  figures_[kCentre] = stage_.figure();
  // The canvas shows that figure exactly: scaling it down spares a trace.
  tiles_[kCentre].resize(kTileSide * kTileSide);
  AreaAverage(stage_.picture().pixels(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
              tiles_[kCentre].data(), kTileSide, kTileSide, kTileSide);
  Shuffle();
}

void VariationsWindow::Shuffle() {
  const FigureRecord& centre = figures_[kCentre];
  for (int i = 0; i < kTiles; ++i) {
    if (i != kCentre) figures_[i] = {VaryDraws(centre.draws, strength(), seed_), centre.start, {}};
  }
  selected_ = kCentre;
  TraceGrid();
}

void VariationsWindow::TraceGrid() {
  // The eight around the centre, in a row of their own on every core.
  std::array<FigureRecord, kTiles - 1> around;
  std::array<std::vector<std::uint32_t>, kTiles - 1> traced;
  for (int i = 0, j = 0; i < kTiles; ++i) {
    if (i != kCentre) around[j++] = figures_[i];
  }
  TraceTiles(around, kTileSide, traced);
  for (int i = 0, j = 0; i < kTiles; ++i) {
    if (i != kCentre) tiles_[i].swap(traced[j++]);
  }
  update();
}

void VariationsWindow::MoveSelection(int columns, int rows) {
  const int column = std::clamp(selected_ % 3 + columns, 0, 2);
  const int row = std::clamp(selected_ / 3 + rows, 0, 2);
  Select(row * 3 + column);
}

void VariationsWindow::Select(int tile) {
  if (tile < 0 || tile >= kTiles || tile == selected_) return;
  selected_ = tile;
  update();
}

void VariationsWindow::Choose() {
  // The main window's new figure comes back through FigureChanged and centres the grid.
  if (selected_ != kCentre) stage_.Open(figures_[selected_], FigureOrigin::Variation);
}

QRect VariationsWindow::TileRect(int tile) const {
  return QRect(kGap + (tile % 3) * (kTileSide + kGap), kGap + (tile / 3) * (kTileSide + kGap),
               kTileSide, kTileSide);
}

void VariationsWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int i = 0; i < kTiles; ++i) {
    if (tiles_[i].empty()) continue;
    const QImage image(reinterpret_cast<const uchar*>(tiles_[i].data()), kTileSide, kTileSide,
                       kTileSide * 4, QImage::Format_RGB32);
    painter.drawImage(TileRect(i), image);
  }
  // The selection framed in the highlight colour, the centre in a quiet one.
  const int half = kGap / 2;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(palette().color(QPalette::Mid), 1));
  painter.drawRect(TileRect(kCentre).adjusted(-half, -half, half - 1, half - 1));
  painter.setPen(QPen(palette().color(QPalette::Highlight), half));
  painter.drawRect(TileRect(selected_).adjusted(-half / 2 - 1, -half / 2 - 1, half / 2, half / 2));
}

void VariationsWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: MoveSelection(-1, 0); break;
    case Qt::Key_Right: MoveSelection(1, 0); break;
    case Qt::Key_Up: MoveSelection(0, -1); break;
    case Qt::Key_Down: MoveSelection(0, 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: Choose(); break;
    case Qt::Key_Space: Shuffle(); break;
    case Qt::Key_Escape: close(); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

void VariationsWindow::mousePressEvent(QMouseEvent* event) {
  for (int i = 0; i < kTiles; ++i) {
    if (event->button() == Qt::LeftButton && TileRect(i).contains(event->position().toPoint())) {
      setFocus();
      Select(i);
      Choose();
      return;
    }
  }
  QWidget::mousePressEvent(event);
}

void VariationsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (figures_[kCentre] != stage_.figure() || tiles_[kCentre].empty()) Recentre();
}

bool VariationsWindow::StartMorph(ExportRequest request, QString& error) {
  return saveMorph_->Start(std::move(request), error);
}

bool VariationsWindow::exporting() const {
  return saveMorph_->writing();
}

void ShowVariationsWindow(FigureStage& stage) {
  BringUp<VariationsWindow>(stage)->setFocus();
}

}  // namespace stringart
