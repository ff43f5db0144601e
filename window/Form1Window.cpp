#include "window/Form1Window.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "figure/FigureHistory.h"
#include "text/ExportLimits.h"
#include "window/ExportRunner.h"
#include "window/JournalLink.h"
#include "window/Picture1View.h"
#include "window/PictureImage.h"

namespace stringart {
namespace {

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");

// The local .png and .svg files among dropped `urls`; empty if anything else is among them.
QStringList DroppedFigureFiles(const QList<QUrl>& urls) {
  QStringList paths;
  for (const QUrl& url : urls) {
    const QString suffix = QFileInfo(url.fileName()).suffix().toLower();
    if (!url.isLocalFile() || (suffix != "png" && suffix != "svg")) return {};
    paths << url.toLocalFile();
  }
  return paths;
}

QAction* AddAction(QWidget* window, const QString& text, const QList<QKeySequence>& keys) {
  auto* action = new QAction(text, window);
  action->setShortcuts(keys);
  window->addAction(action);  // the keys work anywhere in the window, not only from the menu
  return action;
}

}  // namespace

namespace {

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
      command1_(new QPushButton(QStringLiteral("new"), this)),
      exports_(new ExportRunner(this)) {
  setWindowTitle(QStringLiteral("Form1"));
  setFixedSize(kClientWidth, kClientHeight);
  setAcceptDrops(true);

  // Fixed places, no layout: the window looks the same whatever the style's preferred sizes.
  view_->setGeometry(56, 64, Picture1::kWidth, Picture1::kHeight);
  command1_->setGeometry(576, 544, 57, 17);
  command1_->setToolTip(QStringLiteral("Trace a new figure (Ctrl+N, F5; Space when focused)"));
  connect(command1_, &QPushButton::clicked, this, &Form1Window::Command1Click);
  auto* press = AddAction(this, QStringLiteral("new"),
                          {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_F5)});
  connect(press, &QAction::triggered, command1_, &QPushButton::click);

  place_ = new QAction(this);
  place_->setEnabled(false);
  back_ = AddAction(this, QStringLiteral("Back"),
                    {QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Back)});
  connect(back_, &QAction::triggered, this, &Form1Window::GoBack);
  forward_ = AddAction(this, QStringLiteral("Forward"),
                       {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_Forward)});
  connect(forward_, &QAction::triggered, this, &Form1Window::GoForward);
  save_ = AddAction(this, QStringLiteral("Save picture as\u2026"), {QKeySequence::Save});
  connect(save_, &QAction::triggered, this, &Form1Window::SavePictureAs);
  copy_ = AddAction(this, QStringLiteral("Copy picture"), {QKeySequence::Copy});
  connect(copy_, &QAction::triggered, this, &Form1Window::CopyPicture);
  copyCommand_ = AddAction(this, QStringLiteral("Copy figure command"),
                           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)});
  connect(copyCommand_, &QAction::triggered, this, &Form1Window::CopyFigureCommand);
  open_ = AddAction(this, QStringLiteral("Open figure\u2026"), {QKeySequence::Open});
  connect(open_, &QAction::triggered, this, &Form1Window::OpenFigureAs);
  FigureShown();

  saveLarge_ = new QAction(QStringLiteral("Save large picture\u2026"), this);
  connect(saveLarge_, &QAction::triggered, this, &Form1Window::SaveLargePictureAs);
  saveAnimation_ = new QAction(QStringLiteral("Save animation\u2026"), this);
  connect(saveAnimation_, &QAction::triggered, this, &Form1Window::SaveAnimationAs);

  connect(exports_, &ExportRunner::Finished, this, &Form1Window::ExportFinished);

  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    QMenu menu(this);
    FillContextMenu(menu);
    menu.exec(view_->mapToGlobal(at));
  });
}

void Form1Window::FillContextMenu(QMenu& menu) const {
  menu.addAction(place_);
  menu.addAction(back_);
  menu.addAction(forward_);
  menu.addSeparator();
  menu.addAction(save_);
  menu.addAction(open_);
  menu.addAction(saveLarge_);
  menu.addAction(saveAnimation_);
  menu.addSeparator();
  menu.addAction(copy_);
  menu.addAction(copyCommand_);
  if (journal_ != nullptr) {
    journal_->UpdateFavourite();
    menu.addSeparator();
    menu.addAction(journal_->favourite());
    menu.addAction(journal_->gallery());
  }
}

void Form1Window::KeepFigures(const std::string& path) {
  journal_ = new JournalLink(*this, path);
  form_.KeepIn(&journal_->journal());
  FigureShown();
}

void Form1Window::ShowAndKeep(const FigureRecord& figure, FigureOrigin origin) {
  form_.OpenFigure(figure, origin);
  FigureShown();
}

void Form1Window::FormLoad() {
  form_.FormLoad();
  FigureShown();
}

void Form1Window::Command1Click() {
  form_.Command1Click();
  FigureShown();
}

void Form1Window::GoBack() {
  if (form_.GoBack()) FigureShown();
}

void Form1Window::GoForward() {
  if (form_.GoForward()) FigureShown();
}

void Form1Window::FigureShown() {
  view_->FigureComplete();
  const FigureHistory& history = form_.history();
  place_->setText(
      history.empty() ? QStringLiteral("No figure yet")
      : history.shownEarlier() > 0
          ? QStringLiteral("Earlier run, %L1 back").arg(history.shownEarlier())
          : QStringLiteral("Figure %L1 of %L2").arg(history.shown() + 1).arg(history.size()));
  back_->setEnabled(form_.CanGoBack());
  forward_->setEnabled(history.CanGoForward());
  for (QAction* action : {save_, copy_, copyCommand_}) action->setEnabled(!history.empty());
}

void Form1Window::mousePressEvent(QMouseEvent* event) {
  // The mouse's back and forward buttons, wherever they are pressed in the window: the canvas
  // and the button leave them to the window.
  if (event->button() == Qt::BackButton) {
    GoBack();
  } else if (event->button() == Qt::ForwardButton) {
    GoForward();
  } else {
    QWidget::mousePressEvent(event);
  }
}

void Form1Window::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !DroppedFigureFiles(event->mimeData()->urls()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void Form1Window::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFigureFiles(event->mimeData()->urls());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  QStringList problems;
  for (const QString& path : paths) {
    QString error;
    if (!OpenFigureFile(path, error)) problems << error;
  }
  if (!problems.isEmpty()) ShowProblem(problems.join('\n'));
}

void Form1Window::ShowProblem(const QString& text) {
  auto* box =
      new QMessageBox(QMessageBox::Warning, QStringLiteral("Form1"), text, QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void Form1Window::Show() {
  show();
}

// The window draws nothing of its own, so its surface is always its background colour; a
// repaint is all that clearing takes.
void Form1Window::ClearWindow() {
  update();
}

bool Form1Window::SavePicture(const QString& path, QString& error) {
  // Before the first figure the record describes no figure, and an SVG would not match the
  // canvas.
  if (form_.history().empty()) {
    error = QStringLiteral("There is no figure to save yet.");
    return false;
  }
  std::string why;
  if (!files_.Save(path.toStdString(), picture1_, form_.lastFigure(), why)) {
    error = QString::fromStdString(why);
    return false;
  }
  lastSaveFolder_ = QFileInfo(path).absolutePath();
  return true;
}

QString Form1Window::ProposedSavePath(const QString& suffix) const {
  QString folder = lastSaveFolder_;
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  }
  const QString name = QString::fromStdString(FigureName(form_.lastFigure()));
  return QDir(folder).filePath(QStringLiteral("figure-%1.%2").arg(name, suffix));
}

void Form1Window::SavePictureAs() {
  QString filter = kPngFilter;
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save picture as"),
                                              ProposedSavePath(QStringLiteral("png")),
                                              kPngFilter + ";;" + kSvgFilter, &filter);
  if (path.isEmpty()) return;
  // A bare name takes the extension of the chosen file type; any other extension is refused
  // by the save and reported.
  if (QFileInfo(path).suffix().isEmpty()) path += filter == kSvgFilter ? ".svg" : ".png";
  QString error;
  if (!SavePicture(path, error)) QMessageBox::warning(this, QStringLiteral("Form1"), error);
}

bool Form1Window::OpenFigureFile(const QString& path, QString& error) {
  std::string why;
  const auto figure = files_.Open(path.toStdString(), why);
  if (!figure) {
    error = QString::fromStdString(why);
    return false;
  }
  ShowAndKeep(*figure, FigureOrigin::Opened);
  return true;
}

void Form1Window::OpenFigureAs() {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("Open figure"), QFileInfo(ProposedSavePath("png")).absolutePath(),
      QStringLiteral("Figures saved by stringart (*.png *.svg)"));
  if (path.isEmpty()) return;
  QString error;
  if (!OpenFigureFile(path, error)) QMessageBox::warning(this, QStringLiteral("Form1"), error);
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
  const FigureRecord figure = form_.lastFigure();
  const std::string file = path.toStdString();
  FigureFiles* files = &files_;
  exports_->Start(
      QStringLiteral("Writing %1\u2026").arg(QFileInfo(path).fileName()),
      [figure, file, files, width, height, seconds, fps](const ExportProgress& progress,
                                                         std::string& why) {
        return seconds > 0
                   ? files->SaveAnimation(file, figure, width, height, seconds, fps, progress, why)
                   : files->SaveLargePicture(file, figure, width, height, progress, why);
      });
  saveLarge_->setEnabled(false);
  saveAnimation_->setEnabled(false);
  return true;
}

void Form1Window::ExportFinished(ExportResult result, const QString& error) {
  saveLarge_->setEnabled(true);
  saveAnimation_->setEnabled(true);
  if (result == ExportResult::Failed) QMessageBox::warning(this, QStringLiteral("Form1"), error);
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
  QString error;
  if (!StartExport(path, size->first, size->second, kDefaultSeconds, kDefaultFps, error)) {
    QMessageBox::warning(this, QStringLiteral("Form1"), error);
  }
}

void Form1Window::CopyPicture() const {
  // A copy: the clipboard must keep this figure after the next one is traced over the raster.
  QGuiApplication::clipboard()->setImage(WrapPicture(picture1_).copy());
}

void Form1Window::CopyFigureCommand() const {
  if (form_.history().empty()) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(files_.Command(form_.lastFigure())));
}

}  // namespace stringart
