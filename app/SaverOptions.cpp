#include "app/SaverOptions.h"

#include <charconv>
#include <string_view>

namespace stringart {
namespace {

// "-name" or "--name" as one option.
bool Is(const std::string& arg, std::string_view name) {
  std::string_view a = arg;
  if (a.starts_with("--")) a.remove_prefix(1);
  return a.size() == name.size() + 1 && a[0] == '-' && a.substr(1) == name;
}

}  // namespace

std::optional<unsigned long> ParseWindowId(const std::string& text) {
  std::string_view digits = text;
  int base = 10;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
    base = 16;
  }
  unsigned long id = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id, base);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || id == 0) {
    return std::nullopt;
  }
  return id;
}

std::optional<SaverOptions> ParseSaverOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  SaverOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool last = i + 1 == args.size();
    if (Is(arg, "help") || arg == "-h") {
      options.help = true;
    } else if (Is(arg, "version")) {
      options.version = true;
    } else if (Is(arg, "root")) {
      options.target = SaverTarget::Root;
    } else if (Is(arg, "window")) {
      options.target = SaverTarget::OwnWindow;
    } else if (Is(arg, "window-id") || Is(arg, "delay")) {
      if (last) {
        error = arg + " needs a value";
        return std::nullopt;
      }
      const std::string& value = args[++i];
      if (Is(arg, "delay")) {
        int seconds = -1;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
        if (value.empty() || ec != std::errc() || end != value.data() + value.size() ||
            seconds < 0 || seconds > kMaxSaverDelay) {
          error = "'" + value + "' is not a whole number of seconds from 0 to " +
                  std::to_string(kMaxSaverDelay);
          return std::nullopt;
        }
        options.delay = seconds;
      } else {
        const auto id = ParseWindowId(value);
        if (!id) {
          error = "'" + value + "' is not a window id (decimal, or hexadecimal after 0x)";
          return std::nullopt;
        }
        options.target = SaverTarget::WindowId;
        options.windowId = *id;
      }
    } else {
      error = "unknown option '" + arg + "' (try --help)";
      return std::nullopt;
    }
  }
  return options;
}

std::string SaverUsage() {
  return "Usage: stringart-saver [-root | -window-id ID | -window] [--delay SECONDS]\n"
         "Traces random string-art figures one after another, each drawn bit by bit and then\n"
         "held: a display mode for xscreensaver.\n"
         "\n"
         "  -root            draw on the window XSCREENSAVER_WINDOW names, else the root window\n"
         "  -window-id ID    draw on window ID (decimal, or hexadecimal after 0x)\n"
         "  -window          open a window of its own (the default, unless XSCREENSAVER_WINDOW\n"
         "                   names a window)\n"
         "  --delay SECONDS  how long a finished figure stays (0 to 3600, default 10)\n"
         "  --version        print the version and exit\n"
         "  -h, --help       print this help and exit\n"
         "\n"
         "Options take one dash or two. Exit status: 0 when its own window is closed, 1 when the\n"
         "display or the window cannot be used, 2 for bad options; SIGTERM ends it at once.\n";
}

}  // namespace stringart
