#include "options/FigureCommand.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

#include "runtime/FloatText.h"
#include "text/Quote.h"
#include "text/Translatable.h"

namespace stringart {
namespace {

std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) return parts;
    start = comma + 1;
  }
}

// The words of `text` between blanks (spaces, tabs, line breaks).
std::vector<std::string_view> SplitBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  std::vector<std::string_view> words;
  for (std::size_t start = text.find_first_not_of(kBlanks); start != std::string_view::npos;) {
    const std::size_t end = std::min(text.find_first_of(kBlanks, start), text.size());
    words.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(kBlanks, end);
  }
  return words;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

static_assert(kDefaultAnimationSize == FrameSize{1000, 1000} && kDefaultSeconds == 8 &&
                  kDefaultFps == 30 && kMinSide == 500 && kMaxSide == 16384 &&
                  kAnimationMaxSide == 4096 && kDefaultMargin == 15 && kMinPens == 1 &&
                  kMaxPens == 12 && kDefaultPens == 6 && kDefaultPenWidth == 0.3f &&
                  kDefaultSpeed == 25 && kDefaultDpi == 300 && kDefaultPlotMinutes == 120 &&
                  kMinPlotMinutes == 1 && kMaxPlotMinutes == 6000,
              "the help below names them");

// The command a file carries holds the options from --draws to --morph-to.
constexpr OptionRow kRenderOptions[] = {
    {.name = kOutputOption,
     .alias = kOutputShort,
     .value = "FILE",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "FILE.png: the 500 x 500 picture; FILE.svg: the figure as vector\n"
                               "art; FILE.mp4 (H.264) or FILE.webm (VP9): the figure being traced"),
     .read = ReadAsText},
    {.name = kSeedOption,
     .value = "SECONDS",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "the time of day (0 to below 86400) the random source is reseeded\n"
                               "from, for a reproducible run; default: the real clock"),
     .read = ReadAsTimeOfDay},
    {.name = kFiguresOption,
     .value = "N",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "how many figures, {range} (default 1); each after the first\n"
                               "is traced as a press of \"new\""),
     .read = ReadAsWhole,
     .least = 1,
     .most = kMaxFigures},
    {.name = kDrawsOption,
     .value = "U1,...,U12",
     .help =
         QT_TRANSLATE_NOOP("RenderOptions", "the twelve draws of every figure, each 0 <= u < 1"),
     .read = ReadAsDraws,
     .what = "the draws are"},
    {.name = kDirectionsOption,
     .value = "R,G,B",
     .help = QT_TRANSLATE_NOOP(
         "RenderOptions",
         "colour directions before the first figure, each 1 or -1\n(default 1,1,1)"),
     .read = ReadAsDirections,
     .what = "the directions are"},
    {.name = kSizeOption,
     .value = "N|WxH",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "a PNG drawn anti-aliased at this size, each side 500 to 16384,\n"
                               "the figure scaled by (shorter side) / 500 and centred; an SVG's\n"
                               "width and height; an animation's size, even sides up to 4096\n"
                               "(default 1000)"),
     .read = ReadAsSize,
     .what = "the size is"},
    {.name = kSecondsOption,
     .value = "S",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "an animation's tracing time, {range} seconds (default 8); the\n"
                               "complete figure is then held for one second more"),
     .read = ReadAsWhole,
     .least = kMinSeconds,
     .most = kMaxSeconds,
     .what = "the seconds are"},
    {.name = kFpsOption,
     .value = "F",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "an animation's frames per second, {range} (default 30)"),
     .read = ReadAsWhole,
     .least = kMinFps,
     .most = kMaxFps,
     .what = "the frame rate is"},
    {.name = kMorphToOption,
     .value = "U1,...,U12",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "an animation of the complete figure changing into that of these\n"
                               "draws, each frame's draws a linear step from the last figure's,\n"
                               "with its start directions; the end is held for one second"),
     .read = ReadAsDraws,
     .what = "the draws morphed to are"},
    {.name = kPaperOption,
     .value = "SHEET",
     .help =
         QT_TRANSLATE_NOOP("RenderOptions",
                           "A6 to A0, Letter, Legal, Tabloid, Postcard (100 x 148 mm) or\n"
                           "WxHmm: a file for that sheet, upright (WxHmm: as typed), the figure\n"
                           "centred in the square inside the margin: FILE.svg a plotter's\n"
                           "layers of pen paths, FILE.hpgl or FILE.plt HPGL, FILE.gcode G-code,\n"
                           "FILE.pdf a vector print, FILE.png a print at --dpi"),
     .read = ReadAsPaper,
     .what = "the paper is"},
    {.name = kPaperColourOption,
     .value = "white|black|#RRGGBB",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "the paper's colour: a print's ground (default black, or none\n"
                               "with --on-white), and what a plotter's pens are chosen to stand\n"
                               "out from (default white)"),
     .read = ReadAsPaperColour,
     .what = "the paper colour is"},
    {.name = kLandscapeOption,
     .help = QT_TRANSLATE_NOOP("RenderOptions", "the paper with its longer side across"),
     .what = "the landscape is"},
    {.name = kMarginOption,
     .value = "MM",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "the blank border around the figure, {range} mm (default 15)"),
     .read = ReadAsDecimal,
     .low = 0,
     .high = kMaxMargin,
     .unit = "millimetres",
     .what = "the margin is"},
    {.name = kPensOption,
     .value = "N|#RRGGBB,...",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "a plotter's pens: N colours (1 to 12, default 6) that keep the\n"
                               "figure's best, or the colours of your own pens, each stroke\n"
                               "taking the nearest; one layer or pen number each"),
     .read = ReadAsPens,
     .what = "the pens are"},
    {.name = kPenWidthOption,
     .value = "MM",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "the plotter's pen width, {range} mm (default 0.3): each step\n"
                               "of the figure is one line, and lines that would run where the\n"
                               "same pen has drawn are left out"),
     .read = ReadAsDecimal,
     .low = kMinPenWidth,
     .high = kMaxPenWidth,
     .unit = "millimetres",
     .what = "the pen width is"},
    {.name = kSpeedOption,
     .value = "MM/S",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "the plotter's speed for the time the plot line gives,\n"
                               "{range} mm/s (default 25)"),
     .read = ReadAsDecimal,
     .low = kMinSpeed,
     .high = kMaxSpeed,
     .unit = "mm/s",
     .what = "the speed is"},
    {.name = kPlotTimeOption,
     .value = "TIME",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "the time a plot may take at --speed, as 90m or 2h, 1m to 100h\n"
                               "(default 2h): the lines that add least to the figure are left\n"
                               "out until it fits"),
     .read = ReadAsPlotTime,
     .what = "the plot time is"},
    {.name = kPenLiftOption,
     .value = "servo[,S]|z[,MM]",
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "how a G-code plotter lifts its pen: a servo, down at M3 S (1 to\n"
                               "10000, default 1000) and up at M5, or the Z axis, down at 0 and\n"
                               "up at MM (0.5 to 50, default 3); default servo"),
     .read = ReadAsPenLift,
     .what = "the pen lift is"},
    {.name = kFilePerPenOption,
     .help = QT_TRANSLATE_NOOP("RenderOptions",
                               "G-code in a file for each pen, FILE-1.gcode and so on, rather\n"
                               "than one that pauses (M0) to change pens"),
     .what = "a file per pen is"},
    {.name = kDpiOption,
     .value = "N",
     .help =
         QT_TRANSLATE_NOOP("RenderOptions", "a printed PNG's dots per inch, {range} (default 300)"),
     .read = ReadAsWhole,
     .least = kMinDpi,
     .most = kMaxDpi,
     .what = "the dpi are"},
    {.name = kOnWhiteOption,
     .help = QT_TRANSLATE_NOOP(
         "RenderOptions", "a PDF for white paper: the figure's colours without the black\nground"),
     .what = "the white ground is"},
    {.name = kHelpOption,
     .alias = kHelpShort,
     .help = QT_TRANSLATE_NOOP("RenderOptions", "this text")},
    {.name = kVersionOption, .help = QT_TRANSLATE_NOOP("RenderOptions", "the program's version")},
};

}  // namespace

std::span<const OptionRow> RenderOptionTable() {
  return kRenderOptions;
}

std::span<const OptionRow> RemakeOptionTable() {
  static_assert(kRenderOptions[3].name == kDrawsOption &&
                kRenderOptions[20].name == kOnWhiteOption);
  return std::span(kRenderOptions).subspan(3, 18);
}

std::string FormatDraws(const FigureDraws& draws) {
  std::string out;
  for (std::size_t i = 0; i < draws.size(); ++i) {
    if (i > 0) out += ',';
    out += FloatToText(draws[i]);
  }
  return out;
}

std::string FormatDirections(Directions d) {
  return std::to_string(d.red) + ',' + std::to_string(d.green) + ',' + std::to_string(d.blue);
}

std::string DescribeFigure(const FigureRecord& figure) {
  return "draws " + FormatDraws(figure.draws) + " directions " + FormatDirections(figure.start) +
         " -> " + FormatDirections(figure.end);
}

std::string RemakeCommand(const FigureRecord& figure) {
  std::string command(kRenderProgram);
  ((command += ' ') += kDrawsOption) += ' ' + FormatDraws(figure.draws);
  ((command += ' ') += kDirectionsOption) += ' ' + FormatDirections(figure.start);
  return command;
}

std::string FormatSize(FrameSize size) {
  if (size.width == size.height) return std::to_string(size.width);
  std::string text = std::to_string(size.width);
  text += 'x';
  text += std::to_string(size.height);
  return text;
}

std::optional<FrameSize> ParseSize(std::string_view text, std::string& error) {
  const std::size_t x = text.find_first_of("xX");
  static_assert(kMinSide == 500 && kMaxSide == 16384, "the message below names them");
  const std::string_view sides[2] = {text.substr(0, x),
                                     x == std::string_view::npos ? text : text.substr(x + 1)};
  int value[2] = {};
  for (int i = 0; i < 2; ++i) {
    const auto side = ReadWhole(sides[i], kMinSide, kMaxSide);
    if (!side) {
      error = Quoted(text) + " is not N or WxH with each side a whole number from 500 to 16384";
      return std::nullopt;
    }
    value[i] = static_cast<int>(*side);
  }
  return FrameSize{value[0], value[1]};
}

std::optional<FigureDraws> ParseDraws(std::string_view text, std::string& error) {
  const auto parts = SplitCommas(text);
  if (parts.size() != kFigureDraws) {
    error = "expected 12 draws separated by commas, got " + std::to_string(parts.size());
    return std::nullopt;
  }
  FigureDraws draws{};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string_view part = parts[i];
    const std::string which = "draw " + std::to_string(i + 1) + " " + Quoted(part);
    float u = 0;
    // from_chars rounds the decimal once, straight to the nearest float.
    const auto [end, ec] = TextToFloat(part.data(), part.data() + part.size(), u);
    if (part.empty() || end != part.data() + part.size() || std::isnan(u)) {
      error = which + " is not a number";
      return std::nullopt;
    }
    if (ec == std::errc::result_out_of_range || !(u >= 0.0f && u < 1.0f)) {
      error = which + " is not in [0, 1) as a float";
      return std::nullopt;
    }
    draws[i] = u;
  }
  return draws;
}

std::optional<Directions> ParseDirections(std::string_view text, std::string& error) {
  const auto parts = SplitCommas(text);
  if (parts.size() != 3) {
    error = "expected three directions R,G,B, got " + std::to_string(parts.size());
    return std::nullopt;
  }
  std::int16_t value[3];
  for (std::size_t i = 0; i < 3; ++i) {
    if (parts[i] == "1" || parts[i] == "+1") {
      value[i] = 1;
    } else if (parts[i] == "-1") {
      value[i] = -1;
    } else {
      error = "direction " + Quoted(parts[i]) + " is neither 1 nor -1";
      return std::nullopt;
    }
  }
  return Directions{value[0], value[1], value[2]};
}

std::optional<FigureRecord> ParseRemakeCommand(std::string_view text, std::string& error) {
  // Nothing a command is written with lies outside these; anything else (a NUL, a control
  // character, markup, another alphabet) means the text was damaged or made by someone else.
  constexpr std::string_view kCommandBytes =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-+.,=# \t\r\n";
  const std::size_t bad = text.find_first_not_of(kCommandBytes);
  if (bad != std::string_view::npos) {
    error = "it holds " + EscapeText(text.substr(bad, 1)) + " at byte " + std::to_string(bad + 1) +
            ", which no command holds";
    return std::nullopt;
  }
  const auto words = SplitBlanks(text);
  if (words.empty() || words[0] != kRenderProgram) {
    error = "it is not a " + std::string(kRenderProgram) + " command";
    return std::nullopt;
  }
  // Messages name what an option sets, never the option: people read them.
  const auto given = ParseOptions(RemakeOptionTable(), {words.begin() + 1, words.end()},
                                  {.naming = Naming::ByWhat}, error);
  if (!given) return std::nullopt;
  const auto draws = given->Get<FigureDraws>(kDrawsOption);
  if (!draws) {
    error = "it has no draws";
    return std::nullopt;
  }
  return FigureRecord{*draws, given->Get<Directions>(kDirectionsOption).value_or(Directions{}), {}};
}

std::string ShellWord(std::string_view word) {
  constexpr std::string_view kPlain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,._+-/=:@%";
  if (!word.empty() && word.find_first_not_of(kPlain) == std::string_view::npos) {
    return std::string(word);
  }
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string PastableCommand(const FigureRecord& figure, std::string_view output) {
  return RemakeCommand(figure) + " -o " + ShellWord(output);
}

std::optional<FigureFormat> FormatForPath(std::string_view path) {
  if (EndsWithNoCase(path, ".png")) return FigureFormat::Png;
  if (EndsWithNoCase(path, ".svg")) return FigureFormat::Svg;
  if (EndsWithNoCase(path, ".mp4")) return FigureFormat::Mp4;
  if (EndsWithNoCase(path, ".webm")) return FigureFormat::Webm;
  if (EndsWithNoCase(path, ".hpgl") || EndsWithNoCase(path, ".plt")) return FigureFormat::Hpgl;
  if (EndsWithNoCase(path, ".pdf")) return FigureFormat::Pdf;
  if (EndsWithNoCase(path, ".gcode")) return FigureFormat::Gcode;
  return std::nullopt;
}

}  // namespace stringart
