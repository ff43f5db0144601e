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

// `zeros` zero bytes deflated, without holding them: a decompression bomb.
inline std::string DeflatedZeros(std::size_t zeros) {
  z_stream z{};
  deflateInit(&z, 9);
  const std::string block(1 << 20, '\0');
  std::string out;
  char buffer[1 << 16];
  for (std::size_t left = zeros;;) {
    const std::size_t take = std::min(left, block.size());
    left -= take;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    z.avail_in = static_cast<uInt>(take);
    const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    int status = Z_OK;
    do {
      z.next_out = reinterpret_cast<Bytef*>(buffer);
      z.avail_out = sizeof buffer;
      status = deflate(&z, flush);
      out.append(buffer, sizeof buffer - z.avail_out);
    } while (z.avail_out == 0);
    if (status == Z_STREAM_END || left == 0) break;
  }
  deflateEnd(&z);
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

// The data of a tEXt chunk, or of a zTXt one with its text deflated.
inline std::string TextChunk(std::string_view key, std::string_view text) {
  return std::string(key) + '\0' + std::string(text);
}
inline std::string ZtxtChunk(std::string_view key, std::string_view deflated) {
  return std::string(key) + '\0' + '\0' + std::string(deflated);
}

}  // namespace stringart::testing
