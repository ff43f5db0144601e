// A figures file's text: whatever it holds is read or refused with a reason, and the figures
// read, written out again, read back as the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "journal/FiguresFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const auto figures = stringart::ParseFiguresFile(
      std::string_view(reinterpret_cast<const char*>(data), size), error);
  if (!figures) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  const auto again = stringart::ParseFiguresFile(stringart::FormatFiguresFile(*figures), error);
  if (!again || again->size() != figures->size()) __builtin_trap();
  for (std::size_t i = 0; i < figures->size(); ++i) {
    const auto& a = (*figures)[i];
    const auto& b = (*again)[i];
    if (a.figure.draws != b.figure.draws || !(a.figure.start == b.figure.start) ||
        a.favourite != b.favourite || a.shownAt != b.shownAt || a.note != b.note) {
      __builtin_trap();
    }
  }
  return 0;
}
