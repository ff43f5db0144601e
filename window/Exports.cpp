#include "window/Exports.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <string>

#include "text/ExportLimits.h"
#include "window/Messages.h"

namespace stringart {

bool StartFigureExport(ExportRunner& runner, FigureFiles& files, const QString& path,
                       const FigureRecord& figure, int width, int height, int seconds, int fps) {
  // Copies for the thread: the window may trace other figures meanwhile.
  const std::string file = path.toStdString();
  FigureFiles* writer = &files;
  return runner.Start(
      seconds > 0 ? QStringLiteral("Save animation") : QStringLiteral("Save large picture"),
      QStringLiteral("Writing %1\u2026").arg(QFileInfo(path).fileName()),
      [=](const ExportProgress& progress, std::string& why) {
        return seconds > 0
                   ? writer->SaveAnimation(file, figure, width, height, seconds, fps, progress, why)
                   : writer->SaveLargePicture(file, figure, width, height, progress, why);
      });
}

bool StartMorphExport(ExportRunner& runner, FigureFiles& files, const QString& path,
                      const FigureRecord& from, const FigureDraws& to, int width, int height,
                      int seconds, int fps, QString& error) {
  if (runner.running()) {
    error = QStringLiteral("Another file is being written; wait for it or cancel it.");
    return false;
  }
  // Copies for the thread: the window may show other figures meanwhile.
  const std::string file = path.toStdString();
  FigureFiles* writer = &files;
  return runner.Start(QStringLiteral("Save morph"),
                      QStringLiteral("Writing %1\u2026").arg(QFileInfo(path).fileName()),
                      [=](const ExportProgress& progress, std::string& why) {
                        return writer->SaveMorph(file, from, to, width, height, seconds, fps,
                                                 progress, why);
                      });
}

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

void AskAndStartMorph(QWidget* parent, const MorphStart& start) {
  const QString path = AskMorphPath(parent);
  if (path.isEmpty()) return;
  QString error;
  if (!start(path, kDefaultAnimationSize.width, kDefaultAnimationSize.height, kDefaultSeconds,
             kDefaultFps, error)) {
    Warn(parent, QStringLiteral("Save morph"), error);
  }
}

}  // namespace stringart
