#pragma once

#include <optional>
#include <string>
#include <vector>

#include "canvas/Picture1.h"
#include "figure/FigureRecord.h"
#include "formats/ExportProgress.h"
#include "options/ExportRequest.h"

namespace stringart {

// A screen a wallpaper covers: its output's name ("HDMI-1") and size in device pixels.
struct WallpaperScreen {
  std::string name;
  int width = 0, height = 0;
};

// What the window needs of figure files and of the figure's text forms. The program hands the
// window its implementation, so that the window knows nothing of file formats or commands.
class FigureFiles {
 public:
  virtual ~FigureFiles() = default;
  // Saves `figure`, shown on `picture`, to `path`; false with `error` set to one line.
  virtual bool Save(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                    std::string& error) = 0;
  // The stringart-render command that makes `figure` again, as a shell runs it when pasted: it
  // writes figure-<name>.png in the current folder.
  virtual std::string Command(const FigureRecord& figure) = 0;
  // The figure whose command a file saved by this program carries, its draws and start
  // directions; nullopt with `error` set to one line when the file has none or a damaged one.
  virtual std::optional<FigureRecord> Open(const std::string& path, std::string& error) = 0;
  // Writes the file `request` asks for of `figure` (a morph's start): a large picture, an SVG,
  // an animation or a morph. Called off the window's thread; `progress` may cancel. A failed or
  // cancelled export leaves no file; a failure sets `error` to one line naming the file.
  virtual ExportResult Export(const ExportRequest& request, const FigureRecord& figure,
                              const ExportProgress& progress, std::string& error) = 0;
  // Draws `figure` at the size of each of `screens` into `folder` and makes it the desktop's
  // wallpaper as this session sets one. `way` gets the desktop's name at once ("GNOME"; empty
  // where there is none to set it on, and the pictures are only drawn), `written` the first
  // picture. Called off the window's thread; `progress` may cancel; a failure sets `error`.
  virtual ExportResult SetWallpaper(const FigureRecord& figure,
                                    const std::vector<WallpaperScreen>& screens,
                                    const std::string& folder, const ExportProgress& progress,
                                    std::string& way, std::string& written, std::string& error) = 0;
};

}  // namespace stringart
