#include "app/RenderOptions.h"

#include "text/ExportLimits.h"
#include "text/FigureCommand.h"
#include "text/OptionGrammar.h"
#include "text/Quote.h"

namespace stringart {
namespace {

// What the options ask of the file, checked against one another; false with `error` set.
bool CheckOutput(RenderOptions& options, std::string& error) {
  const auto format = FormatForPath(options.output);
  if (!format) {
    error = "output " + Quoted(options.output) + " must end in .png, .svg, .mp4 or .webm";
    return false;
  }
  if (!IsAnimation(*format)) {
    if (options.seconds || options.fps || options.morphTo) {
      error = std::string(options.seconds ? kSecondsOption
                          : options.fps   ? kFpsOption
                                          : kMorphToOption) +
              " is for animations (.mp4, .webm), not for " + Quoted(options.output);
      return false;
    }
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
  if (!CheckOutput(options, error)) return std::nullopt;
  return options;
}

std::string RenderUsage() {
  return "Usage: " + std::string(kRenderProgram) + " [OPTION...] " + std::string(kOutputShort) +
         " FILE\n"
         "Traces string-art figures as the stringart window does and writes the last one to "
         "FILE.\n\n" +
         OptionHelp(RenderOptionTable()) +
         "\nStandard output gets one line per figure, the draws and directions that make it "
         "again.\n";
}

}  // namespace stringart
