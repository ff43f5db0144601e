// The reasons of the layers without Qt in German: each wording of the catalogue found again in
// the English it builds, its places kept, and the language chosen as gettext chooses it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "text/Language.h"
#include "text/Reasons.h"

namespace stringart {
namespace {

const LanguageTable& German() {
  const LanguageTable* table = ChooseLanguage(std::vector<std::string>{"de"});
  EXPECT_NE(table, nullptr) << "no German table was built";
  static const LanguageTable none{"", {}};
  return table != nullptr ? *table : none;
}

Translate InGerman() {
  return [&texts = German().texts](const char* context, const char* text) {
    for (const TranslatedText& one : texts) {
      if (std::strcmp(one.context, context) == 0 && std::strcmp(one.source, text) == 0)
        return std::string(one.translation);
    }
    return std::string(text);
  };
}

// `wording` with %N made `'pN'`, a quoted name each, which is never taken for a reason.
std::string Filled(std::string wording) {
  for (char n = '1'; n <= '9'; ++n) {
    const std::string place = {'%', n};
    for (std::size_t at; (at = wording.find(place)) != std::string::npos;)
      wording.replace(at, 2, std::string("'p") + n + "'");
  }
  return wording;
}

std::set<char> Places(const std::string& wording) {
  std::set<char> places;
  for (std::size_t at = wording.find('%'); at != std::string::npos; at = wording.find('%', at + 1))
    if (at + 1 < wording.size() && wording[at + 1] >= '1' && wording[at + 1] <= '9')
      places.insert(wording[at + 1]);
  return places;
}

// Every wording, filled in, comes back as its own translation: no other wording is taken for it,
// and no translation lost a place.
TEST(Reasons, EveryWordingIsFoundAgainAndItsTranslationKeepsItsPlaces) {
  int reasons = 0;
  for (const TranslatedText& one : German().texts) {
    if (std::strcmp(one.context, kReasonsContext) != 0) continue;
    ++reasons;
    EXPECT_EQ(Places(one.source), Places(one.translation)) << one.source;
    EXPECT_EQ(InLanguage(Filled(one.source), InGerman()), Filled(one.translation)) << one.source;
    // English stays as the code built it, byte for byte.
    EXPECT_EQ(InLanguage(Filled(one.source),
                         [](const char*, const char* text) { return std::string(text); }),
              Filled(one.source));
  }
  EXPECT_GT(reasons, 100);
}

TEST(Reasons, ReasonsUnderReasonsNamesAndNumbersAsTheyReachThePerson) {
  struct Case {
    std::string english, german, point = ".";
  };
  const Case cases[] = {
      // A reason under a reason, and a name that holds the wording's own ": ".
      {"cannot open 'a: b.png': it is a folder",
       "'a: b.png' lässt sich nicht öffnen: es ist ein Ordner"},
      {"cannot import 'f.json': figure 3: \"favourite\" is not true or false; nothing was added.",
       "'f.json' lässt sich nicht importieren: Figur 3: „favourite“ ist weder true noch false; es "
       "wurde nichts hinzugefügt."},
      {"--draws: draw 2 'x' is not a number", "--draws: Zufallswert 2 'x' ist keine Zahl"},
      {"--figures '0' is not a whole number from 1 to 1000000",
       "--figures '0' ist keine ganze Zahl von 1 bis 1000000"},
      {"cannot write 'o/f.png': No such file or directory",
       "'o/f.png' lässt sich nicht schreiben: Datei oder Verzeichnis nicht gefunden"},
      // Decimal numbers take the locale's point; quoted ones are as typed.
      {"a margin of 99.5 mm leaves no room on A4 (210 x 297 mm): at most 74.5 mm",
       "ein Rand von 99,5 mm lässt auf A4 (210 x 297 mm) keinen Platz: höchstens 74,5 mm", ","},
      {"--margin '1.5x' is not a number of millimetres from 0 to 100",
       "--margin '1.5x' ist keine Zahl von Millimetern von 0 bis 100", ","},
      // What the catalogue does not know stays as it is.
      {"a reason nobody wrote", "a reason nobody wrote"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InLanguage(c.english, InGerman(), c.point), c.german) << c.english;
    EXPECT_EQ(InLanguage(c.english, {}), c.english) << c.english;
  }
}

TEST(Language, ChosenFromTheEnvironmentAsGettextChoosesIt) {
  struct Case {
    const char *language, *lcAll, *lcMessages, *lang;
    bool german;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", true},
      {nullptr, nullptr, nullptr, "de_AT", true},
      {"", "", "", "de_CH.UTF-8@euro", true},
      {"de", nullptr, nullptr, "en_GB.UTF-8", true},
      {"fr:de", nullptr, nullptr, "en_US.UTF-8", true},   // no French: the next one
      {"en:de", nullptr, nullptr, "de_DE.UTF-8", false},  // English asked first
      {nullptr, nullptr, "de_DE.UTF-8", "en_US.UTF-8", true},
      {nullptr, "en_US.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", false},
      {"de", "C", nullptr, "de_DE.UTF-8", false},  // C asks for English, whatever LANGUAGE says
      {"de", nullptr, nullptr, "POSIX", false},
      {"de", nullptr, nullptr, nullptr, false},
      {nullptr, nullptr, nullptr, "C.UTF-8", false},
      {nullptr, nullptr, nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    const LanguageTable* table =
        ChooseLanguage(AskedLanguages(c.language, c.lcAll, c.lcMessages, c.lang));
    EXPECT_EQ(table != nullptr && std::string(table->language) == "de", c.german)
        << (c.language ? c.language : "-") << " " << (c.lcAll ? c.lcAll : "-") << " "
        << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
  }
}

}  // namespace
}  // namespace stringart
