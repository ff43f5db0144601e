#pragma once

#include <string>

#include "canvas/Picture1.h"
#include "window/FigureFiles.h"
#include "window/FigureRecord.h"

namespace stringart {

// Saves a figure to `path`: .png writes the raster, .svg traces `figure` again as vector art.
// Both carry RemakeCommand. The file is written beside the target under a temporary name and
// renamed into place, so a failed save leaves neither it nor a partial file behind. Returns
// false with `error` set to one line that names the problem.
bool SaveFigure(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                std::string& error);

// The window's way to files: SaveFigure.
class FigureFileWriter final : public FigureFiles {
 public:
  bool Save(const std::string& path, const Picture1& picture, const FigureRecord& figure,
            std::string& error) override {
    return SaveFigure(path, picture, figure, error);
  }
};

}  // namespace stringart
