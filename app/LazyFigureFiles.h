#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "export/FigureFiles.h"

namespace stringart {

// The window's figure files, taken from the module stringart-files.so the first time a file is
// written or read, so that the window starts without the libraries of the file formats. Safe to
// call from any thread. Where the module cannot be loaded, every file fails with one line saying
// why; the command to copy needs no module.
class LazyFigureFiles final : public FigureFiles {
 public:
  // `module` is the module's path.
  explicit LazyFigureFiles(std::string module) : module_(std::move(module)) {}

  // Where the program finds the module: beside it in a build, else where it is installed,
  // relative to the program's folder.
  static std::string ModulePath();

  bool Save(const std::string& path, const Picture1& picture, const FigureRecord& figure,
            std::string& error) override {
    FigureFiles* files = Files(error);
    return files != nullptr && files->Save(path, picture, figure, error);
  }
  std::string Command(const FigureRecord& figure) override;
  std::optional<FigureRecord> Open(const std::string& path, std::string& error) override {
    FigureFiles* files = Files(error);
    return files != nullptr ? files->Open(path, error) : std::nullopt;
  }
  ExportResult Export(const ExportRequest& request, const FigureRecord& figure,
                      const ExportProgress& progress, std::string& error) override {
    FigureFiles* files = Files(error);
    return files != nullptr ? files->Export(request, figure, progress, error)
                            : ExportResult::Failed;
  }
  ExportResult SetWallpaper(const FigureRecord& figure, const std::vector<WallpaperScreen>& screens,
                            const std::string& folder, const ExportProgress& progress,
                            std::string& way, std::string& written, std::string& error) override {
    FigureFiles* files = Files(error);
    return files != nullptr
               ? files->SetWallpaper(figure, screens, folder, progress, way, written, error)
               : ExportResult::Failed;
  }

 private:
  // The module's files, loaded on the first call; null with `error` set when it cannot be.
  FigureFiles* Files(std::string& error);

  std::string module_;
  std::once_flag once_;
  FigureFiles* files_ = nullptr;
  std::string failure_;  // why the module was not loaded
};

}  // namespace stringart
