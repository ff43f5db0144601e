#include "window/Wallpapers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <cmath>

namespace stringart {

bool StartWallpaper(ExportRunner& runner, FigureFiles& files, const FigureRecord& figure,
                    const std::shared_ptr<WallpaperWork>& work, QString& error) {
  if (runner.running()) {
    error = QCoreApplication::translate("stringart::Exports",
                                        "Another file is being written; wait for it or cancel it.");
    return false;
  }
  std::vector<WallpaperScreen> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    // Device pixels: a dense screen's wallpaper is as sharp as the screen.
    const QSize size = screen->size() * screen->devicePixelRatio();
    screens.push_back({screen->name().toStdString(), size.width(), size.height()});
  }
  const std::string folder =
      (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
       QStringLiteral("/stringart/wallpapers"))
          .toStdString();
  const auto title = QCoreApplication::translate("stringart::Form1Window", "Set as wallpaper");
  return runner.Start(
      title, QCoreApplication::translate("stringart::Exports", "Drawing the wallpaper\u2026"),
      [=, &files](const ExportProgress& progress, std::string& why) {
        return files.SetWallpaper(figure, screens, folder, progress, work->way, work->file, why);
      });
}

QString WallpaperNote(const WallpaperWork& work) {
  if (work.way.empty()) {
    return QCoreApplication::translate(
        "stringart::Exports",
        "Saved %1 in %2; no desktop that stringart can set a wallpaper on is running: choose it "
        "in your desktop's settings");
  }
  return QCoreApplication::translate("stringart::Exports", "Wallpaper set on %3: %1 in %2")
      .replace(QStringLiteral("%3"), QString::fromStdString(work.way));
}

}  // namespace stringart
