#include "app/SlideshowOption.h"

#include <charconv>
#include <string_view>

namespace stringart {
namespace {

bool ReadSeconds(std::string_view text, int& seconds, std::string& error) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || seconds < 1 ||
      seconds > kMaxSlideshowSeconds) {
    error = "--slideshow: '" + std::string(text) + "' is not a whole number of seconds from 1 to " +
            std::to_string(kMaxSlideshowSeconds);
    return false;
  }
  return true;
}

}  // namespace

int TakeSlideshowOption(int& argc, char** argv, std::string& error) {
  int seconds = 0;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--slideshow") {
      seconds = kDefaultSlideshowSeconds;
      if (i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9') {
        if (!ReadSeconds(argv[++i], seconds, error)) return -1;
      }
    } else if (arg.starts_with("--slideshow=")) {
      if (!ReadSeconds(arg.substr(12), seconds, error)) return -1;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argv[kept] = nullptr;
  argc = kept;
  return seconds;
}

}  // namespace stringart
