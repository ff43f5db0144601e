#include "window/ExportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "options/FigureCommand.h"
#include "runtime/AtomicFile.h"
#include "window/FileChoice.h"
#include "window/Messages.h"

namespace stringart {
namespace {

QString Mp4Filter() {
  return ExportDialog::tr("MP4 video, H.264 (*.mp4)");
}
QString WebmFilter() {
  return ExportDialog::tr("WebM video, VP9 (*.webm)");
}
QString PngFilter() {
  return ExportDialog::tr("PNG image (*.png)");
}

QSpinBox* NumberBox(int least, int most, int value, const QString& suffix) {
  auto* box = new QSpinBox;
  box->setRange(least, most);
  box->setValue(value);
  box->setSuffix(suffix);
  box->setAccelerated(true);
  return box;
}

bool Fits(ExportDialog::Kind kind, FrameSize size) {
  return kind == ExportDialog::Kind::Picture
             ? PictureSizeProblem(size).empty()
             : AnimationProblem(size, kDefaultSeconds, kDefaultFps).empty();
}

}  // namespace

ExportDialog::ExportDialog(Kind kind, const QString& figureName, const QString& folder,
                           QWidget* parent)
    : QDialog(parent), kind_(kind), figureName_(figureName), folder_(folder) {
  setWindowTitle(kind == Kind::Picture ? tr("Save large picture") : tr("Save animation"));
  auto* form = new QFormLayout;
  AddSizeRows(*form);
  AddFileRow(*form);
  problem_ = NewProblemLabel();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Save)->setDefault(true);  // Return takes the proposal
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // sized for its content, growing with it
  connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
  SizeEdited();
  presets_->setFocus();
}

void ExportDialog::AddSizeRows(QFormLayout& form) {
  const bool picture = kind_ == Kind::Picture;
  const int maxSide = picture ? kMaxSide : kAnimationMaxSide;
  const FrameSize start = picture ? kDefaultPictureSize : kDefaultAnimationSize;
  presets_ = new QComboBox;
  for (const FrameSize size : kSizePresets) {
    if (!Fits(kind_, size)) continue;
    presets_->addItem(QStringLiteral("%1 \u00d7 %2").arg(size.width).arg(size.height),
                      QSize(size.width, size.height));
  }
  presets_->addItem(tr("Other size"));
  // Room for more than the limit, so that a size typed too large is told rather than cut short.
  width_ = NumberBox(kMinSide, 10 * maxSide, start.width, tr(" px"));
  height_ = NumberBox(kMinSide, 10 * maxSide, start.height, tr(" px"));
  width_->setAccessibleName(tr("Width"));
  height_->setAccessibleName(tr("Height"));
  auto* sides = new QHBoxLayout;
  sides->addWidget(width_);
  sides->addWidget(new QLabel(QStringLiteral("\u00d7")));
  sides->addWidget(height_);
  sides->addStretch();
  form.addRow(tr("&Size:"), presets_);
  form.addRow(tr("&Width \u00d7 height:"), sides);
  static_cast<QLabel*>(form.labelForField(sides))->setBuddy(width_);
  auto* limits =
      new QLabel(picture ? tr("Each side %1 to %2 pixels.").arg(kMinSide).arg(kMaxSide)
                         : tr("Even sides, %1 to %2 pixels.").arg(kMinSide).arg(kAnimationMaxSide));
  limits->setEnabled(false);  // a hint, in the style's quieter colour
  form.addRow(QString(), limits);
  if (!picture) {
    seconds_ = NumberBox(kMinSeconds, kMaxSeconds, kDefaultSeconds, tr(" s"));
    fps_ = NumberBox(kMinFps, kMaxFps, kDefaultFps, tr(" frames a second"));
    form.addRow(tr("&Tracing time:"), seconds_);
    form.addRow(tr("&Frame rate:"), fps_);
  }
  connect(presets_, &QComboBox::activated, this, [this](int index) {
    const QSize size = presets_->itemData(index).toSize();
    if (size.isEmpty()) return;  // "Other size": the boxes keep what they hold
    const QSignalBlocker blockWidth(width_), blockHeight(height_);
    width_->setValue(size.width());
    height_->setValue(size.height());
    SizeEdited();
  });
  connect(width_, &QSpinBox::valueChanged, this, &ExportDialog::SizeEdited);
  connect(height_, &QSpinBox::valueChanged, this, &ExportDialog::SizeEdited);
}

void ExportDialog::AddFileRow(QFormLayout& form) {
  proposedName_ = ProposedName();
  file_ = stringart::AddFileRow(form, QDir(folder_).filePath(proposedName_), [this] { Browse(); });
}

QString ExportDialog::ProposedFolder(const QString& lastSaved,
                                     QStandardPaths::StandardLocation place) {
  if (!lastSaved.isEmpty()) return lastSaved;
  const QString folder = QStandardPaths::writableLocation(place);
  return folder.isEmpty() || !QDir(folder).exists() ? QDir::homePath() : folder;
}

FrameSize ExportDialog::frameSize() const {
  return {width_->value(), height_->value()};
}

int ExportDialog::seconds() const {
  return seconds_ != nullptr ? seconds_->value() : 0;
}

int ExportDialog::fps() const {
  return fps_ != nullptr ? fps_->value() : 0;
}

QString ExportDialog::path() const {
  return file_->text().trimmed();
}

QString ExportDialog::ProposedName() const {
  if (kind_ == Kind::Animation) return QStringLiteral("figure-%1.mp4").arg(figureName_);
  return QStringLiteral("figure-%1-%2x%3.png")
      .arg(figureName_)
      .arg(width_->value())
      .arg(height_->value());
}

void ExportDialog::SizeEdited() {
  const QSize size(width_->value(), height_->value());
  const int preset = presets_->findData(size);
  presets_->setCurrentIndex(preset >= 0 ? preset : presets_->count() - 1);
  const QFileInfo file(path());
  if (file.fileName() == proposedName_) {
    proposedName_ = ProposedName();
    file_->setText(QDir(file.path()).filePath(proposedName_));
  }
  const std::string problem = kind_ == Kind::Picture
                                  ? PictureSizeProblem(frameSize())
                                  : AnimationProblem(frameSize(), seconds(), fps());
  if (problem.empty()) {
    problem_->hide();
  } else {
    Refuse(Sentence(problem));
  }
}

void ExportDialog::Browse() {
  const bool picture = kind_ == Kind::Picture;
  const QString png = PngFilter(), mp4 = Mp4Filter(), webm = WebmFilter();
  QString filter = picture ? png : mp4;
  if (!picture && path().endsWith(QStringLiteral(".webm"), Qt::CaseInsensitive)) filter = webm;
  // Replacing an existing file is asked about once, on Save.
  QString chosen =
      QFileDialog::getSaveFileName(this, windowTitle(), path(), picture ? png : mp4 + ";;" + webm,
                                   &filter, QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty()) {
    chosen += filter == png ? ".png" : filter == webm ? ".webm" : ".mp4";
  }
  file_->setText(chosen);
}

void ExportDialog::Refuse(const QString& reason) {
  problem_->setText(reason);
  problem_->show();
}

void ExportDialog::accept() {
  const bool picture = kind_ == Kind::Picture;
  QString name = path();
  if (name.isEmpty()) return Refuse(tr("Give the file a name."));
  if (QFileInfo(name).suffix().isEmpty()) {
    name += picture ? QStringLiteral(".png") : QStringLiteral(".mp4");
  }
  if (name.startsWith(QStringLiteral("~/"))) name = QDir::homePath() + name.mid(1);
  // A bare name goes to the folder proposed, not wherever the program was started.
  const QFileInfo file(QDir(folder_).absoluteFilePath(name));
  // Each dialog makes one kind of file.
  const auto format = FormatForPath(name.toStdString());
  if (picture && format != FigureFormat::Png) {
    return Refuse(tr("A large picture is a PNG file: end the name in .png."));
  }
  if (!picture && !(format && IsAnimation(*format))) {
    return Refuse(tr("An animation is an MP4 or WebM file: end the name in .mp4 or .webm."));
  }
  std::string problem;
  const auto request = ExportRequest::Make(file.absoluteFilePath().toStdString(), frameSize(),
                                           seconds(), fps(), {}, problem);
  if (!request) return Refuse(Sentence(problem));
  // Before the work, which may be long, rather than after it.
  if (const QString refusal = WriteRefusal(file); !refusal.isEmpty()) return Refuse(refusal);
  if (const double expected = ExpectedSeconds(*request); expected > kLongExportSeconds) {
    QMessageBox longWork(
        QMessageBox::Question, windowTitle(),
        tr("Writing %1 takes %2. Write it?").arg(file.fileName(), Reason(DurationText(expected))),
        QMessageBox::Yes | QMessageBox::Cancel, this);
    longWork.setTextFormat(Qt::PlainText);
    longWork.setDefaultButton(QMessageBox::Cancel);
    if (longWork.exec() != QMessageBox::Yes) return;
  }
  if (!MayReplace(*this, file)) return;
  file_->setText(file.absoluteFilePath());
  request_ = *request;
  QDialog::accept();
}

}  // namespace stringart
