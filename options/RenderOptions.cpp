#include "options/RenderOptions.h"

#include "options/ExportLimits.h"
#include "options/FigureCommand.h"
#include "options/OptionGrammar.h"
#include "text/Quote.h"

namespace stringart {
namespace {

// The options that only a file for paper takes, and the kinds of file each is for.
struct PaperOption {
  std::string_view name;
  bool svg, hpgl, gcode, pdf, png;
  std::string_view files;  // as a message names them
};
constexpr PaperOption kPaperOptions[] = {
    {kLandscapeOption, true, true, true, true, true, ""},
    {kMarginOption, true, true, true, true, true, ""},
    {kPaperColourOption, true, true, true, true, true, ""},
    {kPensOption, true, true, true, false, false, "plotter files (.svg, .hpgl, .plt, .gcode)"},
    {kPenWidthOption, true, true, true, false, false, "plotter files (.svg, .hpgl, .plt, .gcode)"},
    {kSpeedOption, true, true, true, false, false, "plotter files (.svg, .hpgl, .plt, .gcode)"},
    {kPlotTimeOption, true, true, true, false, false, "plotter files (.svg, .hpgl, .plt, .gcode)"},
    {kPenLiftOption, false, false, true, false, false, "G-code (.gcode)"},
    {kFilePerPenOption, false, false, true, false, false, "G-code (.gcode)"},
    {kDpiOption, false, false, false, false, true, "a printed PNG"},
    {kOnWhiteOption, false, false, false, true, false, "a PDF"},
};

// The settings of a sheet of `paper` the options give, the defaults for the rest.
PaperSettings PaperFrom(const GivenOptions& given, PaperSize paper) {
  PaperSettings settings;
  settings.paper = paper;
  settings.landscape = given.Has(kLandscapeOption);
  settings.margin = given.Get<float>(kMarginOption).value_or(kDefaultMargin);
  settings.pens = given.Get<PenChoice>(kPensOption).value_or(PenChoice{});
  settings.penWidth = given.Get<float>(kPenWidthOption).value_or(kDefaultPenWidth);
  settings.speed = given.Get<float>(kSpeedOption).value_or(kDefaultSpeed);
  settings.plotMinutes = given.Get<float>(kPlotTimeOption).value_or(kDefaultPlotMinutes);
  settings.lift = given.Get<PenLift>(kPenLiftOption).value_or(PenLift{});
  settings.filePerPen = given.Has(kFilePerPenOption);
  settings.dpi = static_cast<int>(given.Get<long long>(kDpiOption).value_or(kDefaultDpi));
  settings.onWhite = given.Has(kOnWhiteOption);
  if (const auto rgb = given.Get<long long>(kPaperColourOption)) {
    settings.paperColour = PackColour(static_cast<std::int16_t>(*rgb >> 16),
                                      static_cast<std::int16_t>(*rgb >> 8 & 0xFF),
                                      static_cast<std::int16_t>(*rgb & 0xFF));
  }
  return settings;
}

// The paper the options ask for, checked against the kind of file; false with `error` set.
bool ReadPaper(const GivenOptions& given, FigureFormat format, RenderOptions& options,
               std::string& error) {
  const auto paper = given.Get<PaperSize>(kPaperOption);
  for (const PaperOption& option : kPaperOptions) {
    if (!given.Has(option.name)) continue;
    if (!paper) {
      error = std::string(option.name) + " needs " + std::string(kPaperOption);
      return false;
    }
    const bool fits = format == FigureFormat::Svg     ? option.svg
                      : format == FigureFormat::Hpgl  ? option.hpgl
                      : format == FigureFormat::Gcode ? option.gcode
                      : format == FigureFormat::Pdf   ? option.pdf
                                                      : option.png;
    if (!fits) {
      error = std::string(option.name) + " is for " + std::string(option.files) + ", not for " +
              Quoted(options.output);
      return false;
    }
  }
  if (!paper) {
    if (format != FigureFormat::Hpgl && format != FigureFormat::Gcode &&
        format != FigureFormat::Pdf) {
      return true;
    }
    error = "output " + Quoted(options.output) + " is made for a sheet of paper: give " +
            std::string(kPaperOption);
    return false;
  }
  if (IsAnimation(format)) {
    error = std::string(kPaperOption) +
            " is for .svg, .hpgl, .plt, .gcode, .pdf and .png files, not for " +
            Quoted(options.output);
    return false;
  }
  if (options.size) {
    error = std::string(kSizeOption) + " and " + std::string(kPaperOption) +
            " cannot be used together: the paper sets the size";
    return false;
  }
  if (given.Has(kPaperColourOption) && given.Has(kOnWhiteOption)) {
    error = std::string(kPaperColourOption) + " and " + std::string(kOnWhiteOption) +
            " cannot be used together";
    return false;
  }
  options.paper = PaperFrom(given, *paper);
  return true;
}

// What the options ask of the file, checked against one another; false with `error` set.
bool CheckOutput(const GivenOptions& given, RenderOptions& options, std::string& error) {
  const auto format = FormatForPath(options.output);
  if (!format) {
    error = "output " + Quoted(options.output) +
            " must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf";
    return false;
  }
  if (!IsAnimation(*format) && (options.seconds || options.fps || options.morphTo)) {
    error = std::string(options.seconds ? kSecondsOption
                        : options.fps   ? kFpsOption
                                        : kMorphToOption) +
            " is for animations (.mp4, .webm), not for " + Quoted(options.output);
    return false;
  }
  if (!ReadPaper(given, *format, options, error)) return false;
  if (options.paper) {
    options.request = ExportRequest::ForPaper(options.output, *options.paper, error);
    if (!options.request) error = std::string(kPaperOption) + ": " + error;
    return options.request.has_value();
  }
  if (!IsAnimation(*format)) {
    if (!options.size) return true;  // the 500 x 500 picture or SVG, saved as the window saves
    options.request = ExportRequest::Make(options.output, *options.size, 0, 0, {}, error);
    return options.request.has_value();
  }
  options.size = options.size.value_or(kDefaultAnimationSize);
  options.seconds = options.seconds.value_or(kDefaultSeconds);
  options.fps = options.fps.value_or(kDefaultFps);
  options.request = ExportRequest::Make(options.output, *options.size, *options.seconds,
                                        *options.fps, options.morphTo, error);
  if (!options.request)
    error = std::string(kSizeOption) + " '" + FormatSize(*options.size) + "': " + error;
  return options.request.has_value();
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
  const auto given = ParseOptions(RenderOptionTable(), args, {}, error);
  if (!given) return std::nullopt;
  RenderOptions options;
  options.help = given->Has(kHelpOption);
  options.version = given->Has(kVersionOption);
  if (options.help || options.version) return options;
  options.seed = given->Get<float>(kSeedOption);
  options.draws = given->Get<FigureDraws>(kDrawsOption);
  options.directions = given->Get<Directions>(kDirectionsOption).value_or(Directions{});
  options.figures = static_cast<long>(given->Get<long long>(kFiguresOption).value_or(1));
  options.output = given->Get<std::string>(kOutputOption).value_or("");
  options.size = given->Get<FrameSize>(kSizeOption);
  if (const auto seconds = given->Get<long long>(kSecondsOption)) {
    options.seconds = static_cast<int>(*seconds);
  }
  if (const auto fps = given->Get<long long>(kFpsOption)) options.fps = static_cast<int>(*fps);
  options.morphTo = given->Get<FigureDraws>(kMorphToOption);
  if (options.seed && options.draws) {
    error =
        std::string(kSeedOption) + " and " + std::string(kDrawsOption) + " cannot be used together";
    return std::nullopt;
  }
  if (options.output.empty()) {
    error = "no output file: give " + std::string(kOutputShort) + " FILE.png or " +
            std::string(kOutputShort) + " FILE.svg";
    return std::nullopt;
  }
  if (!CheckOutput(*given, options, error)) return std::nullopt;
  return options;
}

std::string RenderUsage(const Translate& translate) {
  static_assert(kRenderProgram == "stringart-render" && kOutputShort == "-o",
                "the texts below name them");
  return Translated(translate, kRenderOptionsContext,
                    QT_TRANSLATE_NOOP("RenderOptions",
                                      "Usage: stringart-render [OPTION...] -o FILE\n"
                                      "Traces string-art figures as the stringart window does and "
                                      "writes the last one to FILE.\n")) +
         "\n" + OptionHelp(RenderOptionTable(), translate, kRenderOptionsContext) + "\n" +
         Translated(
             translate, kRenderOptionsContext,
             QT_TRANSLATE_NOOP("RenderOptions",
                               "Standard output gets one line per figure, the draws and "
                               "directions that make it again,\nand for a plotter file its "
                               "plot: the metres each pen travels down and up, and the\ntime "
                               "at --speed with its lifts, for each pen and in all.\n"));
}

}  // namespace stringart
