#include "export/FigureFile.h"

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "formats/Animation.h"
#include "formats/CommandReader.h"
#include "formats/LargePng.h"
#include "formats/PngFile.h"
#include "formats/Svg.h"
#include "options/FigureCommand.h"
#include "paper/PaperFile.h"
#include "runtime/AtomicFile.h"
#include "text/Quote.h"

namespace stringart {

bool SaveFigure(const std::string& path, const Picture1& picture, const FigureRecord& figure,
                std::string& error) {
  const auto format = FormatForPath(path);
  if (format != FigureFormat::Png && format != FigureFormat::Svg) {
    error = "cannot save " + Quoted(path) + ": the name must end in .png or .svg";
    return false;
  }

  const std::string remake = RemakeCommand(figure);
  if (*format == FigureFormat::Png) {
    PngOptions png;
    // The comment compressed, and 100 pixels an inch: the picture the window has always saved.
    png.texts = {{"Comment", remake, true}, {"Software", "stringart"}};
    png.pixelsPerMetre = 3937;
    if (WritePngFile(path, picture.pixels(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
                     png, {}, error) == ExportResult::Written) {
      return true;
    }
    error = "cannot save " + Quoted(path) + ": " + error;
    return false;
  }
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  const std::string bytes = SvgDocument(drawing, Picture1::kWidth, Picture1::kHeight, remake);
  if (WriteFileAtomically(path, bytes, error)) return true;
  error = "cannot save " + Quoted(path) + ": " + error;
  return false;
}

std::optional<FigureRecord> OpenFigure(const std::string& path, std::string& error) {
  const std::string named = "cannot open " + Quoted(path) + ": ";
  const auto format = FormatForPath(path);
  if (!format) {
    error = named +
            "only .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode and .pdf files written by stringart "
            "carry a "
            "figure";
    return std::nullopt;
  }
  std::string why;
  auto text = ReadFileCommand(path, *format, why);
  if (!text) {
    error = named + why;
    return std::nullopt;
  }
  const std::string& command = *text;
  // Another program's comment or metadata is no damaged command: there is none.
  if (command.find(kRenderProgram) == std::string::npos) {
    error = named + "it carries no " + std::string(kRenderProgram) +
            " command; only pictures saved by stringart do";
    return std::nullopt;
  }
  auto figure = ParseRemakeCommand(command, why);
  if (!figure) error = named + "its " + std::string(kRenderProgram) + " command is damaged: " + why;
  return figure;
}

ExportResult ExportFigure(const ExportRequest& request, const FigureRecord& figure,
                          const ExportProgress& progress, std::string& error, PlotTotals* plot) {
  std::string why;
  ExportResult result = ExportResult::Failed;
  switch (request.format) {
    case FigureFormat::Png:
      result = request.paper ? SavePrint(figure, request, progress, why)
                             : SaveLargePicture(figure, request, progress, why);
      break;
    case FigureFormat::Svg: {
      if (request.paper) {
        result = SavePlotterFile(figure, request, progress, why, plot);
        break;
      }
      SegmentRecorder drawing;
      TraceAgain(figure, drawing);
      const std::string svg =
          SvgDocument(drawing, Picture1::kWidth, Picture1::kHeight, RemakeCommand(figure, request),
                      request.size.width, request.size.height);
      if (WriteFileAtomically(request.path, svg, why)) result = ExportResult::Written;
      break;
    }
    case FigureFormat::Mp4:
    case FigureFormat::Webm: result = SaveAnimation(figure, request, progress, why); break;
    case FigureFormat::Hpgl:
    case FigureFormat::Gcode: result = SavePlotterFile(figure, request, progress, why, plot); break;
    case FigureFormat::Pdf: result = SavePrint(figure, request, progress, why); break;
  }
  if (result == ExportResult::Failed) error = "cannot save " + Quoted(request.path) + ": " + why;
  return result;
}

}  // namespace stringart
