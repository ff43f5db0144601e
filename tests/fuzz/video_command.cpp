// The comment tag of an MP4 or WebM file (the first byte picks which), read as opening a file
// reads it.
#include "tests/fuzz/FileCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  return ReadAsFile(data + 1, size - 1,
                    data[0] & 1 ? stringart::FigureFormat::Webm : stringart::FigureFormat::Mp4);
}
