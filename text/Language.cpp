#include "text/Language.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace stringart {
namespace {

bool Set(const char* value) {
  return value != nullptr && *value != '\0';
}

// "de_AT.UTF-8@euro" as "de_AT".
std::string WithoutCodeset(std::string_view name) {
  return std::string(name.substr(0, name.find_first_of(".@")));
}

}  // namespace

std::vector<std::string> AskedLanguages(const char* language, const char* lcAll,
                                        const char* lcMessages, const char* lang) {
  std::vector<std::string> asked;
  const char* locale = Set(lcAll) ? lcAll : Set(lcMessages) ? lcMessages : Set(lang) ? lang : "C";
  const std::string named = WithoutCodeset(locale);
  if (named == "C" || named == "POSIX") return asked;
  if (Set(language)) {
    std::string_view list = language;
    while (!list.empty()) {
      const std::size_t colon = list.find(':');
      if (const std::string one = WithoutCodeset(list.substr(0, colon)); !one.empty()) {
        asked.push_back(one);
      }
      list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
    }
  }
  if (asked.empty()) asked.push_back(named);
  return asked;
}

const LanguageTable* ChooseLanguage(std::span<const std::string> asked) {
  for (const std::string& name : asked) {
    // "de_AT" finds "de_AT", then "de".
    const std::string base = name.substr(0, name.find('_'));
    if (base == "en") return nullptr;
    for (const std::string& tried : {name, base}) {
      for (const LanguageTable& table : LanguageTables()) {
        if (tried == table.language) return &table;
      }
    }
  }
  return nullptr;
}

Translate EnvironmentTranslate() {
  const LanguageTable* table =
      ChooseLanguage(AskedLanguages(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                    std::getenv("LC_MESSAGES"), std::getenv("LANG")));
  if (table == nullptr) return {};
  return [texts = table->texts](const char* context, const char* text) {
    for (const TranslatedText& one : texts) {
      if (std::strcmp(one.source, text) == 0 && std::strcmp(one.context, context) == 0) {
        return std::string(one.translation);
      }
    }
    return std::string(text);
  };
}

}  // namespace stringart
