#include "app/WindowOptions.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "text/FigureCommand.h"

namespace stringart {
namespace {

// Options that Qt's application object takes out of the command line itself.
constexpr std::array<std::string_view, 13> kToolkitWithValue = {
    "platform",     "platformpluginpath", "platformtheme", "plugin",     "display",
    "geometry",     "qwindowgeometry",    "style",         "stylesheet", "title",
    "qwindowtitle", "qwindowicon",        "session"};
constexpr std::array<std::string_view, 5> kToolkitFlags = {"reverse", "nograb", "dograb", "sync",
                                                           "widgetcount"};

template <std::size_t N>
bool Among(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args,
                                                std::string& error) {
  WindowOptions options;
  std::optional<std::string> draws, directions;
  bool filesOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (filesOnly || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      filesOnly = true;
      continue;
    }
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (name == "-h" || name == "--help") {
      options.help = true;
      continue;
    }
    if (name == "--version") {
      options.version = true;
      continue;
    }
    const std::string_view bare = std::string_view(name).substr(name.starts_with("--") ? 2 : 1);
    if (Among(kToolkitFlags, bare)) continue;
    const bool ours = name == kDrawsOption || name == kDirectionsOption;
    if (!ours && !Among(kToolkitWithValue, bare)) {
      error = "unknown option '" + name + "' (see stringart --help)";
      return std::nullopt;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = name + " needs a value";
      return std::nullopt;
    }
    if (!ours) continue;
    std::optional<std::string>& slot = name == kDrawsOption ? draws : directions;
    if (slot) {
      error = name + " given more than once";
      return std::nullopt;
    }
    slot = value;
  }
  if (options.help || options.version) return options;
  if (directions && !draws) {
    error = std::string(kDirectionsOption) + " needs " + std::string(kDrawsOption);
    return std::nullopt;
  }
  if (draws && !options.files.empty()) {
    error = "give figure files or " + std::string(kDrawsOption) + ", not both";
    return std::nullopt;
  }
  if (draws) {
    std::string why;
    FigureRecord figure;
    const auto parsedDraws = ParseDraws(*draws, why);
    if (!parsedDraws) {
      error = std::string(kDrawsOption) + ": " + why;
      return std::nullopt;
    }
    figure.draws = *parsedDraws;
    if (directions) {
      const auto parsed = ParseDirections(*directions, why);
      if (!parsed) {
        error = std::string(kDirectionsOption) + ": " + why;
        return std::nullopt;
      }
      figure.start = *parsed;
    }
    options.figure = figure;
  }
  return options;
}

std::string WindowUsage() {
  return "Usage: stringart [FILE...]\n"
         "       stringart --draws U1,...,U12 [--directions R,G,B]\n"
         "       stringart --slideshow [SECONDS]\n"
         "Opens a window that traces random string-art figures: one at once, another at each "
         "press of \"new\".\n"
         "\n"
         "  FILE...                    open the figure each file carries (a PNG, SVG, MP4 or\n"
         "                             WebM that stringart wrote); the first is shown, all are\n"
         "                             in the window's history\n"
         "  --draws U1,...,U12         show the figure of these twelve draws, each 0 <= u < 1\n"
         "  --directions R,G,B         its colour directions before it, each 1 or -1\n"
         "                             (default 1,1,1)\n"
         "  --slideshow [SECONDS]      full screen, a new figure every SECONDS (default 10),\n"
         "                             each traced bit by bit; any other key or click ends it\n"
         "  -h, --help                 print this and exit\n"
         "  --version                  print the version and exit\n"
         "\n"
         "Keys in the window: Ctrl+N or F5 new figure, Alt+Left and Alt+Right back and forward,\n"
         "Ctrl+S save, Ctrl+O open, Ctrl+Shift+S large picture, Ctrl+Shift+A animation,\n"
         "Ctrl+E variations, Ctrl+J adjust, F11 full screen, Shift+F10 or the Menu key the menu,\n"
         "Ctrl+Q quit.\n"
         "Without a display, stringart-render makes the same figures into files.\n";
}

}  // namespace stringart
