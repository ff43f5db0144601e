#include "window/PaperDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "runtime/AtomicFile.h"
#include "text/Quote.h"
#include "window/FileChoice.h"
#include "window/Messages.h"
#include "window/PaperPreview.h"
#include "window/Settings.h"

namespace stringart {
namespace {

constexpr int kPreviewPixels = 240;  // along the sheet's longer side

QColor ToQColor(Colour colour) {
  return QColor(colour.red(), colour.green(), colour.blue());
}

QDoubleSpinBox* Millimetres(double least, double most, double value, int decimals, double step) {
  auto* box = new QDoubleSpinBox;
  box->setRange(least, most);
  box->setDecimals(decimals);
  box->setSingleStep(step);
  box->setValue(value);
  box->setSuffix(QStringLiteral(" mm"));
  box->setAccelerated(true);
  return box;
}

// A swatch's face: the pen's colour, framed so that black and white show on any style.
QIcon SwatchIcon(Colour colour) {
  QPixmap face(20, 20);
  face.fill(ToQColor(colour));
  QPainter painter(&face);
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(0, 0, 19, 19);
  return QIcon(face);
}

}  // namespace

PaperDialog::PaperDialog(const FigureRecord& figure, const QString& folder, QWidget* parent)
    : QDialog(parent), figureName_(QString::fromStdString(FigureName(figure))), folder_(folder) {
  setWindowTitle(tr("Save for paper"));
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  segments_ = drawing.segments();

  summary_ = new QLabel;
  summary_->setWordWrap(true);
  summary_->setTextFormat(Qt::PlainText);
  summary_->setMinimumWidth(summary_->fontMetrics().averageCharWidth() * 60);
  form_ = new QFormLayout;
  kind_ = new QComboBox;
  kind_->addItem(tr("Plotter SVG, a layer for each pen"));
  kind_->addItem(tr("HPGL for a pen plotter"));
  kind_->addItem(tr("PDF to print, vectors"));
  kind_->addItem(tr("PNG to print"));
  kind_->addItem(tr("G-code for a pen plotter (GRBL)"));
  form_->addRow(tr("&Kind:"), kind_);
  AddSheetRows(*form_);
  AddPenRows(*form_);
  AddFileRow(*form_);

  problem_ = NewProblemLabel();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Save)->setDefault(true);  // Return takes the proposal
  preview_ = new QLabel;
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setMinimumSize(kPreviewPixels, kPreviewPixels);
  preview_->setAccessibleName(tr("Preview"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  auto* sides = new QHBoxLayout;
  sides->addLayout(form_);
  sides->addWidget(preview_, 0, Qt::AlignTop);
  layout->addLayout(sides);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(buttons, &QDialogButtonBox::accepted, this, &PaperDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PaperDialog::reject);
  connect(kind_, &QComboBox::currentIndexChanged, this, &PaperDialog::ChoiceChanged);
  ReadSettings();
  ReducePens();
  // One's own pens, as last saved, where they are as many as the pens asked for.
  if (!keptPens_.empty() && static_cast<int>(keptPens_.size()) == penCount_->value()) {
    pens_ = keptPens_;
    ownPens_ = true;
    PensChanged();
  }
  kind_->setFocus();
}

void PaperDialog::ReadSettings() {
  PaperSettings fallback;
  fallback.paper = kPapers[1].size;  // A3, the size most plotters take
  fallback.pens.count = penCount_->value();
  fallback.penWidth = static_cast<float>(penWidth_->value());
  fallback.dpi = dpi_->value();
  const PaperSettings kept = stringart::settings::PaperChoices(fallback);
  kind_->setCurrentIndex(std::clamp(stringart::settings::PaperKind(0), 0, kind_->count() - 1));
  // Each box keeps a value kept out of its range within it.
  width_->setValue(kept.paper.width);
  height_->setValue(kept.paper.height);
  orientation_->setCurrentIndex(kept.landscape ? 1 : 0);
  margin_->setValue(kept.margin);
  penCount_->setValue(kept.pens.count);
  penWidth_->setValue(kept.penWidth);
  dpi_->setValue(kept.dpi);
  onWhite_->setChecked(kept.onWhite);
  plotMinutes_->setValue(static_cast<int>(kept.plotMinutes));
  paperColour_ = kept.paperColour;
  paperColourButton_->setIcon(SwatchIcon(paperColour_.value_or(PackColour(255, 255, 255))));
  keptPens_ = kept.pens.colours;
}

void PaperDialog::AddSheetRows(QFormLayout& form) {
  paper_ = new QComboBox;
  for (const NamedPaper& named : kPapers) {
    paper_->addItem(tr("%1 (%2 \u00d7 %3 mm)")
                        .arg(QString::fromUtf8(named.name.data(), named.name.size()))
                        .arg(QLocale().toString(named.size.width))
                        .arg(QLocale().toString(named.size.height)),
                    QSizeF(named.size.width, named.size.height));
  }
  paper_->addItem(tr("Other size"));
  paper_->setCurrentIndex(1);  // A3, the size most plotters take
  width_ = Millimetres(kMinPaperSide, kMaxPaperSide, kPapers[1].size.width, 1, 1);
  height_ = Millimetres(kMinPaperSide, kMaxPaperSide, kPapers[1].size.height, 1, 1);
  width_->setAccessibleName(tr("Paper width"));
  height_->setAccessibleName(tr("Paper height"));
  sides_ = new QWidget;
  auto* sides = new QHBoxLayout(sides_);
  sides->setContentsMargins(0, 0, 0, 0);
  sides->addWidget(width_);
  sides->addWidget(new QLabel(QStringLiteral("\u00d7")));
  sides->addWidget(height_);
  sides->addStretch();
  orientation_ = new QComboBox;
  orientation_->addItem(tr("Portrait"));
  orientation_->addItem(tr("Landscape, the longer side across"));
  margin_ = Millimetres(0, kMaxMargin, kDefaultMargin, 1, 1);
  form.addRow(tr("&Paper:"), paper_);
  form.addRow(tr("&Width \u00d7 height:"), sides_);
  static_cast<QLabel*>(form.labelForField(sides_))->setBuddy(width_);
  form.addRow(tr("&Orientation:"), orientation_);
  form.addRow(tr("&Margin:"), margin_);

  connect(paper_, &QComboBox::activated, this, [this](int index) {
    const QSizeF size = paper_->itemData(index).toSizeF();
    if (size.isEmpty()) return;  // "Other size": the boxes keep what they hold
    const QSignalBlocker blockWidth(width_), blockHeight(height_);
    width_->setValue(size.width());
    height_->setValue(size.height());
    ChoiceChanged();
  });
  auto sidesEdited = [this] {
    const int named = paper_->findData(
        QSizeF(static_cast<float>(width_->value()), static_cast<float>(height_->value())));
    paper_->setCurrentIndex(named >= 0 ? named : paper_->count() - 1);
    ChoiceChanged();
  };
  connect(width_, &QDoubleSpinBox::valueChanged, this, sidesEdited);
  connect(height_, &QDoubleSpinBox::valueChanged, this, sidesEdited);
  connect(orientation_, &QComboBox::currentIndexChanged, this, &PaperDialog::ChoiceChanged);
  connect(margin_, &QDoubleSpinBox::valueChanged, this, &PaperDialog::ChoiceChanged);
}

void PaperDialog::AddPenRows(QFormLayout& form) {
  penCount_ = new QSpinBox;
  penCount_->setRange(kMinPens, kMaxPens);
  penCount_->setValue(kDefaultPens);
  penRow_ = new QWidget;
  auto* row = new QHBoxLayout(penRow_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(penCount_);
  for (int i = 0; i < kMaxPens; ++i) {
    auto* swatch = new QToolButton;
    swatch->setAutoRaise(true);
    swatch->setIconSize(QSize(20, 20));
    connect(swatch, &QToolButton::clicked, this, [this, i] { ChoosePenColour(i); });
    swatches_ << swatch;
    row->addWidget(swatch);
  }
  auto* reset = new QToolButton;
  reset->setText(tr("Figure's colours"));
  reset->setToolTip(tr("The figure's colours brought down to this many pens"));
  row->addWidget(reset);
  row->addStretch();
  penWidth_ = Millimetres(kMinPenWidth, kMaxPenWidth, kDefaultPenWidth, 2, 0.05);
  dpi_ = new QSpinBox;
  dpi_->setRange(kMinDpi, kMaxDpi);
  dpi_->setValue(kDefaultDpi);
  dpi_->setSuffix(tr(" dpi"));
  onWhite_ = new QCheckBox(tr("White paper: no black ground"));
  plotMinutes_ = new QSpinBox;
  plotMinutes_->setRange(static_cast<int>(kMinPlotMinutes), static_cast<int>(kMaxPlotMinutes));
  plotMinutes_->setValue(static_cast<int>(kDefaultPlotMinutes));
  plotMinutes_->setSuffix(tr(" min"));
  plotMinutes_->setToolTip(tr("The longest the plot may take; lines are left out until it fits"));
  paperColourButton_ = new QToolButton;
  paperColourButton_->setIconSize(QSize(20, 20));
  paperColourButton_->setToolTip(tr("The paper's colour: click for another"));
  form.addRow(tr("P&ens:"), penRow_);
  static_cast<QLabel*>(form.labelForField(penRow_))->setBuddy(penCount_);
  form.addRow(tr("Pen wi&dth:"), penWidth_);
  form.addRow(tr("Plot &time:"), plotMinutes_);
  form.addRow(tr("Paper &colour:"), paperColourButton_);
  form.addRow(tr("&Resolution:"), dpi_);
  form.addRow(QString(), onWhite_);
  connect(penCount_, &QSpinBox::valueChanged, this, &PaperDialog::ReducePens);
  connect(reset, &QToolButton::clicked, this, &PaperDialog::ReducePens);
  connect(penWidth_, &QDoubleSpinBox::valueChanged, this, &PaperDialog::ChoiceChanged);
  connect(dpi_, &QSpinBox::valueChanged, this, &PaperDialog::ChoiceChanged);
  connect(plotMinutes_, &QSpinBox::valueChanged, this, &PaperDialog::ChoiceChanged);
  connect(paperColourButton_, &QToolButton::clicked, this, [this] {
    const QColor chosen = QColorDialog::getColor(
        ToQColor(paperColour_.value_or(PackColour(255, 255, 255))), this, tr("Paper colour"));
    if (chosen.isValid()) {
      SetPaperColour(PackColour(static_cast<std::int16_t>(chosen.red()),
                                static_cast<std::int16_t>(chosen.green()),
                                static_cast<std::int16_t>(chosen.blue())));
    }
  });
  connect(onWhite_, &QCheckBox::toggled, this, &PaperDialog::ChoiceChanged);
}

void PaperDialog::AddFileRow(QFormLayout& form) {
  proposedName_ = ProposedName();
  file_ = stringart::AddFileRow(form, QDir(folder_).filePath(proposedName_), [this] { Browse(); });
}

PaperDialog::Kind PaperDialog::kind() const {
  return static_cast<Kind>(kind_->currentIndex());
}

PaperSettings PaperDialog::settings() const {
  PaperSettings settings;
  settings.paper = {static_cast<float>(width_->value()), static_cast<float>(height_->value())};
  settings.landscape = orientation_->currentIndex() == 1;
  settings.margin = static_cast<float>(margin_->value());
  if (ownPens_) {
    settings.pens = {static_cast<int>(pens_.size()), pens_};
  } else {
    settings.pens = {penCount_->value(), {}};
  }
  settings.penWidth = static_cast<float>(penWidth_->value());
  settings.dpi = dpi_->value();
  settings.onWhite = onWhite_->isChecked();
  settings.plotMinutes = static_cast<float>(plotMinutes_->value());
  // A print on white paper has no ground to colour.
  if (!(kind() == Kind::Pdf && settings.onWhite)) settings.paperColour = paperColour_;
  return settings;
}

QString PaperDialog::path() const {
  return file_->text().trimmed();
}

void PaperDialog::ReducePens() {
  // Against the paper, white when no colour is given, as the file's pens are chosen.
  pens_ = stringart::ReducePens(segments_, penCount_->value(),
                                paperColour_.value_or(PackColour(255, 255, 255)));
  ownPens_ = false;
  PensChanged();
}

void PaperDialog::SetPenColour(int index, Colour colour) {
  if (index < 0 || index >= static_cast<int>(pens_.size())) return;
  pens_[index] = colour;
  ownPens_ = true;
  PensChanged();
}

void PaperDialog::SetPaperColour(Colour colour) {
  paperColour_ = colour;
  paperColourButton_->setIcon(SwatchIcon(colour));
  paperColourButton_->setAccessibleName(
      tr("Paper colour, %1").arg(QString::fromStdString(FormatColour(colour))));
  if (ownPens_) {
    ChoiceChanged();
  } else {
    ReducePens();  // the figure's colours that show on this paper
  }
}

void PaperDialog::ChoosePenColour(int index) {
  if (index >= static_cast<int>(pens_.size())) return;
  const QColor chosen =
      QColorDialog::getColor(ToQColor(pens_[index]), this, tr("Pen %1").arg(index + 1));
  if (!chosen.isValid()) return;
  SetPenColour(index, PackColour(static_cast<std::int16_t>(chosen.red()),
                                 static_cast<std::int16_t>(chosen.green()),
                                 static_cast<std::int16_t>(chosen.blue())));
}

void PaperDialog::PensChanged() {
  for (int i = 0; i < swatches_.size(); ++i) {
    QToolButton* swatch = swatches_[i];
    const bool shown = i < static_cast<int>(pens_.size());
    swatch->setVisible(shown);
    if (!shown) continue;
    const QString colour = QString::fromStdString(FormatColour(pens_[i]));
    swatch->setIcon(SwatchIcon(pens_[i]));
    swatch->setToolTip(tr("Pen %1, %2: click for another colour").arg(i + 1).arg(colour));
    swatch->setAccessibleName(tr("Pen %1, %2").arg(i + 1).arg(colour));
  }
  ChoiceChanged();
}

void PaperDialog::PlanAgain(const PaperSettings& chosen) {
  // A sheet with no room for the figure has no plot; the line at the top says why.
  if (!PaperProblem(chosen).empty()) return;
  const PlotLimits limits = LimitsOnPaper(chosen);
  const bool same = hasPlan_ && plannedPens_ == pens_ && planned_.penWidth == limits.penWidth &&
                    planned_.seconds == limits.seconds && planned_.speed == limits.speed;
  if (same) return;
  plot_ = PlanDrawablePlot(segments_, pens_, limits);
  plannedPens_ = pens_;
  planned_ = limits;
  hasPlan_ = true;
}

void PaperDialog::ChoiceChanged() {
  const Kind chosen = kind();
  const bool plotter = this->plotter();
  if (plotter) PlanAgain(settings());
  form_->setRowVisible(penRow_, plotter);
  form_->setRowVisible(penWidth_, plotter);
  form_->setRowVisible(plotMinutes_, plotter);
  form_->setRowVisible(dpi_, chosen == Kind::Png);
  form_->setRowVisible(onWhite_, chosen == Kind::Pdf);
  summary_->setText(Summary());
  ShowPreview();
  if (file_ != nullptr) {
    const QFileInfo file(path());
    if (file.fileName() == proposedName_) {
      proposedName_ = ProposedName();
      file_->setText(QDir(file.path()).filePath(proposedName_));
    }
  }
  problem_->hide();
}

bool PaperDialog::plotter() const {
  const Kind chosen = kind();
  return chosen == Kind::PlotterSvg || chosen == Kind::Hpgl || chosen == Kind::Gcode;
}

void PaperDialog::ShowPreview() {
  const PaperSettings chosen = settings();
  if (!PaperProblem(chosen).empty()) {
    preview_->clear();
    return;
  }
  // A plotter draws on the paper as it is; a print covers it with its ground.
  const Colour white = PackColour(255, 255, 255);
  const Colour ground = plotter() || (kind() == Kind::Pdf && chosen.onWhite)
                            ? chosen.paperColour.value_or(white)
                            : chosen.paperColour.value_or(kBlack);
  if (!plotter() && figureImage_.isNull()) figureImage_ = FigureImage(segments_, kPreviewPixels);
  preview_->setPixmap(QPixmap::fromImage(
      PaperPreview(chosen, ground, plotter() ? &plot_ : nullptr, figureImage_, kPreviewPixels)));
}

QString PaperDialog::Summary() const {
  const PaperSettings chosen = settings();
  std::string problem;
  if (!ExportRequest::ForPaper("figure" + Suffix().toStdString(), chosen, problem)) {
    return Sentence(problem);
  }
  const QLocale locale;
  const PaperLayout page = LayOut(chosen);
  switch (kind()) {
    case Kind::PlotterSvg:
    case Kind::Hpgl:
    case Kind::Gcode: {
      const PlotTotals totals = MeasurePlot(plot_, chosen);
      // Each pen's part and the whole, as the renderer tells them, in the person's language.
      QString each;
      for (const std::string& line : EstimateLines(totals))
        each += QLatin1Char('\n') + Reason(line);
      // Two sentences rather than "%n pen(s)", which shows as typed until a translation is loaded.
      return (totals.pens == 1 ? tr("%1 pen, pen-down %2 m, pen-up %3 m (drawing order %4 m), "
                                    "about %5 min at %6 mm/s.")
                               : tr("%1 pens, pen-down %2 m, pen-up %3 m (drawing order %4 m), "
                                    "about %5 min at %6 mm/s."))
                 .arg(locale.toString(totals.pens), locale.toString(totals.down, 'f', 1),
                      locale.toString(totals.up, 'f', 1),
                      locale.toString(totals.upInDrawingOrder, 'f', 1),
                      locale.toString(std::lround(totals.minutes)), locale.toString(totals.speed)) +
             each;
    }
    case Kind::Pdf:
      return (chosen.onWhite ? tr("A page of %1 \u00d7 %2 mm, the figure in a %3 mm square on "
                                  "white, every stroke a vector.")
                             : tr("A page of %1 \u00d7 %2 mm, the figure in a %3 mm square on "
                                  "black, every stroke a vector."))
          .arg(locale.toString(page.width, 'f', 1), locale.toString(page.height, 'f', 1),
               locale.toString(page.side, 'f', 1));
    case Kind::Png: {
      const FrameSize pixels = PagePixels(chosen);
      return tr("%1 \u00d7 %2 pixels at %3 dpi, printed %4 \u00d7 %5 mm.")
          .arg(locale.toString(pixels.width), locale.toString(pixels.height),
               locale.toString(chosen.dpi), locale.toString(page.width, 'f', 1),
               locale.toString(page.height, 'f', 1));
    }
  }
  return {};
}

QString PaperDialog::Suffix() const {
  switch (kind()) {
    case Kind::PlotterSvg: return QStringLiteral(".svg");
    case Kind::Hpgl: return QStringLiteral(".hpgl");
    case Kind::Pdf: return QStringLiteral(".pdf");
    case Kind::Png: return QStringLiteral(".png");
    case Kind::Gcode: return QStringLiteral(".gcode");
  }
  return {};
}

QString PaperDialog::ProposedName() const {
  const PaperSettings chosen = settings();
  QString name = QStringLiteral("figure-%1-%2")
                     .arg(figureName_, QString::fromStdString(FormatPaper(chosen.paper)).toLower());
  if (chosen.landscape) name += QStringLiteral("-landscape");
  if (kind() == Kind::Png) name += QStringLiteral("-%1dpi").arg(chosen.dpi);
  return name + Suffix();
}

void PaperDialog::Browse() {
  const QString filter = kind_->currentText() + QStringLiteral(" (*") + Suffix() +
                         (kind() == Kind::Hpgl ? QStringLiteral(" *.plt)") : QStringLiteral(")"));
  // Replacing an existing file is asked about once, on Save.
  QString chosen = QFileDialog::getSaveFileName(this, windowTitle(), path(), filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += Suffix();
  file_->setText(chosen);
}

void PaperDialog::Refuse(const QString& reason) {
  problem_->setText(reason);
  problem_->show();
}

void PaperDialog::accept() {
  QString name = path();
  if (name.isEmpty()) return Refuse(tr("Give the file a name."));
  if (QFileInfo(name).suffix().isEmpty()) name += Suffix();
  if (name.startsWith(QStringLiteral("~/"))) name = QDir::homePath() + name.mid(1);
  // A bare name goes to the folder proposed, not wherever the program was started.
  const QFileInfo file(QDir(folder_).absoluteFilePath(name));
  const auto format = FormatForPath(name.toStdString());
  const FigureFormat wanted[] = {FigureFormat::Svg, FigureFormat::Hpgl, FigureFormat::Pdf,
                                 FigureFormat::Png, FigureFormat::Gcode};
  if (format != wanted[static_cast<int>(kind())]) {
    return Refuse(kind() == Kind::Hpgl ? tr("An HPGL file's name ends in .hpgl or .plt.")
                                       : tr("This kind of file's name ends in %1.").arg(Suffix()));
  }
  std::string problem;
  const auto request =
      ExportRequest::ForPaper(file.absoluteFilePath().toStdString(), settings(), problem);
  if (!request) return Refuse(Sentence(problem));
  // Before the work rather than after it.
  if (const QString refusal = WriteRefusal(file); !refusal.isEmpty()) return Refuse(refusal);
  if (!MayReplace(*this, file)) return;
  file_->setText(file.absoluteFilePath());
  request_ = *request;
  stringart::settings::SetPaperChoices(kind_->currentIndex(), settings());
  QDialog::accept();
}

}  // namespace stringart
