#pragma once

#include <optional>
#include <string>

#include "export/FigureFile.h"
#include "figure/FigureFiles.h"

namespace stringart {

// The window's way to files and commands: SaveFigure, RemakeCommand, OpenFigure and
// ExportFigure.
class FigureFileWriter final : public FigureFiles {
 public:
  bool Save(const std::string& path, const Picture1& picture, const FigureRecord& figure,
            std::string& error) override {
    return SaveFigure(path, picture, figure, error);
  }
  std::string Command(const FigureRecord& figure) override;
  std::optional<FigureRecord> Open(const std::string& path, std::string& error) override {
    return OpenFigure(path, error);
  }
  ExportResult SaveLargePicture(const std::string& path, const FigureRecord& figure, int width,
                                int height, const ExportProgress& progress,
                                std::string& error) override;
  ExportResult SaveAnimation(const std::string& path, const FigureRecord& figure, int width,
                             int height, int seconds, int fps, const ExportProgress& progress,
                             std::string& error) override;
  ExportResult SaveMorph(const std::string& path, const FigureRecord& from, const FigureDraws& to,
                         int width, int height, int seconds, int fps,
                         const ExportProgress& progress, std::string& error) override {
    return ExportMorph(path, from, to, {width, height}, seconds, fps, progress, error);
  }
};

}  // namespace stringart
