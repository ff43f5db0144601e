#pragma once

#include <optional>
#include <string>

#include "export/FigureFile.h"
#include "export/FigureFiles.h"
#include "export/Wallpaper.h"

namespace stringart {

// The window's way to files and commands: SaveFigure, PastableCommand, OpenFigure,
// ExportFigure and the wallpaper as this session sets it.
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
  ExportResult Export(const ExportRequest& request, const FigureRecord& figure,
                      const ExportProgress& progress, std::string& error) override {
    return ExportFigure(request, figure, progress, error);
  }
  ExportResult SetWallpaper(const FigureRecord& figure, const std::vector<WallpaperScreen>& screens,
                            const std::string& folder, const ExportProgress& progress,
                            std::string& way, std::string& written, std::string& error) override {
    const WallpaperWay chosen = ChooseWallpaperWay(SessionFacts());
    way = WallpaperWayName(chosen);
    return stringart::SetWallpaper(figure, chosen, screens, folder, progress, written, error);
  }
};

}  // namespace stringart
