#include "app/RenderOptions.h"

#include <charconv>
#include <cmath>
#include <set>
#include <string_view>

#include "text/ExportLimits.h"
#include "text/FigureCommand.h"
#include "text/Quote.h"

namespace stringart {
namespace {

constexpr std::string_view kOutputOption = "--output", kOutputShort = "-o", kSeedOption = "--seed",
                           kFiguresOption = "--figures", kHelpOption = "--help",
                           kVersionOption = "--version";

template <class T>
bool ParseWhole(const std::string& text, T& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool ReadWholeInRange(const std::string& text, int least, int most, std::optional<int>& value,
                      std::string& error) {
  int number = 0;
  if (!ParseWhole(text, number) || number < least || number > most) {
    error = Quoted(text) + " is not a whole number from " + std::to_string(least) + " to " +
            std::to_string(most);
    return false;
  }
  value = number;
  return true;
}

// Reads one option's value into `options`; false with `error` set when the value is bad.
using Reader = bool (*)(const std::string& value, RenderOptions& options, std::string& error);

struct Option {
  std::string_view name;   // "--name"
  std::string_view alias;  // a short form, or empty
  std::string_view value;  // what the value is called in the usage; empty for a flag
  std::string_view help;   // the usage text; "\n" continues on the next line
  Reader read;
};

static_assert(kMinSide == 500 && kMaxSide == 16384 && kAnimationMaxSide == 4096 &&
                  kDefaultAnimationSize == FrameSize{1000, 1000} && kMinSeconds == 1 &&
                  kMaxSeconds == 600 && kDefaultSeconds == 8 && kMinFps == 1 && kMaxFps == 120 &&
                  kDefaultFps == 30 && kMaxFigures == 100000,
              "the help below names them");

constexpr Option kOptions[] = {
    {kOutputOption, kOutputShort, "FILE",
     "FILE.png: the 500 x 500 picture; FILE.svg: the figure as vector\n"
     "art; FILE.mp4 (H.264) or FILE.webm (VP9): the figure being traced",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       if (value.empty()) error = "the file name is empty";
       o.output = value;
       return !value.empty();
     }},
    {kSeedOption, "", "SECONDS",
     "the time of day (0 to below 86400) the random source is reseeded\n"
     "from, for a reproducible run; default: the real clock",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       float seconds = 0;
       if (!ParseWhole(value, seconds) || !std::isfinite(seconds)) {
         error = Quoted(value) + " is not a number";
         return false;
       }
       if (!(seconds >= 0.0f && seconds < 86400.0f)) {
         error = Quoted(value) + " is not a time of day from 0 to below 86400 seconds";
         return false;
       }
       o.seed = seconds;
       return true;
     }},
    {kDrawsOption, "", "U1,...,U12", "the twelve draws of every figure, each 0 <= u < 1",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       o.draws = ParseDraws(value, error);
       return o.draws.has_value();
     }},
    {kDirectionsOption, "", "R,G,B",
     "colour directions before the first figure, each 1 or -1\n(default 1,1,1)",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       const auto directions = ParseDirections(value, error);
       if (directions) o.directions = *directions;
       return directions.has_value();
     }},
    {kFiguresOption, "", "N",
     "how many figures, 1 to 100000 (default 1); each after the first\n"
     "is traced as a press of \"new\"",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       long figures = 0;
       if (!ParseWhole(value, figures) || figures < 1 || figures > kMaxFigures) {
         error = Quoted(value) + " is not a whole number from 1 to 100000";
         return false;
       }
       o.figures = figures;
       return true;
     }},
    {kSizeOption, "", "N|WxH",
     "a PNG drawn anti-aliased at this size, each side 500 to 16384,\n"
     "the figure scaled by (shorter side) / 500 and centred; an SVG's\n"
     "width and height; an animation's size, even sides up to 4096\n"
     "(default 1000)",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       o.size = ParseSize(value, error);
       return o.size.has_value();
     }},
    {kSecondsOption, "", "S",
     "an animation's tracing time, 1 to 600 seconds (default 8); the\n"
     "complete figure is then held for one second more",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       return ReadWholeInRange(value, kMinSeconds, kMaxSeconds, o.seconds, error);
     }},
    {kFpsOption, "", "F", "an animation's frames per second, 1 to 120 (default 30)",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       return ReadWholeInRange(value, kMinFps, kMaxFps, o.fps, error);
     }},
    {kMorphToOption, "", "U1,...,U12",
     "an animation of the complete figure changing into that of these\n"
     "draws, each frame's draws a linear step from the last figure's,\n"
     "with its start directions; the end is held for one second",
     [](const std::string& value, RenderOptions& o, std::string& error) {
       o.morphTo = ParseDraws(value, error);
       return o.morphTo.has_value();
     }},
    {kHelpOption, "-h", "", "this text",
     [](const std::string&, RenderOptions& o, std::string&) { return o.help = true; }},
    {kVersionOption, "", "", "the program's version",
     [](const std::string&, RenderOptions& o, std::string&) { return o.version = true; }},
};

const Option* FindOption(std::string_view name) {
  for (const Option& option : kOptions) {
    if (name == option.name || (!option.alias.empty() && name == option.alias)) return &option;
  }
  return nullptr;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
  RenderOptions options;
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i], value;
    bool inlineValue = false;
    if (name.rfind("--", 0) == 0) {
      if (const auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        inlineValue = true;
      }
    }
    const Option* option = FindOption(name);
    if (option == nullptr) {
      error = name.rfind('-', 0) == 0 ? "unknown option " + Quoted(name)
                                      : "unexpected argument " + Quoted(name);
      return std::nullopt;
    }
    const std::string shown(option->name);
    if (option->value.empty()) {
      if (inlineValue) {
        error = shown + " takes no value";
        return std::nullopt;
      }
    } else {
      if (!seen.insert(option->name).second) {
        error = shown + " given more than once";
        return std::nullopt;
      }
      if (!inlineValue) {
        if (i + 1 >= args.size()) {
          error = shown + " needs a value";
          return std::nullopt;
        }
        value = args[++i];
      }
    }
    std::string why;
    if (!option->read(value, options, why)) {
      error = shown + (why.rfind('\'', 0) == 0 ? " " : ": ") + why;
      return std::nullopt;
    }
  }
  if (options.help || options.version) return options;
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
  const auto format = FormatForPath(options.output);
  if (!format) {
    error = "output " + Quoted(options.output) + " must end in .png, .svg, .mp4 or .webm";
    return std::nullopt;
  }
  if (!IsAnimation(*format)) {
    if (options.seconds || options.fps || options.morphTo) {
      error = std::string(options.seconds ? kSecondsOption
                          : options.fps   ? kFpsOption
                                          : kMorphToOption) +
              " is for animations (.mp4, .webm), not for " + Quoted(options.output);
      return std::nullopt;
    }
    if (options.size) {
      options.request = ExportRequest::Make(options.output, *options.size, 0, 0, {}, error);
    }
    return options;
  }
  options.size = options.size.value_or(kDefaultAnimationSize);
  options.seconds = options.seconds.value_or(kDefaultSeconds);
  options.fps = options.fps.value_or(kDefaultFps);
  const std::string why = AnimationProblem(*options.size, *options.seconds, *options.fps);
  if (!why.empty()) {
    error = std::string(kSizeOption) + " '" + FormatSize(*options.size) + "': " + why;
    return std::nullopt;
  }
  options.request = ExportRequest::Make(options.output, *options.size, *options.seconds,
                                        *options.fps, options.morphTo, error);
  return options;
}

std::string RenderUsage() {
  std::string usage = "Usage: " + std::string(kRenderProgram) + " [OPTION...] " +
                      std::string(kOutputShort) +
                      " FILE\n"
                      "Traces string-art figures as the stringart window does and writes the "
                      "last one to FILE.\n\n";
  constexpr std::size_t kHelpColumn = 24;
  for (const Option& option : kOptions) {
    std::string left = "  ";
    if (!option.alias.empty()) (left += option.alias) += ", ";
    left += option.name;
    if (!option.value.empty()) (left += ' ') += option.value;
    left.resize(std::max(kHelpColumn, left.size() + 2), ' ');
    for (std::size_t start = 0;;) {
      const std::size_t end = option.help.find('\n', start);
      usage += left;
      usage += option.help.substr(start, end - start);
      usage += '\n';
      if (end == std::string_view::npos) break;
      left.assign(kHelpColumn, ' ');
      start = end + 1;
    }
  }
  usage +=
      "\nStandard output gets one line per figure, the draws and directions that make it "
      "again.\n";
  return usage;
}

}  // namespace stringart
