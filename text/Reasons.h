#pragma once

#include <string>
#include <string_view>

#include "text/Translatable.h"

namespace stringart {

// Where the reasons the layers without Qt give are marked for translation.
inline constexpr const char* kReasonsContext = "Reasons";

// `reason`, a message as the layers without Qt word it in English ("cannot open 'x': it is a
// folder"), in the person's language: the catalogue's wording it was made from is found, its
// places (names, numbers, the reason under it) are taken out, translated in turn where they are
// reasons themselves, and put into the translated wording; a place that is a decimal number
// ("12.5") takes `decimalPoint`. A reason the catalogue does not know, or one with no translation,
// stays as it is; an empty Translate changes nothing.
std::string InLanguage(const std::string& reason, const Translate& translate,
                       std::string_view decimalPoint = ".");

}  // namespace stringart
