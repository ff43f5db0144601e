#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "figure/FigureHistory.h"
#include "figure/FigureRecord.h"
#include "options/ExportLimits.h"
#include "options/OptionGrammar.h"

namespace stringart {

// The text forms of a figure: the --draws and --directions values of stringart-render, and the
// command that makes a figure again. The one place that reads and writes them.

inline constexpr std::string_view kRenderProgram = "stringart-render";
inline constexpr std::string_view kDrawsOption = "--draws";
inline constexpr std::string_view kDirectionsOption = "--directions";
inline constexpr std::string_view kSizeOption = "--size";
inline constexpr std::string_view kSecondsOption = "--seconds";
inline constexpr std::string_view kFpsOption = "--fps";
inline constexpr std::string_view kMorphToOption = "--morph-to";
inline constexpr std::string_view kOutputOption = "--output", kOutputShort = "-o";
inline constexpr std::string_view kSeedOption = "--seed", kFiguresOption = "--figures";
inline constexpr std::string_view kPaperOption = "--paper", kLandscapeOption = "--landscape";
inline constexpr std::string_view kMarginOption = "--margin", kPensOption = "--pens";
inline constexpr std::string_view kPenWidthOption = "--pen-width", kSpeedOption = "--speed";
inline constexpr std::string_view kPlotTimeOption = "--plot-time";
inline constexpr std::string_view kPenLiftOption = "--pen-lift";
inline constexpr std::string_view kFilePerPenOption = "--file-per-pen";
inline constexpr std::string_view kPaperColourOption = "--paper-colour";
inline constexpr std::string_view kDpiOption = "--dpi", kOnWhiteOption = "--on-white";
inline constexpr std::string_view kHelpOption = "--help", kHelpShort = "-h";
inline constexpr std::string_view kVersionOption = "--version";
// The most figures one run of stringart-render traces.
inline constexpr long kMaxFigures = 100000;

// stringart-render's options, as its --help lists them; the command a file carries holds those
// of RemakeOptionTable, a part of them.
std::span<const OptionRow> RenderOptionTable();
// The options that make a figure and its file again: draws, directions, size, seconds, frame
// rate, the draws morphed to, and the paper with its margin, pens and dots.
std::span<const OptionRow> RemakeOptionTable();

// "U1,...,U12": each draw in the shortest form that reads back as the same float.
std::string FormatDraws(const FigureDraws& draws);
// "R,G,B", e.g. "1,1,-1".
std::string FormatDirections(Directions d);
// "draws U1,...,U12 directions R,G,B -> R,G,B": how the figure was made and what it left.
std::string DescribeFigure(const FigureRecord& figure);
// "stringart-render --draws U1,...,U12 --directions R,G,B": makes the figure again.
std::string RemakeCommand(const FigureRecord& figure);
// `word` as one word for a POSIX shell: as it is when nothing in it is special, else in single
// quotes.
std::string ShellWord(std::string_view word);
// RemakeCommand with " -o OUTPUT", OUTPUT quoted for the shell where needed: runs as pasted.
std::string PastableCommand(const FigureRecord& figure, std::string_view output);
// What "Copy figure command" copies: PastableCommand writing figure-<name>.png in the current
// folder.
inline std::string CopiedCommand(const FigureRecord& figure) {
  return PastableCommand(figure, "figure-" + FigureName(figure) + ".png");
}
// "N" for a square, "WxH" otherwise.
std::string FormatSize(FrameSize size);

// Parsers for the forms above; nullopt with `error` set to what is wrong.
std::optional<FigureDraws> ParseDraws(std::string_view text, std::string& error);
std::optional<Directions> ParseDirections(std::string_view text, std::string& error);
// Reads a command of RemakeCommand's form: the program, then the options of RemakeOptionTable,
// --draws among them, separated by blanks, as ParseOptions reads them. The options of the file
// (--size, --seconds, --fps, --morph-to, the paper's) are checked and then ignored: a morph's
// file opens as the figure it starts from, a plotter's as the figure it was made of.
// Any byte no command is written with (a NUL, a control character, '<') makes the text damaged.
// The record's end directions are left rising: only a trace tells them.
std::optional<FigureRecord> ParseRemakeCommand(std::string_view text, std::string& error);
// "N" or "WxH", each side a whole number from kMinSide to kMaxSide.
std::optional<FrameSize> ParseSize(std::string_view text, std::string& error);

// The kinds of file a figure is written to, by the name's extension.
enum class FigureFormat { Png, Svg, Mp4, Webm, Hpgl, Pdf, Gcode };
// The format a file name asks for, by its extension (.png, .svg, .mp4, .webm, .hpgl or .plt,
// .pdf, .gcode; any letter case).
std::optional<FigureFormat> FormatForPath(std::string_view path);
// Whether the format is a moving picture.
inline bool IsAnimation(FigureFormat format) {
  return format == FigureFormat::Mp4 || format == FigureFormat::Webm;
}

}  // namespace stringart
