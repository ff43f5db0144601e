#pragma once

#include <string>

#include "figure/FigureRecord.h"
#include "formats/ExportProgress.h"
#include "options/ExportRequest.h"

namespace stringart {

// Writes `figure` drawn as LargePicture draws it at the request's size as the PNG it names,
// carrying the command that makes it again in a text chunk, through a temporary file beside it
// renamed at the end. `progress` hears of the drawing and the encoding and may cancel; a failure
// or a cancel leaves no file. A failure sets `error` to one line without the path.
ExportResult SaveLargePicture(const FigureRecord& figure, const ExportRequest& request,
                              const ExportProgress& progress, std::string& error);

}  // namespace stringart
