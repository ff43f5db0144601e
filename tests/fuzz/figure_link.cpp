// The web page's link to a figure: the address's fragment.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "web/FigureLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const auto link = stringart::ParseFigureLink(
      std::string_view(reinterpret_cast<const char*>(data), size), error);
  if (link) {
    const std::string again = stringart::FormatFigureLink({link->draws, link->directions, {}});
    const auto reread = stringart::ParseFigureLink(again, error);
    if (!reread || reread->draws != link->draws || !(reread->directions == link->directions)) {
      __builtin_trap();
    }
  }
  return 0;
}
