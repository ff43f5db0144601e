#pragma once

#include <string>

#include "figure/ExportProgress.h"
#include "figure/FigureRecord.h"

namespace stringart {

// Writes `figure` drawn as LargePicture draws it, `width` x `height` pixels, as a PNG carrying
// `remakeCommand` in a text chunk, through a temporary file beside `path` renamed at the end.
// `progress` hears of the drawing and the encoding and may cancel; a failure or a cancel leaves
// no file. A failure sets `error` to one line without the path.
ExportResult SaveLargePicture(const FigureRecord& figure, int width, int height,
                              const std::string& remakeCommand, const std::string& path,
                              const ExportProgress& progress, std::string& error);

}  // namespace stringart
