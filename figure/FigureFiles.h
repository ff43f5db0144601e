#pragma once

#include <optional>
#include <string>

#include "canvas/Picture1.h"
#include "figure/ExportProgress.h"
#include "figure/FigureRecord.h"

namespace stringart {

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
  // Draws `figure` anti-aliased at `width` x `height` pixels into the PNG `path`. Called off
  // the window's thread; `progress` may cancel. A failed or cancelled export leaves no file.
  virtual ExportResult SaveLargePicture(const std::string& path, const FigureRecord& figure,
                                        int width, int height, const ExportProgress& progress,
                                        std::string& error) = 0;
  // Writes `figure` being traced to `path` (.mp4 or .webm) as SaveLargePicture does.
  virtual ExportResult SaveAnimation(const std::string& path, const FigureRecord& figure, int width,
                                     int height, int seconds, int fps,
                                     const ExportProgress& progress, std::string& error) = 0;
  // Writes the morph from `from` (draws and start directions) to the draws `to` to `path`
  // (.mp4 or .webm) as SaveAnimation does: a complete figure a frame, its draws moving evenly
  // from one figure's to the other's.
  virtual ExportResult SaveMorph(const std::string& path, const FigureRecord& from,
                                 const FigureDraws& to, int width, int height, int seconds, int fps,
                                 const ExportProgress& progress, std::string& error) = 0;
};

}  // namespace stringart
