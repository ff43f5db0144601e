#include "text/ExportRequest.h"

#include <cmath>

namespace stringart {

std::optional<ExportRequest> ExportRequest::Make(std::string path, FrameSize size, int seconds,
                                                 int fps, std::optional<FigureDraws> morphTo,
                                                 std::string& error) {
  const auto format = FormatForPath(path);
  if (!format) {
    error = "the name must end in .png, .svg, .mp4 or .webm";
    return std::nullopt;
  }
  ExportRequest request{std::move(path), *format, size, seconds, fps, std::move(morphTo)};
  if (request.moving()) {
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
  if (request.morphTo) ((command += ' ') += kMorphToOption) += ' ' + FormatDraws(*request.morphTo);
  ((command += ' ') += kSizeOption) += ' ' + FormatSize(request.size);
  if (request.moving()) {
    ((command += ' ') += kSecondsOption) += ' ' + std::to_string(request.seconds);
    ((command += ' ') += kFpsOption) += ' ' + std::to_string(request.fps);
  }
  return command;
}

}  // namespace stringart
