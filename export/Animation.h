#pragma once

#include <cstdint>
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

// The pictures of an animation, in order: `width` x `height` 0xFFRRGGBB words each, rows top
// to bottom with no padding.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // How many frames there are.
  virtual long frames() const = 0;
  // Frame `k`, asked for from 0 upwards, one at a time: valid until the next call. Null, with
  // `error` set to one line, when it cannot be made.
  virtual const std::uint32_t* Frame(long k, std::string& error) = 0;
};

// Encodes every frame of `source` at `fps` frames a second into `path`, through a temporary
// file beside it renamed at the end, with `remakeCommand` in the container's comment tag. One
// frame is held at a time, however long the clip. `progress` hears of every frame and may
// cancel; a failure or a cancel leaves no file. A failure sets `error` to one line without the
// path.
ExportResult EncodeAnimation(FrameSource& source, AnimationCodec codec, int width, int height,
                             int fps, const std::string& remakeCommand, const std::string& path,
                             const ExportProgress& progress, std::string& error);

// Writes the animation of `figure` to `path` through a temporary file beside it, renamed at the
// end, with `remakeCommand` in the container's comment tag. `progress` hears of every frame and
// may cancel; a failure or a cancel leaves no file. A failure sets `error` to one line without
// the path.
ExportResult SaveAnimation(const FigureRecord& figure, AnimationCodec codec, int width, int height,
                           int seconds, int fps, const std::string& remakeCommand,
                           const std::string& path, const ExportProgress& progress,
                           std::string& error);

// A morph from `from` to the draws `to`, written as SaveAnimation writes: frame k of
// seconds x fps shows the complete figure of the draws MorphDraws(from.draws, to, k, seconds x
// fps) with `from`'s start directions, drawn as LargePicture draws it; the first frame is
// `from`'s figure and the last of them `to`'s, which is then held for one more second.
ExportResult SaveMorph(const FigureRecord& from, const FigureDraws& to, AnimationCodec codec,
                       int width, int height, int seconds, int fps,
                       const std::string& remakeCommand, const std::string& path,
                       const ExportProgress& progress, std::string& error);

}  // namespace stringart
