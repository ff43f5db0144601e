// The command a plotter's G-code carries, read as opening a file reads it.
#include "tests/fuzz/FileCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return ReadAsFile(data, size, stringart::FigureFormat::Gcode);
}
