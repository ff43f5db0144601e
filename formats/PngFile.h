#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ExportProgress.h"

namespace stringart {

// PNG files through libpng, at any size: 8-bit RGB, written row by row, with text chunks.

// A text chunk: tEXt, or zTXt when `compressed`.
struct PngText {
  std::string key, text;
  bool compressed = false;
};

struct PngOptions {
  std::vector<PngText> texts;  // written before the pixels, in this order
  int pixelsPerMetre = 0;      // a pHYs chunk when above 0
  // The part of the work's progress the encoding takes: it reports from `progressFrom` to 1.
  double progressFrom = 0;
};

// Writes `width` x `height` pixels, native-endian 0xFFRRGGBB words with rows `stride` words
// apart, top row first, as a PNG to `path`, all or nothing: through a temporary file beside it
// renamed at the end. `progress` (may be empty) hears of the rows and may cancel; a failure or a
// cancel leaves no file. A failure sets `error` to one line without the path.
ExportResult WritePngFile(const std::string& path, const std::uint32_t* pixels, int width,
                          int height, std::ptrdiff_t stride, const PngOptions& options,
                          const ExportProgress& progress, std::string& error);

// The longest text ReadPngText reads, bytes.
inline constexpr std::size_t kMaxPngText = 64 * 1024;

// The text of the first tEXt, zTXt or iTXt chunk named `key` ahead of the pixels of the PNG
// open on `fd`, from where `fd` stands: an empty string when there is none. Reads at most
// kMaxPngText bytes of any text, a few MiB of chunks and no pixels, and keeps every byte of the
// text (NULs too). nullopt with `error` set to one line, without the path, when the file is no
// PNG or the text is longer than that or damaged.
std::optional<std::string> ReadPngText(int fd, std::string_view key, std::string& error);
// The same for the regular file at `path`.
std::optional<std::string> ReadPngText(const std::string& path, std::string_view key,
                                       std::string& error);

}  // namespace stringart
