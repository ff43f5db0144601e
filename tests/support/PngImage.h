// Pictures read back from PNG files, for comparing them with what the program traced.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace stringart::testing {

// width x height 0xFFRRGGBB words, rows top to bottom with no padding.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  Image() = default;
  Image(int w, int h, std::uint32_t fill = 0xFF000000u)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  Image(const std::uint32_t* from, int w, int h)
      : width(w), height(h), pixels(from, from + w * h) {}

  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Image Mirrored() const {
    Image out(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.at(x, y) = at(width - 1 - x, y);
    return out;
  }
  Image RedBlueSwapped() const {
    Image out = *this;
    for (auto& p : out.pixels) p = (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
    return out;
  }
  Image Crop(int left, int top, int w, int h) const {
    Image out(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) out.at(x, y) = at(left + x, top + y);
    return out;
  }
  friend bool operator==(const Image&, const Image&) = default;
};

inline int Red(std::uint32_t p) {
  return p >> 16 & 0xFF;
}
inline int Green(std::uint32_t p) {
  return p >> 8 & 0xFF;
}
inline int Blue(std::uint32_t p) {
  return p & 0xFF;
}

// The pixels of the PNG at `path`; an empty image when it cannot be read.
inline Image ReadPng(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return {};
  png.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB words on this little-endian machine
  Image image(static_cast<int>(png.width), static_cast<int>(png.height));
  if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) return {};
  return image;
}

}  // namespace stringart::testing
