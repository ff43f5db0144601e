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
#include "text/Language.h"
#include "text/Reasons.h"

namespace {

// What went wrong, on one line in the person's language, to xscreensaver's log or the terminal.
void Tell(const std::string& error) {
  static const stringart::Translate translate = stringart::EnvironmentTranslate();
  std::fprintf(stderr, "stringart-saver: %s\n", stringart::InLanguage(error, translate).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace stringart;
  std::string error;
  const auto options = ParseSaverOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    Tell(error);
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
    Tell(error);
    return 1;
  }
  RandomSource source;
  SystemClock clock;
  ClockedRandom random(source, clock);
  const int status = screen->Run(random, options->delay, error);
  if (status != 0) Tell(error);
  return status;
}
