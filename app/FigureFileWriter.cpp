#include "app/FigureFileWriter.h"

#include "figure/FigureHistory.h"
#include "text/FigureCommand.h"
#include "text/Quote.h"

namespace stringart {

std::string FigureFileWriter::Command(const FigureRecord& figure) {
  return PastableCommand(figure, "figure-" + FigureName(figure) + ".png");
}

ExportResult FigureFileWriter::SaveLargePicture(const std::string& path, const FigureRecord& figure,
                                                int width, int height,
                                                const ExportProgress& progress,
                                                std::string& error) {
  if (FormatForPath(path) != FigureFormat::Png) {
    error = "cannot save " + Quoted(path) + ": a large picture is a .png file";
    return ExportResult::Failed;
  }
  return ExportFigure(path, figure, {width, height}, 0, 0, progress, error);
}

ExportResult FigureFileWriter::SaveAnimation(const std::string& path, const FigureRecord& figure,
                                             int width, int height, int seconds, int fps,
                                             const ExportProgress& progress, std::string& error) {
  const auto format = FormatForPath(path);
  if (!format || !IsAnimation(*format)) {
    error = "cannot save " + Quoted(path) + ": an animation is a .mp4 or .webm file";
    return ExportResult::Failed;
  }
  return ExportFigure(path, figure, {width, height}, seconds, fps, progress, error);
}

}  // namespace stringart
