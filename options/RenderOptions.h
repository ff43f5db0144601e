#pragma once

#include <optional>
#include <string>
#include <vector>

#include "figure/FigureRecord.h"
#include "options/ExportRequest.h"
#include "options/FigureCommand.h"
#include "text/Translatable.h"

namespace stringart {

// The command line of stringart-render, checked.
struct RenderOptions {
  std::optional<float> seed;         // time of day the clock always reads, seconds in [0, 86400)
  std::optional<FigureDraws> draws;  // every figure's draws
  Directions directions;             // fre, fgr, fbl before the first figure
  long figures = 1;                  // 1 to kMaxFigures
  std::string output;                // ends in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf
  std::optional<FrameSize> size;     // a large picture or the SVG's size; always for animations
  std::optional<int> seconds, fps;   // an animation's length and rate; only for animations
  std::optional<FigureDraws> morphTo;  // an animation morphs the last figure into these draws
  std::optional<PaperSettings> paper;  // a file for that sheet (--paper and what goes with it)
  // The file drawn again from the last figure's record: a large picture or sized SVG (with
  // --size), an animation, a morph or a file for paper; none for the 500 x 500 picture or SVG.
  std::optional<ExportRequest> request;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. Returns nullopt with `error` set to one line
// naming the problem. --help and --version need nothing else.
std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

// Where the texts of --help are marked for translation.
inline constexpr const char* kRenderOptionsContext = "RenderOptions";
// The text of --help, in the person's language by `translate`.
std::string RenderUsage(const Translate& translate = {});

}  // namespace stringart
