#pragma once

#include <QString>
#include <memory>

#include "export/FigureFiles.h"
#include "figure/FigureRecord.h"
#include "window/ExportRunner.h"

namespace stringart {

// A wallpaper being set on an ExportRunner's thread, and what became of it.
struct WallpaperWork {
  std::string way;   // the desktop's name ("GNOME"); empty when none of ours is there
  std::string file;  // the first screen's picture, once drawn
};

// Starts drawing `figure` at the size of every screen and setting it as the wallpaper through
// `files`, which must outlive the work, on `runner`'s thread; `work` hears what was done. False
// with `error` set when the runner is busy.
bool StartWallpaper(ExportRunner& runner, FigureFiles& files, const FigureRecord& figure,
                    const std::shared_ptr<WallpaperWork>& work, QString& error);

// The note for a wallpaper set (or only drawn, with no desktop to set it on): %1 the file's
// name, %2 its folder, as ExportNote::ShowFile takes it.
QString WallpaperNote(const WallpaperWork& work);

}  // namespace stringart
