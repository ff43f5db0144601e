#pragma once

#include <string>

#include "figure/ExportProgress.h"
#include "figure/FigureRecord.h"
#include "text/ExportLimits.h"

namespace stringart {

// Animations of a figure being traced, through FFmpeg's libraries. Frame k of seconds x fps
// shows the first k / (seconds x fps) of the figure's strokes, drawn as LargePicture draws them,
// on black; the complete figure is then held for one more second.

enum class AnimationCodec {
  H264Mp4,  // H.264 (libx264), yuv420p, in MP4 with the index at the front
  Vp9Webm,  // VP9 (libvpx-vp9), yuv420p, in WebM
};

// Writes the animation of `figure` to `path` through a temporary file beside it, renamed at the
// end, with `remakeCommand` in the container's comment tag. `progress` hears of every frame and
// may cancel; a failure or a cancel leaves no file. A failure sets `error` to one line without
// the path.
ExportResult SaveAnimation(const FigureRecord& figure, AnimationCodec codec, int width, int height,
                           int seconds, int fps, const std::string& remakeCommand,
                           const std::string& path, const ExportProgress& progress,
                           std::string& error);

}  // namespace stringart
