#include "text/Quote.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stringart {
namespace {

// The length of the valid UTF-8 sequence at the start of `s` and its code point; 0 when the
// bytes there are no valid sequence (overlong, a surrogate, beyond U+10FFFF or cut short).
std::size_t DecodeUtf8(std::string_view s, char32_t& code) {
  const auto b0 = static_cast<std::uint8_t>(s[0]);
  std::size_t length = 0;
  char32_t least = 0;
  if (b0 < 0x80) {
    code = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    length = 2, code = b0 & 0x1F, least = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3, code = b0 & 0x0F, least = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4, code = b0 & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<std::uint8_t>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    code = code << 6 | (b & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// Characters that steer a terminal or reorder text on the screen: C0 and C1 controls, DEL, and
// the bidirectional overrides, embeddings and isolates, and the line and paragraph separators.
bool MustEscape(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029 || c == 0x200E || c == 0x200F ||
         c == 0x061C;
}

// `value` in lower-case hexadecimal, at least `digits` of them: printf's %0*x without printf,
// whose float formatting would come along into the page's WebAssembly.
std::string Hex(unsigned value, int digits) {
  std::string text;
  for (; value || digits > 0; value >>= 4, --digits)
    text.insert(text.begin(), "0123456789abcdef"[value & 15]);
  return text;
}

}  // namespace

std::string EscapeText(std::string_view text, std::size_t max) {
  // Each character as it is shown, so that a cut never splits one or its escape.
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    const std::size_t length = DecodeUtf8(text.substr(i), code);
    if (length == 0 || MustEscape(code)) {
      const unsigned value = length == 0 ? static_cast<std::uint8_t>(text[i]) : code;
      shown.push_back(value < 0x100 ? "\\x" + Hex(value, 2) : "\\u{" + Hex(value, 4) + "}");
    } else {
      shown.emplace_back(text.substr(i, length));
    }
    i += length == 0 ? 1 : length;
  }
  // Too long: the start and the end, which for a path is the file's name.
  const bool cut = shown.size() > max;
  const std::size_t head = cut ? max / 2 : shown.size();
  const std::size_t tail = cut && max > 0 ? max - head - 1 : 0;
  std::string out;
  for (std::size_t i = 0; i < head; ++i) out += shown[i];
  if (cut) out += "\u2026";
  for (std::size_t i = shown.size() - tail; i < shown.size(); ++i) out += shown[i];
  return out;
}

std::string Quoted(std::string_view text, std::size_t max) {
  std::string quoted = "'";
  quoted += EscapeText(text, max);
  quoted += '\'';
  return quoted;
}

}  // namespace stringart
