#include "window/Form1Window.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/Picture1View.h"
#include "window/PictureImage.h"

namespace stringart {

// What the export thread and the window share: the thread writes `done` and, once finished,
// `result` and `error`; the window sets `cancel`.
struct ExportJob {
  std::atomic<double> done{0};
  std::atomic<bool> cancel{false};
  ExportResult result = ExportResult::Failed;
  std::string error;
};

namespace {

constexpr int kProgressSteps = 1000;

// Offers `sizes` and returns the one chosen; nullopt when the dialog is cancelled.
std::optional<std::pair<int, int>> AskSize(QWidget* parent, const QString& title,
                                           const std::vector<std::pair<int, int>>& sizes) {
  QStringList labels;
  for (const auto& [w, h] : sizes) labels << QStringLiteral("%1 \u00d7 %2").arg(w).arg(h);
  bool ok = false;
  const QString chosen = QInputDialog::getItem(parent, title, QStringLiteral("Size in pixels:"),
                                               labels, 0, false, &ok);
  if (!ok) return std::nullopt;
  return sizes[static_cast<std::size_t>(labels.indexOf(chosen))];
}

}  // namespace

Form1Window::Form1Window(DrawSource& random, FigureFiles& files, QWidget* parent)
    : QWidget(parent),
      form_(*this, picture1_, random),
      files_(files),
      view_(new Picture1View(picture1_, this)),
      command1_(new QPushButton(QStringLiteral("new"), this)) {
  setWindowTitle(QStringLiteral("Form1"));
  setFixedSize(kClientWidth, kClientHeight);

  // Fixed places, no layout: the window looks the same whatever the style's preferred sizes.
  view_->setGeometry(56, 64, Picture1::kWidth, Picture1::kHeight);
  command1_->setGeometry(576, 544, 57, 17);
  connect(command1_, &QPushButton::clicked, this, &Form1Window::Command1Click);

  auto* save = new QAction(QStringLiteral("Save picture as\u2026"), this);
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, &Form1Window::SavePictureAs);
  addAction(save);  // Ctrl+S works anywhere in the window, not only from the menu
  auto* copy = new QAction(QStringLiteral("Copy picture"), this);
  connect(copy, &QAction::triggered, this, &Form1Window::CopyPicture);

  saveLarge_ = new QAction(QStringLiteral("Save large picture\u2026"), this);
  connect(saveLarge_, &QAction::triggered, this, &Form1Window::SaveLargePictureAs);
  saveAnimation_ = new QAction(QStringLiteral("Save animation\u2026"), this);
  connect(saveAnimation_, &QAction::triggered, this, &Form1Window::SaveAnimationAs);

  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, [this, save, copy](QPoint at) {
    QMenu menu(this);
    menu.addAction(save);
    menu.addAction(saveLarge_);
    menu.addAction(saveAnimation_);
    menu.addAction(copy);
    menu.exec(view_->mapToGlobal(at));
  });
}

Form1Window::~Form1Window() {
  if (exportThread_ != nullptr) {
    job_->cancel = true;
    exportThread_->wait();
    delete exportThread_;
  }
}

void Form1Window::FormLoad() {
  form_.FormLoad();
  view_->FigureComplete();
}

void Form1Window::Command1Click() {
  form_.Command1Click();
  view_->FigureComplete();
}

void Form1Window::Show() {
  show();
}

// The window draws nothing of its own, so its surface is always its background colour; a
// repaint is all that clearing takes.
void Form1Window::ClearWindow() {
  update();
}

bool Form1Window::SavePicture(const QString& path, QString& error) const {
  // Before the first figure the record describes no figure, and an SVG would not match the
  // canvas.
  if (form_.figuresTraced() == 0) {
    error = QStringLiteral("There is no figure to save yet.");
    return false;
  }
  std::string why;
  if (!files_.Save(path.toStdString(), picture1_, form_.lastFigure(), why)) {
    error = QString::fromStdString(why);
    return false;
  }
  return true;
}

void Form1Window::SavePictureAs() {
  const QString png = QStringLiteral("PNG image (*.png)");
  const QString svg = QStringLiteral("SVG drawing (*.svg)");
  QString filter = png;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save picture as"),
                                              folder + QStringLiteral("/figure.png"),
                                              png + ";;" + svg, &filter);
  if (path.isEmpty()) return;
  // A bare name takes the extension of the chosen file type; any other extension is refused
  // by the save and reported.
  if (QFileInfo(path).suffix().isEmpty()) path += filter == svg ? ".svg" : ".png";
  QString error;
  if (!SavePicture(path, error)) QMessageBox::warning(this, QStringLiteral("Form1"), error);
}

bool Form1Window::StartExport(const QString& path, int width, int height, int seconds, int fps,
                              QString& error) {
  if (form_.figuresTraced() == 0) {
    error = QStringLiteral("There is no figure to save yet.");
    return false;
  }
  if (exporting()) {
    error = QStringLiteral("Another file is being written; wait for it or cancel it.");
    return false;
  }
  // Copies for the thread: the window may trace other figures meanwhile.
  auto job = std::make_shared<ExportJob>();
  const FigureRecord figure = form_.lastFigure();
  const std::string file = path.toStdString();
  FigureFiles* files = &files_;
  exportThread_ = QThread::create([job, figure, file, files, width, height, seconds, fps] {
    const ExportProgress progress = [&job = *job](double done) {
      job.done = done;
      return !job.cancel;
    };
    std::string why;
    job->result =
        seconds > 0 ? files->SaveAnimation(file, figure, width, height, seconds, fps, progress, why)
                    : files->SaveLargePicture(file, figure, width, height, progress, why);
    job->error = std::move(why);
  });
  job_ = job;
  connect(exportThread_, &QThread::finished, this, &Form1Window::ExportFinished);

  progress_ =
      new QProgressDialog(QStringLiteral("Writing %1\u2026").arg(QFileInfo(path).fileName()),
                          QStringLiteral("Cancel"), 0, kProgressSteps, this);
  progress_->setWindowTitle(QStringLiteral("Form1"));
  progress_->setWindowModality(Qt::NonModal);  // the window stays usable
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  progress_->setMinimumDuration(0);
  connect(progress_, &QProgressDialog::canceled, this, [job] { job->cancel = true; });
  poll_ = new QTimer(this);
  connect(poll_, &QTimer::timeout, progress_, [dialog = progress_, job] {
    // The last step waits for the file to be in place.
    dialog->setValue(std::min(kProgressSteps - 1, static_cast<int>(job->done * kProgressSteps)));
  });
  poll_->start(100);
  progress_->show();
  saveLarge_->setEnabled(false);
  saveAnimation_->setEnabled(false);
  exportThread_->start();
  return true;
}

void Form1Window::ExportFinished() {
  exportThread_->wait();
  exportThread_->deleteLater();
  exportThread_ = nullptr;
  poll_->stop();
  poll_->deleteLater();
  poll_ = nullptr;
  progress_->deleteLater();
  progress_->hide();
  progress_ = nullptr;
  saveLarge_->setEnabled(true);
  saveAnimation_->setEnabled(true);
  const std::shared_ptr<ExportJob> job = std::exchange(job_, nullptr);
  if (job->result == ExportResult::Failed) {
    QMessageBox::warning(this, QStringLiteral("Form1"), QString::fromStdString(job->error));
  }
}

void Form1Window::SaveLargePictureAs() {
  const auto size = AskSize(
      this, QStringLiteral("Save large picture"),
      {{4000, 4000}, {3840, 2160}, {1920, 1080}, {2000, 2000}, {8000, 8000}, {16384, 16384}});
  if (!size) return;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  const QString name =
      QStringLiteral("%1/figure-%2x%3.png").arg(folder).arg(size->first).arg(size->second);
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save large picture"), name,
                                              QStringLiteral("PNG image (*.png)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  QString error;
  if (!StartExport(path, size->first, size->second, 0, 0, error)) {
    QMessageBox::warning(this, QStringLiteral("Form1"), error);
  }
}

void Form1Window::SaveAnimationAs() {
  const auto size = AskSize(this, QStringLiteral("Save animation"),
                            {{1000, 1000}, {1920, 1080}, {2000, 2000}, {500, 500}});
  if (!size) return;
  const QString mp4 = QStringLiteral("MP4 video, H.264 (*.mp4)");
  const QString webm = QStringLiteral("WebM video, VP9 (*.webm)");
  QString filter = mp4;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save animation"),
                                              folder + QStringLiteral("/figure.mp4"),
                                              mp4 + ";;" + webm, &filter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += filter == webm ? ".webm" : ".mp4";
  constexpr int kSeconds = 8, kFps = 30;  // the renderer's defaults
  QString error;
  if (!StartExport(path, size->first, size->second, kSeconds, kFps, error)) {
    QMessageBox::warning(this, QStringLiteral("Form1"), error);
  }
}

void Form1Window::CopyPicture() const {
  // A copy: the clipboard must keep this figure after the next one is traced over the raster.
  QGuiApplication::clipboard()->setImage(WrapPicture(picture1_).copy());
}

}  // namespace stringart
