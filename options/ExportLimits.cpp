#include "options/ExportLimits.h"

namespace stringart {
namespace {

bool Within(int value, int least, int most) {
  return value >= least && value <= most;
}

std::string SizeText(FrameSize size) {
  return std::to_string(size.width) + " x " + std::to_string(size.height);
}

}  // namespace

std::string PictureSizeProblem(FrameSize size) {
  if (Within(size.width, kMinSide, kMaxSide) && Within(size.height, kMinSide, kMaxSide)) return {};
  return "the size " + SizeText(size) + " has a side outside " + std::to_string(kMinSide) + " to " +
         std::to_string(kMaxSide);
}

std::string AnimationProblem(FrameSize size, int seconds, int fps) {
  if (!Within(size.width, kMinSide, kAnimationMaxSide) ||
      !Within(size.height, kMinSide, kAnimationMaxSide) || size.width % 2 != 0 ||
      size.height % 2 != 0) {
    return "an animation's sides must be even, from " + std::to_string(kMinSide) + " to " +
           std::to_string(kAnimationMaxSide) + ", not " + SizeText(size);
  }
  if (!Within(seconds, kMinSeconds, kMaxSeconds)) {
    return "an animation lasts " + std::to_string(kMinSeconds) + " to " +
           std::to_string(kMaxSeconds) + " seconds, not " + std::to_string(seconds);
  }
  if (!Within(fps, kMinFps, kMaxFps)) {
    return "an animation runs at " + std::to_string(kMinFps) + " to " + std::to_string(kMaxFps) +
           " frames a second, not " + std::to_string(fps);
  }
  return {};
}

}  // namespace stringart
