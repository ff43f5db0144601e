#include "text/ExportRequest.h"

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
