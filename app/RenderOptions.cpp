#include "app/RenderOptions.h"

#include <charconv>
#include <cmath>
#include <set>
#include <string_view>

#include "app/FigureCommand.h"

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

// Reads one option's value into `options`; false with `error` set when the value is bad.
using Reader = bool (*)(const std::string& value, RenderOptions& options, std::string& error);

struct Option {
  std::string_view name;   // "--name"
  std::string_view alias;  // a short form, or empty
  std::string_view value;  // what the value is called in the usage; empty for a flag
  std::string_view help;   // the usage text; "\n" continues on the next line
  Reader read;
};

constexpr Option kOptions[] = {
    {kOutputOption, kOutputShort, "FILE", "FILE.png: the 500 x 500 picture; FILE.svg: the figure as vector art",
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
         error = "'" + value + "' is not a number";
         return false;
       }
       if (!(seconds >= 0.0f && seconds < 86400.0f)) {
         error = "'" + value + "' is not a time of day from 0 to below 86400 seconds";
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
         error = "'" + value + "' is not a whole number from 1 to 100000";
         return false;
       }
       o.figures = figures;
       return true;
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
      error = name.rfind('-', 0) == 0 ? "unknown option '" + name + "'"
                                      : "unexpected argument '" + name + "'";
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
    error = std::string(kSeedOption) + " and " + std::string(kDrawsOption) +
            " cannot be used together";
    return std::nullopt;
  }
  if (options.output.empty()) {
    error = "no output file: give " + std::string(kOutputShort) + " FILE.png or " +
            std::string(kOutputShort) + " FILE.svg";
    return std::nullopt;
  }
  if (!FormatForPath(options.output)) {
    error = "output '" + options.output + "' must end in .png or .svg";
    return std::nullopt;
  }
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
  usage += "\nStandard output gets one line per figure, the draws and directions that make it "
           "again.\n";
  return usage;
}

}  // namespace stringart
