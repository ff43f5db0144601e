#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stringart {

// Text from outside (a file name, a value, a file's command) as a message may show it: never
// markup, never a terminal escape, never a page long.

// The longest quoted text a message shows, characters; more is cut and ends in "…".
inline constexpr std::size_t kQuotedMax = 80;

// `text` with every control character, invalid UTF-8 byte and direction override escaped as
// \xNN or \u{NNNN}; when longer than `max` characters (code points), cut to its start and its
// end around a "…", `max` characters in all.
std::string EscapeText(std::string_view text, std::size_t max = kQuotedMax);

// EscapeText in single quotes: "'name.png'".
std::string Quoted(std::string_view text, std::size_t max = kQuotedMax);

}  // namespace stringart
