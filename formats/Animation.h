#pragma once

#include <string>

#include "figure/FigureRecord.h"
#include "formats/ExportProgress.h"
#include "options/ExportRequest.h"

namespace stringart {

// Writes the moving picture `request` asks for of `figure` through FFmpeg's libraries: H.264
// (libx264, yuv420p) in MP4 with the index at the front, or VP9 (libvpx-vp9, yuv420p) in WebM,
// by the request's format. Frame k of seconds x fps shows, drawn as LargePicture draws it on
// black, either the first k / (seconds x fps) of the figure's strokes (an animation of the
// figure being traced), or for a morph the complete figure of the draws
// MorphDraws(figure.draws, request.morphTo, k, seconds x fps) with the figure's start directions,
// so that the first frame is the figure and the last of them the other; the last picture is then
// held for one more second. One frame is held in memory at a time, however long the clip. The
// file goes through a temporary file beside it, renamed at the end, with the command that makes
// it again in the container's comment tag. `progress` hears of every frame and may cancel; a
// failure or a cancel leaves no file. A failure sets `error` to one line without the path.
ExportResult SaveAnimation(const FigureRecord& figure, const ExportRequest& request,
                           const ExportProgress& progress, std::string& error);

}  // namespace stringart
