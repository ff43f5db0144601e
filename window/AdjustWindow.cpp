#include "window/AdjustWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <cmath>
#include <string>

#include "runtime/FloatText.h"
#include "window/FigureStage.h"

namespace stringart {
namespace {

constexpr double kUnit = 1.0 / AdjustWindow::kPositions;  // a draw per slider position
constexpr std::array<const char*, 3> kChannels = {"red", "green", "blue"};

std::int16_t& Channel(Directions& d, std::size_t channel) {
  return channel == 0 ? d.red : channel == 1 ? d.green : d.blue;
}

}  // namespace

const std::array<const char*, kFigureDraws> AdjustWindow::kDrawNames = {
    "pivot phase", "arm phase", "red start",      "green start",    "blue start",   "red step",
    "green step",  "blue step", "pivot x factor", "pivot y factor", "arm x factor", "arm y factor"};

AdjustWindow::AdjustWindow(FigureStage& stage)
    : QWidget(stage.window(), Qt::Window), stage_(stage), rest_(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Adjust"));
  rest_->setSingleShot(true);
  rest_->setInterval(kRestMilliseconds);
  connect(rest_, &QTimer::timeout, this, &AdjustWindow::Rest);

  auto* grid = new QGridLayout(this);
  for (std::size_t i = 0; i < kFigureDraws; ++i) {
    const int row = static_cast<int>(i);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(0, kPositions - 1);
    slider->setSingleStep(kPositions / 1000);  // arrow keys: about 0.001
    slider->setPageStep(kPositions / 50);      // Page Up and Down: about 0.02
    slider->setMinimumWidth(260);
    auto* label = new QLabel(QString::fromLatin1(kDrawNames[i]), this);
    label->setBuddy(slider);
    auto* text = new QLineEdit(this);
    text->setMaximumWidth(110);
    text->setToolTip(QStringLiteral("The exact draw, 0 \u2264 u < 1; Enter sets it"));
    grid->addWidget(label, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(text, row, 2);
    connect(slider, &QSlider::valueChanged, this, [this, i](int p) { SliderMoved(i, p); });
    connect(slider, &QSlider::sliderReleased, this, &AdjustWindow::Rest);
    connect(text, &QLineEdit::editingFinished, this, [this, i] { TextEdited(i); });
    sliders_[i] = slider;
    texts_[i] = text;
  }
  auto* toggles = new QHBoxLayout;
  toggles->addWidget(new QLabel(QStringLiteral("rising at the start:"), this));
  for (std::size_t c = 0; c < 3; ++c) {
    directions_[c] = new QCheckBox(QString::fromLatin1(kChannels[c]), this);
    toggles->addWidget(directions_[c]);
    connect(directions_[c], &QCheckBox::toggled, this,
            [this, c](bool rising) { DirectionToggled(c, rising); });
  }
  toggles->addStretch(1);
  grid->addLayout(toggles, static_cast<int>(kFigureDraws), 0, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Tab moves between controls; arrows move a slider by "
                                            "0.001, Page Up and Down by 0.02; Enter sets a typed "
                                            "value."),
                             this),
                  static_cast<int>(kFigureDraws) + 1, 0, 1, 3);

  connect(&stage_, &FigureStage::FigureChanged, this, &AdjustWindow::Load);
  Load();
}

void AdjustWindow::Load() {
  rest_->stop();  // another figure came to the canvas: a resting one is no longer there
  figure_ = kept_ = stage_.figure();
  ShowValues();
}

void AdjustWindow::ShowValues() {
  for (std::size_t i = 0; i < kFigureDraws; ++i) {
    const QSignalBlocker quiet(sliders_[i]);
    // The position below the draw: a draw the program made (24 bits) sits on one exactly.
    sliders_[i]->setValue(
        std::clamp(static_cast<int>(std::floor(figure_.draws[i] / kUnit)), 0, kPositions - 1));
    texts_[i]->setText(QString::fromStdString(FloatToText(figure_.draws[i])));
  }
  for (std::size_t c = 0; c < 3; ++c) {
    const QSignalBlocker quiet(directions_[c]);
    directions_[c]->setChecked(Channel(figure_.start, c) > 0);
  }
}

void AdjustWindow::SliderMoved(std::size_t draw, int position) {
  figure_.draws[draw] = static_cast<float>(position * kUnit);  // exact: 24 bits
  texts_[draw]->setText(QString::fromStdString(FloatToText(figure_.draws[draw])));
  stage_.Preview(figure_);
  rest_->start();
}

void AdjustWindow::TextEdited(std::size_t draw) {
  const std::string text = texts_[draw]->text().trimmed().toStdString();
  float u = 0;
  const auto [end, ec] = TextToFloat(text.data(), text.data() + text.size(), u);
  if (ec != std::errc() || end != text.data() + text.size() || !(u >= 0.0f && u < 1.0f)) {
    // Not a draw: the text goes back to the figure's.
    texts_[draw]->setText(QString::fromStdString(FloatToText(figure_.draws[draw])));
    return;
  }
  if (u == figure_.draws[draw]) return;
  figure_.draws[draw] = u;
  ShowValues();
  stage_.Preview(figure_);
  Rest();
}

void AdjustWindow::DirectionToggled(std::size_t channel, bool rising) {
  Channel(figure_.start, channel) = rising ? 1 : -1;
  stage_.Preview(figure_);
  Rest();
}

void AdjustWindow::Rest() {
  rest_->stop();
  if (figure_.draws == kept_.draws && figure_.start == kept_.start) return;
  // Comes back through FigureChanged, which loads the kept figure.
  stage_.Open(figure_, FigureOrigin::Adjusted);
}

void AdjustWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stage_.figure() != figure_) Load();
  sliders_[0]->setFocus();
}

void ShowAdjustWindow(FigureStage& stage) {
  BringUp<AdjustWindow>(stage)->slider(0)->setFocus();
}

}  // namespace stringart
