#include "options/ExportRequest.h"

#include <cmath>

namespace stringart {
namespace {

void AddOption(std::string& command, std::string_view option, const std::string& value) {
  ((command += ' ') += option) += ' ' + value;
}

}  // namespace

std::optional<ExportRequest> ExportRequest::Make(std::string path, FrameSize size, int seconds,
                                                 int fps, std::optional<FigureDraws> morphTo,
                                                 std::string& error) {
  const auto format = FormatForPath(path);
  if (!format) {
    error = "the name must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf";
    return std::nullopt;
  }
  ExportRequest request{std::move(path), *format, size, seconds, fps, std::move(morphTo), {}};
  if (*format == FigureFormat::Hpgl || *format == FigureFormat::Gcode ||
      *format == FigureFormat::Pdf) {
    error = "an HPGL, G-code or PDF file is made for a sheet of paper";
  } else if (request.moving()) {
    error = AnimationProblem(size, seconds, fps);
  } else if (request.morph()) {
    error = "a morph is a .mp4 or .webm file";
  } else {
    request.seconds = request.fps = 0;
    error = PictureSizeProblem(size);
  }
  if (!error.empty()) return std::nullopt;
  return request;
}

std::optional<ExportRequest> ExportRequest::ForPaper(std::string path, const PaperSettings& paper,
                                                     std::string& error) {
  const auto format = FormatForPath(path);
  if (!format || IsAnimation(*format)) {
    error = "a file for paper ends in .svg, .hpgl, .plt, .gcode, .pdf or .png";
    return std::nullopt;
  }
  ExportRequest request{std::move(path), *format, {}, 0, 0, {}, paper};
  const PenChoice& pens = paper.pens;
  const int count = pens.own() ? static_cast<int>(pens.colours.size()) : pens.count;
  error = PaperProblem(paper);
  if (error.empty() && (count < kMinPens || count > kMaxPens)) {
    error = "a plotter takes " + std::to_string(kMinPens) + " to " + std::to_string(kMaxPens) +
            " pens, not " + std::to_string(count);
  }
  if (error.empty() && *format == FigureFormat::Png) {
    request.size = PagePixels(paper);
    if (paper.dpi < kMinDpi || paper.dpi > kMaxDpi) {
      error = "a print takes " + std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi) +
              " dots per inch, not " + std::to_string(paper.dpi);
    } else if (request.size.width > kMaxSide || request.size.height > kMaxSide) {
      error = FormatPaper(paper.paper) + " at " + std::to_string(paper.dpi) + " dpi is " +
              std::to_string(request.size.width) + " x " + std::to_string(request.size.height) +
              " pixels, more than " + std::to_string(kMaxSide) + " a side: fewer dots per inch";
    }
  }
  if (!error.empty()) return std::nullopt;
  return request;
}

double ExpectedSeconds(const ExportRequest& request) {
  // Measured on two cores: a frame is drawn, converted and encoded in about 20 ns a pixel; a
  // morph's frames are whole figures, traced (10 ms) and drawn (20 ns a pixel) each.
  constexpr double kFrameSecondsPerPixel = 20e-9, kFigureSecondsPerPixel = 20e-9;
  constexpr double kTraceSeconds = 0.010;
  const double pixels = static_cast<double>(request.size.width) * request.size.height;
  if (!request.moving()) return pixels * kFigureSecondsPerPixel;
  const double frames = static_cast<double>(request.seconds + 1) * request.fps;
  double frame = pixels * kFrameSecondsPerPixel;
  if (request.morph()) frame += pixels * kFigureSecondsPerPixel + kTraceSeconds;
  return frames * frame;
}

std::string DurationText(double seconds) {
  const long total = std::lround(seconds);
  if (total < 60) return "about " + std::to_string(total) + " s";
  const long minutes = (total + 30) / 60;
  if (minutes < 60) return "about " + std::to_string(minutes) + " min";
  return "about " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

std::string RemakeCommand(const FigureRecord& figure, const ExportRequest& request) {
  std::string command = RemakeCommand(figure);
  if (request.paper) {
    const PaperSettings& paper = *request.paper;
    AddOption(command, kPaperOption, FormatPaper(paper.paper));
    if (paper.landscape) (command += ' ') += kLandscapeOption;
    AddOption(command, kMarginOption, FormatDecimal(paper.margin));
    if (paper.paperColour) AddOption(command, kPaperColourOption, FormatColour(*paper.paperColour));
    if (request.plotter()) {
      // Colours joined to the option by '=': a word that begins with '#' would start a comment
      // in a shell the command is pasted into.
      if (paper.pens.own()) {
        ((command += ' ') += kPensOption) += '=' + FormatPens(paper.pens);
      } else {
        AddOption(command, kPensOption, FormatPens(paper.pens));
      }
      AddOption(command, kPenWidthOption, FormatDecimal(paper.penWidth));
      AddOption(command, kSpeedOption, FormatDecimal(paper.speed));
      AddOption(command, kPlotTimeOption, FormatPlotTime(paper.plotMinutes));
      if (request.format == FigureFormat::Gcode) {
        AddOption(command, kPenLiftOption, FormatPenLift(paper.lift));
        if (paper.filePerPen) (command += ' ') += kFilePerPenOption;
      }
    } else if (request.format == FigureFormat::Png) {
      AddOption(command, kDpiOption, std::to_string(paper.dpi));
    } else if (paper.onWhite) {
      (command += ' ') += kOnWhiteOption;
    }
    return command;
  }
  if (request.morphTo) AddOption(command, kMorphToOption, FormatDraws(*request.morphTo));
  AddOption(command, kSizeOption, FormatSize(request.size));
  if (request.moving()) {
    AddOption(command, kSecondsOption, std::to_string(request.seconds));
    AddOption(command, kFpsOption, std::to_string(request.fps));
  }
  return command;
}

}  // namespace stringart
