#pragma once

#include <optional>
#include <string>

#include "figure/FigureRecord.h"
#include "options/ExportLimits.h"
#include "options/FigureCommand.h"
#include "options/Paper.h"

namespace stringart {

// One export of a figure as the renderer's options or a window's dialog ask for it, its kind
// decided once, from the file's name: a large picture (.png), an SVG of a given size (.svg), the
// figure being traced (.mp4, .webm) or, with draws to morph to, a morph from the figure to them.
// With a paper it is a file for that sheet: a plotter's SVG (.svg), HPGL (.hpgl, .plt) or G-code
// (.gcode), a
// vector print (.pdf) or a print at the paper's dots (.png).
struct ExportRequest {
  std::string path;
  FigureFormat format = FigureFormat::Png;  // by the name's extension
  FrameSize size;                           // pixels; an SVG's document size; a print's page
  int seconds = 0, fps = 0;                 // a moving picture's tracing time and rate; else 0
  std::optional<FigureDraws> morphTo;       // the draws a morph ends with
  std::optional<PaperSettings> paper;       // the sheet a file for paper is made for

  // Checks what is asked against the export limits. A still picture takes no seconds, rate or
  // morph: seconds and fps are set to 0 for it. Nullopt with `error` set to the reason, in one
  // line without the path, when nothing can be made of it.
  static std::optional<ExportRequest> Make(std::string path, FrameSize size, int seconds, int fps,
                                           std::optional<FigureDraws> morphTo, std::string& error);
  // A file for paper: .svg, .hpgl, .plt, .gcode, .pdf or .png. Nullopt with `error` set as above
  // when the margin leaves no room, the pens are not 1 to 12, or a PNG would be larger than the
  // largest picture.
  static std::optional<ExportRequest> ForPaper(std::string path, const PaperSettings& paper,
                                               std::string& error);

  bool moving() const { return IsAnimation(format); }
  bool morph() const { return morphTo.has_value(); }
  // A plotter's file: pen paths in layers (SVG) or in HPGL.
  bool plotter() const {
    return paper && (format == FigureFormat::Svg || format == FigureFormat::Hpgl ||
                     format == FigureFormat::Gcode);
  }
};

// Seconds writing the file of `request` takes, roughly (within a factor of two or so, by the
// machine): frames times the pixels each one is drawn and encoded at, measured on a two-core
// machine. Work of over kLongExportSeconds is told before it starts.
double ExpectedSeconds(const ExportRequest& request);
inline constexpr double kLongExportSeconds = 600;
// "about 1 h 40 min", "about 12 min", "about 40 s".
std::string DurationText(double seconds);

// The stringart-render command that makes the file of `request` again from `figure` (a morph's
// start): "--draws A --directions R,G,B [--morph-to B] --size WxH [--seconds S --fps F]", or for
// paper "--draws A --directions R,G,B --paper P [--landscape] --margin M" and what the kind of
// file takes of pens, pen width, speed, dots and ground.
std::string RemakeCommand(const FigureRecord& figure, const ExportRequest& request);

}  // namespace stringart
