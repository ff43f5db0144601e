#include "options/WindowOptions.h"

#include "options/ExportLimits.h"
#include "options/FigureCommand.h"
#include "options/OptionGrammar.h"
#include "options/WindowKeys.h"

namespace stringart {
namespace {

constexpr std::string_view kSlideshowOption = "--slideshow", kImportOption = "--import";

constexpr OptionRow kOptions[] = {
    {.name = "FILE...",
     .help = QT_TRANSLATE_NOOP("WindowOptions",
                               "open the figure each file carries (a PNG, SVG, MP4, WebM,\n"
                               "HPGL or PDF that stringart wrote); the first is shown, all\n"
                               "are in the window's history")},
    {.name = kDrawsOption,
     .value = "U1,...,U12",
     .help = QT_TRANSLATE_NOOP("WindowOptions",
                               "show the figure of these twelve draws, each 0 <= u < 1"),
     .read = ReadAsDraws},
    {.name = kDirectionsOption,
     .value = "R,G,B",
     .help = QT_TRANSLATE_NOOP("WindowOptions",
                               "its colour directions before it, each 1 or -1 (default 1,1,1)"),
     .read = ReadAsDirections},
    {.name = kSlideshowOption,
     .value = "SECONDS",
     .help = QT_TRANSLATE_NOOP("WindowOptions",
                               "full screen, a new figure every SECONDS ({range}, default\n"
                               "10), each traced bit by bit; any other key or click ends it"),
     .read = ReadAsWhole,
     .least = 1,
     .most = kMaxSlideshowSeconds,
     .unit = "seconds",
     .optionalValue = true},
    {.name = kImportOption,
     .value = "FILE",
     .help = QT_TRANSLATE_NOOP("WindowOptions",
                               "add the figures of a figures file (JSON, as the gallery's \"Save\n"
                               "figures\" writes it) to the journal, say how many, and exit"),
     .read = ReadAsText},
    {.name = kHelpOption,
     .alias = kHelpShort,
     .help = QT_TRANSLATE_NOOP("WindowOptions", "print this and exit")},
    {.name = kVersionOption,
     .help = QT_TRANSLATE_NOOP("WindowOptions", "print the version and exit")},
};
static_assert(kDefaultSlideshowSeconds == 10, "the help above names it");

// Options that Qt's application object takes out of the command line itself.
constexpr OptionRow kToolkitOptions[] = {
    {.name = "-platform", .read = ReadAsText},
    {.name = "-platformpluginpath", .read = ReadAsText},
    {.name = "-platformtheme", .read = ReadAsText},
    {.name = "-plugin", .read = ReadAsText},
    {.name = "-display", .read = ReadAsText},
    {.name = "-geometry", .read = ReadAsText},
    {.name = "-qwindowgeometry", .read = ReadAsText},
    {.name = "-style", .read = ReadAsText},
    {.name = "-stylesheet", .read = ReadAsText},
    {.name = "-title", .read = ReadAsText},
    {.name = "-qwindowtitle", .read = ReadAsText},
    {.name = "-qwindowicon", .read = ReadAsText},
    {.name = "-session", .read = ReadAsText},
    {.name = "-reverse"},
    {.name = "-nograb"},
    {.name = "-dograb"},
    {.name = "-sync"},
    {.name = "-widgetcount"},
};

}  // namespace

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args,
                                                std::string& error) {
  const auto given = ParseOptions(
      kOptions, args,
      {.operands = true, .passOver = kToolkitOptions, .unknownHint = " (see stringart --help)"},
      error);
  if (!given) return std::nullopt;
  WindowOptions options;
  options.files = given->operands();
  options.help = given->Has(kHelpOption);
  options.version = given->Has(kVersionOption);
  if (options.help || options.version) return options;
  options.import = given->Get<std::string>(kImportOption).value_or("");
  if (!options.import.empty() &&
      (given->operands().size() + given->Has(kDrawsOption) + given->Has(kSlideshowOption)) > 0) {
    error = std::string(kImportOption) + " stands alone: it opens no window";
    return std::nullopt;
  }
  if (given->Has(kSlideshowOption)) {
    options.slideshowSeconds = static_cast<int>(
        given->Get<long long>(kSlideshowOption).value_or(kDefaultSlideshowSeconds));
  }
  const auto draws = given->Get<FigureDraws>(kDrawsOption);
  const auto directions = given->Get<Directions>(kDirectionsOption);
  if (directions && !draws) {
    error = std::string(kDirectionsOption) + " needs " + std::string(kDrawsOption);
    return std::nullopt;
  }
  if (draws && !options.files.empty()) {
    error = "give figure files or " + std::string(kDrawsOption) + ", not both";
    return std::nullopt;
  }
  if (draws) options.figure = FigureRecord{*draws, directions.value_or(Directions{}), {}};
  return options;
}

std::string WindowOptionsHelp(const Translate& translate) {
  return Translated(translate, kWindowOptionsContext,
                    QT_TRANSLATE_NOOP("WindowOptions",
                                      "Usage: stringart [FILE...]\n"
                                      "       stringart --draws U1,...,U12 [--directions R,G,B]\n"
                                      "       stringart --slideshow [SECONDS]\n"
                                      "       stringart --import FILE\n"
                                      "Opens a window that traces random string-art figures: one "
                                      "at once,\nanother at each press of \"new\".\n")) +
         "\n" + OptionHelp(kOptions, translate, kWindowOptionsContext);
}

std::string WindowUsage(const Translate& translate) {
  return WindowOptionsHelp(translate) + "\n" + WindowKeysHelp(translate) + "\n" +
         Translated(translate, kWindowOptionsContext,
                    QT_TRANSLATE_NOOP("WindowOptions",
                                      "Without a display, stringart-render makes the same figures "
                                      "into files.\n"));
}

}  // namespace stringart
