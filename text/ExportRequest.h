#pragma once

#include <optional>
#include <string>

#include "figure/FigureRecord.h"
#include "text/ExportLimits.h"
#include "text/FigureCommand.h"

namespace stringart {

// One export of a figure as the renderer's options or a window's dialog ask for it, its kind
// decided once, from the file's name: a large picture (.png), an SVG of a given size (.svg), the
// figure being traced (.mp4, .webm) or, with draws to morph to, a morph from the figure to them.
struct ExportRequest {
  std::string path;
  FigureFormat format = FigureFormat::Png;  // by the name's extension
  FrameSize size;                           // pixels; an SVG's document size
  int seconds = 0, fps = 0;                 // a moving picture's tracing time and rate; else 0
  std::optional<FigureDraws> morphTo;       // the draws a morph ends with

  // Checks what is asked against the export limits. A still picture takes no seconds, rate or
  // morph: seconds and fps are set to 0 for it. Nullopt with `error` set to the reason, in one
  // line without the path, when nothing can be made of it.
  static std::optional<ExportRequest> Make(std::string path, FrameSize size, int seconds, int fps,
                                           std::optional<FigureDraws> morphTo, std::string& error);

  bool moving() const { return IsAnimation(format); }
  bool morph() const { return morphTo.has_value(); }
};

// Seconds writing the file of `request` takes, roughly (within a factor of two or so, by the
// machine): frames times the pixels each one is drawn and encoded at, measured on a two-core
// machine. Work of over kLongExportSeconds is told before it starts.
double ExpectedSeconds(const ExportRequest& request);
inline constexpr double kLongExportSeconds = 600;
// "about 1 h 40 min", "about 12 min", "about 40 s".
std::string DurationText(double seconds);

// The stringart-render command that makes the file of `request` again from `figure` (a morph's
// start): "--draws A --directions R,G,B [--morph-to B] --size WxH [--seconds S --fps F]".
std::string RemakeCommand(const FigureRecord& figure, const ExportRequest& request);

}  // namespace stringart
