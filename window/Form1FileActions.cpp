// The main window's file actions: pictures saved and copied, figure files opened (also by a drop),
// and the exports it starts (large pictures, animations, paper, printing, the wallpaper).
#include "window/Form1Window.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QUrl>
#include <string>
#include <utility>

#include "figure/FigureHistory.h"
#include "window/ExportDialog.h"
#include "window/ExportNote.h"
#include "window/ExportRunner.h"
#include "window/Exports.h"
#include "window/FigureReader.h"
#include "window/Messages.h"
#include "window/PaperDialog.h"
#include "window/PictureChoice.h"
#include "window/PictureImage.h"
#include "window/Printing.h"
#include "window/Settings.h"
#include "window/Wallpapers.h"

namespace stringart {
namespace {

// The local figure files (.png, .svg, .mp4, .webm, .hpgl, .plt, .pdf, .gcode) among dropped `urls`;
// empty if anything else is among them.
QStringList DroppedFigureFiles(const QList<QUrl>& urls) {
  static const QStringList kSuffixes = {"png", "svg", "mp4", "webm", "hpgl", "plt", "pdf", "gcode"};
  QStringList paths;
  for (const QUrl& url : urls) {
    const QString suffix = QFileInfo(url.fileName()).suffix().toLower();
    if (!url.isLocalFile() || !kSuffixes.contains(suffix)) return {};
    paths << url.toLocalFile();
  }
  return paths;
}

}  // namespace

void Form1Window::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !DroppedFigureFiles(event->mimeData()->urls()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void Form1Window::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedFigureFiles(event->mimeData()->urls());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  OpenFigureFiles(paths, false);
}

void Form1Window::OpenFigureFiles(const QStringList& paths, bool showFirst) {
  reader_->Start(paths, showFirst);
}

void Form1Window::FiguresRead(const std::vector<FigureReader::Read>& reads, bool showFirst) {
  QStringList problems;
  const std::size_t first = form_.history().size();
  for (const FigureReader::Read& read : reads) {
    if (read.figure) {
      OpenFigure(*read.figure);
    } else {
      problems << Sentence(read.error);
    }
  }
  if (showFirst && first < form_.history().size() && form_.ShowFigure(first)) FigureShown();
  if (std::exchange(randomIfNoneRead_, false) && !form_.showsFigure()) {
    form_.FirstFigure();
    FigureShown();
  }
  if (!problems.isEmpty()) ShowProblem(tr("Open figure"), Listed(problems));
}

void Form1Window::ShowProblem(const QString& title, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
  // Messages quote file names and what files carry: plain text, never markup or links.
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  OpenOverWindow(box, this);
}

bool Form1Window::SavePicture(const QString& path, QString& error) {
  // Before the first figure the record describes no figure, and an SVG would not match the
  // canvas.
  if (!form_.showsFigure()) {
    error = tr("There is no figure to save yet.");
    return false;
  }
  std::string why;
  if (!files_.Save(path.toStdString(), picture1_, form_.lastFigure(), why)) {
    error = QString::fromStdString(why);
    return false;
  }
  settings::SetLastFolder(QFileInfo(path).absolutePath());
  return true;
}

QString Form1Window::ProposedSavePath(const QString& suffix) const {
  const QString folder =
      ExportDialog::ProposedFolder(settings::LastFolder(), QStandardPaths::PicturesLocation);
  const QString name = QString::fromStdString(FigureName(form_.lastFigure()));
  return QDir(folder).filePath(QStringLiteral("figure-%1.%2").arg(name, suffix));
}

void Form1Window::SavePictureAs() {
  AskAndSavePicture(
      this, QString::fromStdString(FigureName(form_.lastFigure())),
      [this](const QString& path, QString& error) { return SavePicture(path, error); });
}

bool Form1Window::OpenFigureFile(const QString& path, QString& error) {
  std::string why;
  const auto figure = files_.Open(path.toStdString(), why);
  if (!figure) {
    error = QString::fromStdString(why);
    return false;
  }
  OpenFigure(*figure);
  return true;
}

void Form1Window::OpenFigureAs() {
  const QString path = QFileDialog::getOpenFileName(
      this, tr("Open figure"), QFileInfo(ProposedSavePath("png")).absolutePath(),
      tr("Figures written by stringart (*.png *.svg *.mp4 *.webm *.hpgl *.plt *.pdf *.gcode)"));
  if (!path.isEmpty()) OpenFigureFiles({path}, true);
}

bool Form1Window::StartExport(const ExportRequest& request, QString& error) {
  if (!form_.showsFigure()) {
    error = tr("There is no figure to save yet.");
    return false;
  }
  if (!stringart::StartExport(*exports_, files_, request, form_.lastFigure(), error)) return false;
  note_->hide();  // told of the last file, it would be mistaken for this one
  EnableExports(false);
  exporting_ = request;
  exportPath_ = QFileInfo(QString::fromStdString(request.path)).absoluteFilePath();
  return true;
}

void Form1Window::EnableExports(bool enabled) {
  for (QAction* action : {saveLarge_, saveAnimation_, savePaper_, print_, wallpaper_}) {
    action->setEnabled(enabled);
  }
}

void Form1Window::SetAsWallpaper() {
  if (!form_.showsFigure()) return;
  QString error;
  auto work = std::make_shared<WallpaperWork>();
  if (!StartWallpaper(*exports_, files_, form_.lastFigure(), work, error)) {
    Warn(this, wallpaper_->text().remove('&'), Sentence(error));
    return;
  }
  note_->hide();
  EnableExports(false);
  wallpaperWork_ = work;
}

void Form1Window::ExportFinished(ExportResult result, const QString& error) {
  EnableExports(true);
  if (std::exchange(printing_, false)) {
    if (result == ExportResult::Failed) Warn(this, print_->text().remove('&'), Sentence(error));
    return;
  }
  if (const auto work = std::exchange(wallpaperWork_, nullptr)) {
    if (result == ExportResult::Written)
      note_->ShowFile(WallpaperNote(*work), QString::fromStdString(work->file));
    if (result == ExportResult::Failed) Warn(this, wallpaper_->text().remove('&'), Sentence(error));
    return;
  }
  if (result == ExportResult::Written) {
    settings::SetLastFolder(QFileInfo(exportPath_).absolutePath());
    note_->ShowWritten(exportPath_);
  } else if (result == ExportResult::Failed) {
    Warn(this, ExportTitle(exporting_), Sentence(error));
  }
}

void Form1Window::AskAndExport(bool animation) {
  if (!form_.showsFigure()) return;
  const auto kind = animation ? ExportDialog::Kind::Animation : ExportDialog::Kind::Picture;
  ExportDialog dialog(kind, QString::fromStdString(FigureName(form_.lastFigure())),
                      ExportDialog::ProposedFolder(settings::LastFolder(),
                                                   animation ? QStandardPaths::MoviesLocation
                                                             : QStandardPaths::PicturesLocation),
                      this);
  if (dialog.exec() != QDialog::Accepted) return;
  QString error;
  if (!StartExport(dialog.request(), error)) {
    Warn(this, dialog.windowTitle(), Sentence(error));
  }
}

void Form1Window::SaveForPaperAs() {
  if (!form_.showsFigure()) return;
  PaperDialog dialog(
      form_.lastFigure(),
      ExportDialog::ProposedFolder(settings::LastFolder(), QStandardPaths::PicturesLocation), this);
  if (dialog.exec() != QDialog::Accepted) return;
  QString error;
  if (!StartExport(dialog.request(), error)) Warn(this, dialog.windowTitle(), Sentence(error));
}

void Form1Window::Print() {
  if (!form_.showsFigure()) return;
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(QString::fromStdString(FigureName(form_.lastFigure())));
  QPrintDialog dialog(printer.get(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  QString error;
  if (!StartPrint(*exports_, std::move(printer), form_.lastFigure(), error)) {
    Warn(this, print_->text().remove('&'), Sentence(error));
    return;
  }
  note_->hide();
  EnableExports(false);
  printing_ = true;
}

void Form1Window::CopyPicture() const {
  // A copy: the clipboard must keep this figure after the next one is traced over the raster.
  QGuiApplication::clipboard()->setImage(WrapPicture(picture1_).copy());
}

void Form1Window::CopyFigureCommand() const {
  if (!form_.showsFigure()) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(files_.Command(form_.lastFigure())));
}

}  // namespace stringart
