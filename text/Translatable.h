#pragma once

#include <functional>
#include <string>

// Marks an English text for the translators' tools in code that includes no Qt; the window's side
// translates it, by the same context, where it shows it. Spelled as Qt spells it, so that both
// definitions may meet in one file.
#define QT_TRANSLATE_NOOP(scope, x) x

namespace stringart {

// The person's language for an English `text` marked in `context`, in UTF-8. An empty Translate
// leaves every text in English, as programs without Qt show them.
using Translate = std::function<std::string(const char* context, const char* text)>;

inline std::string Translated(const Translate& translate, const char* context, const char* text) {
  return translate ? translate(context, text) : std::string(text);
}

}  // namespace stringart
