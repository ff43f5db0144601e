#include "options/SaverOptions.h"

#include "options/OptionGrammar.h"

namespace stringart {
namespace {

constexpr std::string_view kRoot = "-root", kWindowId = "-window-id", kDelay = "--delay";

constexpr OptionRow kOptions[] = {
    {.name = kRoot, .help = "draw on the window XSCREENSAVER_WINDOW names, else the root window"},
    {.name = kWindowId,
     .value = "ID",
     .help = "draw on window ID (decimal, or hexadecimal after 0x)",
     .read = ReadAsWindowId},
    {.name = "-window",
     .help = "open a window of its own (the default, unless XSCREENSAVER_WINDOW\n"
             "names a window)"},
    {.name = kDelay,
     .value = "SECONDS",
     .help = "how long a finished figure stays ({range}, default 10)",
     .read = ReadAsWhole,
     .least = 0,
     .most = kMaxSaverDelay,
     .unit = "seconds"},
    {.name = "--version", .help = "print the version and exit"},
    {.name = "--help", .alias = "-h", .help = "print this help and exit"},
};

}  // namespace

std::optional<SaverOptions> ParseSaverOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  const auto given =
      ParseOptions(kOptions, args, {.eitherDash = true, .unknownHint = " (try --help)"}, error);
  if (!given) return std::nullopt;
  SaverOptions options;
  options.help = given->Has("--help");
  options.version = given->Has("--version");
  if (const auto id = given->Get<long long>(kWindowId)) {
    options.target = SaverTarget::WindowId;
    options.windowId = static_cast<unsigned long>(*id);
  } else if (given->Has(kRoot)) {
    options.target = SaverTarget::Root;
  }
  options.delay = static_cast<int>(given->Get<long long>(kDelay).value_or(options.delay));
  return options;
}

std::string SaverUsage() {
  return "Usage: stringart-saver [-root | -window-id ID | -window] [--delay SECONDS]\n"
         "Traces random string-art figures one after another, each drawn bit by bit and then\n"
         "held: a display mode for xscreensaver.\n"
         "\n" +
         OptionHelp(kOptions) +
         "\n"
         "Options take one dash or two. Exit status: 0 when its own window is closed, 1 when the\n"
         "display or the window cannot be used, 2 for bad options; SIGTERM ends it at once.\n";
}

}  // namespace stringart
