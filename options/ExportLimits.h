#pragma once

#include <string>

namespace stringart {

// Every limit and default of the files a figure is exported to, for the renderer's options and
// the window's dialogs alike.

// A picture's or an animation's size in pixels.
struct FrameSize {
  int width = 0, height = 0;
  friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

// Sides of a picture drawn larger than the canvas, pixels.
inline constexpr int kMinSide = 500, kMaxSide = 16384;
// An animation's frames: each side even, from kMinSide up to this, pixels.
inline constexpr int kAnimationMaxSide = 4096;
// An animation's tracing time, seconds, and its frame rate, frames a second.
inline constexpr int kMinSeconds = 1, kMaxSeconds = 600;
inline constexpr int kMinFps = 1, kMaxFps = 120;

// The sizes the window offers, by width then height: common screens and squares. Each is a valid
// picture; those within the animation limits are offered for animations too.
inline constexpr FrameSize kSizePresets[] = {
    {500, 500},   {1000, 1000}, {1280, 720},  {1920, 1080}, {2000, 2000}, {2560, 1440},
    {3840, 2160}, {4000, 4000}, {5120, 2880}, {7680, 4320}, {8000, 8000}, {16384, 16384}};

// Seconds a slideshow's figure stays on the screen, when not asked, and at most.
inline constexpr int kDefaultSlideshowSeconds = 10, kMaxSlideshowSeconds = 86400;

// What a large picture is made with when nothing else is asked for.
inline constexpr FrameSize kDefaultPictureSize{4000, 4000};
// What an animation is made with when nothing else is asked for.
inline constexpr FrameSize kDefaultAnimationSize{1000, 1000};
inline constexpr int kDefaultSeconds = 8;
inline constexpr int kDefaultFps = 30;

// Files for a sheet of paper. Millimetres a sheet's side takes, typed as WxHmm.
inline constexpr float kMinPaperSide = 20, kMaxPaperSide = 5000;
// The blank border around the figure, millimetres, and the least side the figure's square keeps.
inline constexpr float kDefaultMargin = 15, kMaxMargin = 500, kMinFigureSide = 10;
// A plotter's pens: how many colours the figure is reduced to, or how many of one's own.
inline constexpr int kMinPens = 1, kMaxPens = 12, kDefaultPens = 6;
// The plotter's pen, millimetres wide, and its speed, millimetres a second.
inline constexpr float kDefaultPenWidth = 0.3f, kMinPenWidth = 0.05f, kMaxPenWidth = 5;
inline constexpr float kDefaultSpeed = 25, kMinSpeed = 1, kMaxSpeed = 1000;
// The time a plot may take, minutes: what the lines drawn are thinned to fit.
inline constexpr float kDefaultPlotMinutes = 120, kMinPlotMinutes = 1, kMaxPlotMinutes = 6000;
// Seconds a plotter takes to lower its pen and lift it again, once a path.
inline constexpr double kPenLiftSeconds = 0.2;
// A G-code plotter's pen: a servo's M3 S value down, or the Z axis's height up, millimetres.
inline constexpr float kMinServo = 1, kMaxServo = 10000, kDefaultServo = 1000;
inline constexpr float kMinLift = 0.5f, kMaxLift = 50, kDefaultLift = 3;
// A printed PNG's dots per inch.
inline constexpr int kMinDpi = 72, kMaxDpi = 1200, kDefaultDpi = 300;

// Why a picture of `size` cannot be made, in one line; empty when it can.
std::string PictureSizeProblem(FrameSize size);
// Why an animation of `size`, `seconds` and `fps` cannot be made, in one line; empty when it can.
std::string AnimationProblem(FrameSize size, int seconds, int fps);

}  // namespace stringart
