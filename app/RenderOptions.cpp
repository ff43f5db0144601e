#include "app/RenderOptions.h"

#include <charconv>
#include <cmath>
#include <set>

#include "app/FigureFile.h"

namespace stringart {

const char kRenderUsage[] =
    "Usage: stringart-render [--seed SECONDS | --draws U1,...,U12] [--directions R,G,B]\n"
    "                        [--figures N] -o FILE\n"
    "Traces string-art figures as the stringart window does and writes the last one to FILE.\n"
    "\n"
    "  -o, --output FILE     FILE.png: the 500 x 500 picture; FILE.svg: the figure as vector art\n"
    "  --seed SECONDS        the time of day (0 to below 86400) the random source is reseeded\n"
    "                        from, for a reproducible run; default: the real clock\n"
    "  --draws U1,...,U12    the twelve draws of every figure, each 0 <= u < 1\n"
    "  --directions R,G,B    colour directions before the first figure, each 1 or -1\n"
    "                        (default 1,1,1)\n"
    "  --figures N           how many figures, 1 to 100000 (default 1); each after the first\n"
    "                        is traced as a press of \"new\"\n"
    "  --help, --version\n"
    "\n"
    "Standard output gets one line per figure, the draws and directions that make it again.\n";

namespace {

template <class T>
bool ParseWhole(const std::string& text, T& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error) {
  RenderOptions options;
  std::set<std::string> seen;
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
    if (name == "-o") name = "--output";
    if (name == "--help" || name == "--version") {
      if (inlineValue) {
        error = name + " takes no value";
        return std::nullopt;
      }
      (name == "--help" ? options.help : options.version) = true;
      continue;
    }
    if (name != "--seed" && name != "--draws" && name != "--directions" && name != "--figures" &&
        name != "--output") {
      error = name.rfind('-', 0) == 0 ? "unknown option '" + name + "'"
                                      : "unexpected argument '" + name + "'";
      return std::nullopt;
    }
    if (!seen.insert(name).second) {
      error = name + " given more than once";
      return std::nullopt;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return std::nullopt;
      }
      value = args[++i];
    }

    if (name == "--seed") {
      float seconds = 0;
      if (!ParseWhole(value, seconds) || !std::isfinite(seconds)) {
        error = "--seed '" + value + "' is not a number";
        return std::nullopt;
      }
      if (!(seconds >= 0.0f && seconds < 86400.0f)) {
        error = "--seed '" + value + "' is not a time of day from 0 to below 86400 seconds";
        return std::nullopt;
      }
      options.seed = seconds;
    } else if (name == "--draws") {
      std::string why;
      options.draws = ParseDraws(value, why);
      if (!options.draws) {
        error = "--draws: " + why;
        return std::nullopt;
      }
    } else if (name == "--directions") {
      std::string why;
      const auto directions = ParseDirections(value, why);
      if (!directions) {
        error = "--directions: " + why;
        return std::nullopt;
      }
      options.directions = *directions;
    } else if (name == "--figures") {
      long figures = 0;
      if (!ParseWhole(value, figures) || figures < 1 || figures > kMaxFigures) {
        error = "--figures '" + value + "' is not a whole number from 1 to 100000";
        return std::nullopt;
      }
      options.figures = figures;
    } else {
      if (value.empty()) {
        error = "--output needs a file name";
        return std::nullopt;
      }
      options.output = value;
    }
  }
  if (options.help || options.version) return options;
  if (options.seed && options.draws) {
    error = "--seed and --draws cannot be used together";
    return std::nullopt;
  }
  if (options.output.empty()) {
    error = "no output file: give -o FILE.png or -o FILE.svg";
    return std::nullopt;
  }
  if (!FormatForPath(options.output)) {
    error = "output '" + options.output + "' must end in .png or .svg";
    return std::nullopt;
  }
  return options;
}

}  // namespace stringart
