#include "formats/LargePng.h"

#include <optional>

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "formats/BandedPng.h"
#include "smooth/LargePicture.h"

namespace stringart {

ExportResult SaveLargePicture(const FigureRecord& figure, const ExportRequest& request,
                              const ExportProgress& progress, std::string& error) {
  const auto [width, height] = request.size;
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);

  // Not painted black first: the drawing paints every pixel, and hears a cancel as it goes.
  std::optional<LargePicture> picture = LargePicture::MakeUnpainted(width, height, error);
  if (!picture) return ExportResult::Failed;
  const bool drawn = picture->DrawWholeOnBlack(
      drawing.segments(), [&progress](double done) { return !progress || progress(0.5 * done); });
  if (!drawn) return ExportResult::Cancelled;

  PngOptions png;
  png.texts = {{"Software", "stringart"}, {"Comment", RemakeCommand(figure, request)}};
  png.progressFrom = 0.5;
  return WriteBandedPng(request.path, picture->pixels(), width, height, png, progress, error);
}

}  // namespace stringart
