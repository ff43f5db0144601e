#include "window/AdjustWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
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
constexpr std::array<const char*, 3> kChannels = {
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "red"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "green"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "blue")};

std::int16_t& Channel(Directions& d, std::size_t channel) {
  return channel == 0 ? d.red : channel == 1 ? d.green : d.blue;
}

}  // namespace

// Marked for translation here, translated where shown.
const std::array<const char*, kFigureDraws> AdjustWindow::kDrawNames = {
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "pivot phase"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "arm phase"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "red start"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "green start"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "blue start"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "red step"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "green step"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "blue step"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "pivot x factor"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "pivot y factor"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "arm x factor"),
    QT_TRANSLATE_NOOP("stringart::AdjustWindow", "arm y factor"),
};

AdjustWindow::AdjustWindow(FigureStage& stage)
    : QWidget(stage.window(), Qt::Window),
      stage_(stage),
      problem_(new QLabel(this)),
      rest_(new QTimer(this)) {
  setWindowTitle(tr("Adjust"));
  new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
  // The style's own focus mark on a slider is a faint dotted line, easily lost among twelve.
  setStyleSheet(
      QStringLiteral("QSlider:focus { border: 2px solid palette(highlight); "
                     "border-radius: 3px; }"));
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
    auto* label = new QLabel(tr(kDrawNames[i]), this);
    label->setBuddy(slider);
    auto* text = new QLineEdit(this);
    text->setMaximumWidth(110);
    text->setToolTip(tr("The exact draw, 0 \u2264 u < 1; Enter sets it"));
    grid->addWidget(label, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(text, row, 2);
    connect(slider, &QSlider::valueChanged, this, [this, i](int p) { SliderMoved(i, p); });
    connect(slider, &QSlider::sliderReleased, this, &AdjustWindow::Rest);
    connect(text, &QLineEdit::editingFinished, this, [this, i] { TextEdited(i); });
    sliders_[i] = slider;
    texts_[i] = text;
  }
  grid->addLayout(MakeDirections(), static_cast<int>(kFigureDraws), 0, 1, 3);
  // The steps with the locale's decimal point, as the fields beside them show draws.
  grid->addWidget(new QLabel(tr("Tab moves between controls; arrows move a slider by %1, "
                                "Page Up and Down by %2; Enter sets a typed value; Escape "
                                "closes.")
                                 .arg(locale().toString(0.001), locale().toString(0.02)),
                             this),
                  static_cast<int>(kFigureDraws) + 1, 0, 1, 3);
  problem_->setTextFormat(Qt::PlainText);  // it repeats what was typed
  problem_->setForegroundRole(QPalette::Highlight);
  grid->addWidget(problem_, static_cast<int>(kFigureDraws) + 2, 0, 1, 3);

  connect(&stage_, &FigureStage::FigureChanged, this, &AdjustWindow::Load);
  Load();
}

QLayout* AdjustWindow::MakeDirections() {
  auto* toggles = new QHBoxLayout;
  toggles->addWidget(new QLabel(tr("rising at the start:"), this));
  for (std::size_t c = 0; c < 3; ++c) {
    directions_[c] = new QCheckBox(tr(kChannels[c]), this);
    toggles->addWidget(directions_[c]);
    connect(directions_[c], &QCheckBox::toggled, this,
            [this, c](bool rising) { DirectionToggled(c, rising); });
  }
  toggles->addStretch(1);
  return toggles;
}

void AdjustWindow::Load() {
  rest_->stop();  // another figure came to the canvas: a resting one is no longer there
  figure_ = kept_ = stage_.figure();
  ShowValues();
}

void AdjustWindow::ShowValues() {
  problem_->clear();
  for (std::size_t i = 0; i < kFigureDraws; ++i) {
    const QSignalBlocker quiet(sliders_[i]);
    // The position below the draw: a draw the program made (24 bits) sits on one exactly.
    sliders_[i]->setValue(
        std::clamp(static_cast<int>(std::floor(figure_.draws[i] / kUnit)), 0, kPositions - 1));
    texts_[i]->setText(DrawText(figure_.draws[i]));
  }
  for (std::size_t c = 0; c < 3; ++c) {
    const QSignalBlocker quiet(directions_[c]);
    directions_[c]->setChecked(Channel(figure_.start, c) > 0);
  }
}

void AdjustWindow::SliderMoved(std::size_t draw, int position) {
  figure_.draws[draw] = static_cast<float>(position * kUnit);  // exact: 24 bits
  texts_[draw]->setText(DrawText(figure_.draws[draw]));
  stage_.Preview(figure_);
  rest_->start();
}

QString AdjustWindow::DrawText(float draw) const {
  // The shortest text that reads back exactly, with the locale's decimal point as the strength
  // beside it has.
  return QString::fromStdString(FloatToText(draw))
      .replace(QLatin1Char('.'), locale().decimalPoint());
}

void AdjustWindow::TextEdited(std::size_t draw) {
  // The locale's decimal point, or a point as a command line writes it.
  const std::string text = texts_[draw]
                               ->text()
                               .trimmed()
                               .replace(locale().decimalPoint(), QStringLiteral("."))
                               .toStdString();
  float u = 0;
  const auto [end, ec] = TextToFloat(text.data(), text.data() + text.size(), u);
  if (ec != std::errc() || end != text.data() + text.size() || !(u >= 0.0f && u < 1.0f)) {
    // Left as typed, to be mended; the figure keeps its draw until then.
    problem_->setText(tr("%1 is not a draw for %2: type a number from 0 up to, but not "
                         "including, 1.")
                          .arg(texts_[draw]->text().trimmed(), tr(kDrawNames[draw])));
    texts_[draw]->selectAll();
    return;
  }
  problem_->clear();
  if (u == figure_.draws[draw]) return;
  figure_.draws[draw] = u;
  ShowValues();
  stage_.Preview(figure_);
  Rest();
}

QString AdjustWindow::problem() const {
  return problem_->text();
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
