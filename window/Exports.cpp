#include "window/Exports.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <string>

#include "text/ExportLimits.h"
#include "text/Quote.h"
#include "window/Messages.h"

namespace stringart {
namespace {

// Asks where to save a morph, MP4 or WebM; empty when the dialog is cancelled.
QString AskMorphPath(QWidget* parent) {
  const QString mp4 = QStringLiteral("MP4 video, H.264 (*.mp4)");
  const QString webm = QStringLiteral("WebM video, VP9 (*.webm)");
  QString filter = mp4;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save morph"),
                                              folder + QStringLiteral("/morph.mp4"),
                                              mp4 + ";;" + webm, &filter);
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
    path += filter == webm ? QStringLiteral(".webm") : QStringLiteral(".mp4");
  }
  return path;
}

}  // namespace

QString ExportTitle(const ExportRequest& request) {
  if (request.morph()) return QStringLiteral("Save morph");
  return request.moving() ? QStringLiteral("Save animation") : QStringLiteral("Save large picture");
}

bool StartExport(ExportRunner& runner, FigureFiles& files, const ExportRequest& request,
                 const FigureRecord& figure, QString& error) {
  if (runner.running()) {
    error = QStringLiteral("Another file is being written; wait for it or cancel it.");
    return false;
  }
  // Copies for the thread: the window may show other figures meanwhile.
  FigureFiles* writer = &files;
  return runner.Start(ExportTitle(request),
                      QStringLiteral("Writing %1\u2026")
                          .arg(QFileInfo(QString::fromStdString(request.path)).fileName()),
                      [=](const ExportProgress& progress, std::string& why) {
                        return writer->Export(request, figure, progress, why);
                      });
}

void AskAndStartMorph(QWidget* parent, const MorphStart& start) {
  const QString path = AskMorphPath(parent);
  if (path.isEmpty()) return;
  std::string why;
  const auto request = ExportRequest::Make(path.toStdString(), kDefaultAnimationSize,
                                           kDefaultSeconds, kDefaultFps, {}, why);
  QString error;
  if (!request) {
    error = Sentence("cannot save " + Quoted(path.toStdString()) + ": " + why);
  } else if (start(*request, error)) {
    return;
  }
  Warn(parent, QStringLiteral("Save morph"), error);
}

}  // namespace stringart
