// stringart-saver: random string-art figures, one after another, as a display mode for
// xscreensaver.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/StandardOutput.h"
#include "options/SaverOptions.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"
#include "saver/SaverScreen.h"

int main(int argc, char** argv) {
  using namespace stringart;
  std::string error;
  const auto options = ParseSaverOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "stringart-saver: %s\n", error.c_str());
    return 2;
  }
  if (options->help || options->version) {
    std::fputs(options->help ? SaverUsage().c_str() : "stringart-saver " STRINGART_VERSION "\n",
               stdout);
    return StandardOutputWritten("stringart-saver") ? 0 : 1;
  }
  // xscreensaver ends a display mode with SIGTERM and expects it gone at once; a parent that
  // ignored the signal must not leave it ignored here.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);

  auto screen = SaverScreen::Open(*options, error);
  if (!screen) {
    std::fprintf(stderr, "stringart-saver: %s\n", error.c_str());
    return 1;
  }
  RandomSource source;
  SystemClock clock;
  ClockedRandom random(source, clock);
  const int status = screen->Run(random, options->delay, error);
  if (status != 0) std::fprintf(stderr, "stringart-saver: %s\n", error.c_str());
  return status;
}
