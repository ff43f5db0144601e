#pragma once

// PNG files made chunk by chunk, for readers handed what no writer makes: a 1 x 1 picture with
// any chunks ahead of its pixels.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace stringart::testing {

// A chunk: its length, type, data and CRC, as a file carries it.
inline std::string PngChunk(std::string_view type, std::string_view data) {
  std::string chunk;
  const auto length = static_cast<std::uint32_t>(data.size());
  for (int shift : {24, 16, 8, 0}) chunk += static_cast<char>(length >> shift & 0xFF);
  chunk += type;
  chunk += data;
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data() + 4), 4 + length);
  for (int shift : {24, 16, 8, 0}) chunk += static_cast<char>(crc >> shift & 0xFF);
  return chunk;
}

// `bytes` deflated at zlib's best.
inline std::string Deflated(std::string_view bytes) {
  std::string out(compressBound(bytes.size()), '\0');
  uLongf size = out.size();
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 9);
  out.resize(size);
  return out;
}

// A 1 x 1 black PNG with `chunks` (type, data) ahead of its pixels.
inline std::string PngWith(const std::vector<std::pair<std::string, std::string>>& chunks) {
  std::string png = "\x89PNG\r\n\x1a\n";
  png += PngChunk("IHDR", std::string("\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 13));
  for (const auto& [type, data] : chunks) png += PngChunk(type, data);
  png += PngChunk("IDAT", Deflated(std::string(4, '\0')));
  png += PngChunk("IEND", "");
  return png;
}

// The data of a tEXt chunk, or of a zTXt one (with `text` deflated) when `compressed`.
inline std::string TextChunk(std::string_view key, std::string_view text, bool compressed = false) {
  return std::string(key) + '\0' + (compressed ? '\0' + Deflated(text) : std::string(text));
}

}  // namespace stringart::testing
