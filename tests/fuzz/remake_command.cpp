// The command a file carries, read back as a figure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "options/FigureCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto figure = stringart::ParseRemakeCommand(text, error);
  // What is read back must write out as a command that reads back as the same figure.
  if (figure && stringart::ParseRemakeCommand(stringart::RemakeCommand(*figure), error) != figure) {
    __builtin_trap();
  }
  return 0;
}
