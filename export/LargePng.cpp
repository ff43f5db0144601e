#include "export/LargePng.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "export/BandedPng.h"
#include "figure/Tracer.h"
#include "smooth/LargePicture.h"

namespace stringart {

ExportResult SaveLargePicture(const FigureRecord& figure, const ExportRequest& request,
                              const ExportProgress& progress, std::string& error) {
  const auto [width, height] = request.size;
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  const std::vector<Segment>& segments = drawing.segments();

  std::optional<LargePicture> picture = LargePicture::Make(width, height, error);
  if (!picture) return ExportResult::Failed;
  // In slices that end where the colour changes, so that slicing does not change the picture.
  constexpr std::size_t kSlice = 4096;
  for (std::size_t start = 0; start < segments.size();) {
    std::size_t end = std::min(segments.size(), start + kSlice);
    while (end < segments.size() && segments[end].colour == segments[end - 1].colour) ++end;
    picture->Draw(std::span(segments).subspan(start, end - start));
    start = end;
    if (progress && !progress(0.5 * static_cast<double>(start) / segments.size())) {
      return ExportResult::Cancelled;
    }
  }

  PngOptions png;
  png.texts = {{"Software", "stringart"}, {"Comment", RemakeCommand(figure, request)}};
  png.progressFrom = 0.5;
  return WriteBandedPng(request.path, picture->pixels(), width, height, png, progress, error);
}

}  // namespace stringart
