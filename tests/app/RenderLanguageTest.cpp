// stringart-render's refusals in the language the environment asks for: German where it asks for
// German, English where the locale is C whatever LANGUAGE says, as gettext's programs do.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "tests/support/RenderRun.h"

namespace stringart {
namespace {

using testing::Outcome;
using testing::Renderer;

TEST_F(Renderer, ARefusalSpeaksTheLanguageTheEnvironmentAsksFor) {
  std::filesystem::create_directories(dir_ / "taken.png");
  struct Case {
    std::string args, english, german;
  };
  const Case cases[] = {
      {"--draws 0.1,0.2 -o f.png", "--draws: expected 12 draws separated by commas, got 2",
       "--draws: 12 durch Kommas getrennte Zufallswerte erwartet, 2 erhalten"},
      {"--draws 0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,x -o f.png",
       "--draws: draw 12 'x' is not a number", "--draws: Zufallswert 12 'x' ist keine Zahl"},
      {"--figures 0 -o f.png", "--figures '0' is not a whole number from 1 to 100000",
       "--figures '0' ist keine ganze Zahl von 1 bis 100000"},
      {"--bogus -o f.png", "unknown option '--bogus'", "unbekannte Option '--bogus'"},
      {"-o figure.jpg",
       "output 'figure.jpg' must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf",
       "die Ausgabe 'figure.jpg' muss auf .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode oder .pdf "
       "enden"},
      {"--seed 1 -o missing/f.png", "cannot write 'missing/f.png': folder 'missing' does not exist",
       "'missing/f.png' lässt sich nicht schreiben: den Ordner 'missing' gibt es nicht"},
      {"--seed 1 -o taken.png", "cannot write 'taken.png': it is a directory",
       "'taken.png' lässt sich nicht schreiben: es ist ein Verzeichnis"},
  };
  const std::string german[] = {"LC_ALL= LC_MESSAGES= LANGUAGE= LANG=de_DE.UTF-8",
                                "LC_ALL= LC_MESSAGES= LANGUAGE=de LANG=en_GB.UTF-8"};
  const std::string english[] = {"LC_ALL=C LANGUAGE=de LANG=de_DE.UTF-8",
                                 "LC_ALL= LC_MESSAGES= LANGUAGE= LANG=C.UTF-8"};
  for (const Case& c : cases) {
    for (const auto& [environments, expected] :
         {std::pair{&german, &c.german}, std::pair{&english, &c.english}}) {
      for (const std::string& environment : *environments) {
        const Outcome run = Shell("cd \"$D\" && " + environment + " \"$R\" " + c.args + "\n");
        EXPECT_NE(run.status, 0) << environment << " " << c.args;
        EXPECT_EQ(run.err, "stringart-render: " + *expected + "\n") << environment << " " << c.args;
      }
    }
  }
}

#ifdef STRINGART_SAVER
// The screensaver, where it finds no display to draw on: why, in the language asked for.
TEST_F(Renderer, TheSaverSaysWhyItCannotDrawInTheLanguageAskedFor) {
  const std::pair<std::string, std::string> cases[] = {
      {"env -u DISPLAY", "kein Display lässt sich öffnen: DISPLAY ist nicht gesetzt"},
      {"DISPLAY=:987", "das Display ':987' lässt sich nicht öffnen"},
  };
  for (const auto& [display, german] : cases) {
    const Outcome run = Shell(
        display + " LC_ALL= LC_MESSAGES= LANG=en_GB.UTF-8 LANGUAGE=de '" STRINGART_SAVER "'\n");
    EXPECT_EQ(run.status, 1) << display;
    EXPECT_EQ(run.err, "stringart-saver: " + german + "\n") << display;
  }
}

// Its options need no display: a mistake gets one line and status 2, --help and --version their
// text, and standard output that cannot be written status 1.
TEST_F(Renderer, TheSaverAnswersItsOptionsWithoutADisplay) {
  const struct {
    std::string args;
    int status;
    std::string out, err;  // the start of each
  } cases[] = {
      {"--bogus", 2, "", "stringart-saver: unknown option '--bogus' (try --help)\n"},
      {"--delay 100000", 2, "", "stringart-saver: --delay '100000' is not a whole number"},
      {"-help", 0, "Usage: stringart-saver [-root | -window-id ID | -window]", ""},
      {"--version", 0, "stringart-saver ", ""},
      {"--version >/dev/full", 1, "",
       "stringart-saver: cannot write to standard output: No space left on device\n"},
  };
  for (const auto& [args, status, out, err] : cases) {
    const Outcome run =
        Shell("env -u DISPLAY -u LANGUAGE LC_ALL=C.UTF-8 '" STRINGART_SAVER "' " + args + "\n");
    EXPECT_EQ(run.status, status) << args << ": " << run.err;
    EXPECT_EQ(run.out.substr(0, out.size()), out) << args << ": " << run.out;
    EXPECT_EQ(run.out.empty(), out.empty()) << args;
    EXPECT_EQ(run.err.substr(0, err.size()), err) << args;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), err.empty() ? 0 : 1) << run.err;
  }
}
#endif

// --help in German: each option's help in its column, the ranges in German words.
TEST_F(Renderer, HelpSpeaksTheLanguageTheEnvironmentAsksFor) {
  const Outcome help = Shell("LC_ALL= LC_MESSAGES= LANGUAGE=de LANG=en_GB.UTF-8 \"$R\" --help\n");
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.out.rfind("Aufruf: stringart-render [OPTION...] -o FILE\n", 0), 0u) << help.out;
  // The help's column starts two places after the longest option, --paper-colour's.
  const auto row = [](std::string option) { return "\n" + option.append(38 - option.size(), ' '); };
  for (const std::string& line : {row("  --figures N") + "wie viele Figuren, 1 bis 100000 (",
                                  row("  -h, --help") + "dieser Text\n"}) {
    EXPECT_NE(help.out.find(line), std::string::npos) << line << "\n" << help.out;
  }
}

}  // namespace
}  // namespace stringart
