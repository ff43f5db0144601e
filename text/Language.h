#pragma once

#include <span>
#include <string>
#include <vector>

#include "text/Translatable.h"

namespace stringart {

// One text of a translation: its context and English as the code marks them, and the translation.
struct TranslatedText {
  const char* context;
  const char* source;
  const char* translation;
};

// The finished translations of one language ("de") that the programs without Qt use.
struct LanguageTable {
  const char* language;
  std::span<const TranslatedText> texts;
};

// Every language the programs without Qt speak besides English, made at build time from the
// translations of the window.
std::span<const LanguageTable> LanguageTables();

// The languages a person asks for, in order, as gettext reads them: LANGUAGE's list (a colon
// between each), unless the locale (LC_ALL, else LC_MESSAGES, else LANG) is C or POSIX, which
// asks for English alone; else the locale. Each without its codeset and modifier ("de_AT.UTF-8"
// is "de_AT"). Null or empty variables are unset.
std::vector<std::string> AskedLanguages(const char* language, const char* lcAll,
                                        const char* lcMessages, const char* lang);

// The table of the first asked language there is one for ("de_AT", then "de"), or null for
// English: English, asked before any other, is taken as it is.
const LanguageTable* ChooseLanguage(std::span<const std::string> asked);

// The texts of the layers without Qt in the language the environment asks for, or an empty
// Translate (English).
Translate EnvironmentTranslate();

}  // namespace stringart
