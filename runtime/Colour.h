#pragma once

#include <cstdint>

namespace stringart {

// A 24-bit colour packed into 32 bits: red in the low byte, green in the next, blue in the third,
// top byte zero, so value == red + 256 * green + 65536 * blue.
//
// The raster stores pixels in another order (0xFFRRGGBB, see ToPixel): red and blue swap places
// and the top byte becomes 0xFF. Keep the two apart; a swap shows as red figures turning blue.
struct Colour {
  std::uint32_t value = 0;

  constexpr int red() const { return static_cast<int>(value & 0xFFu); }
  constexpr int green() const { return static_cast<int>((value >> 8) & 0xFFu); }
  constexpr int blue() const { return static_cast<int>((value >> 16) & 0xFFu); }

  friend constexpr bool operator==(Colour, Colour) = default;
};

// Packs three channels; each is clamped to 0..255 first, so a channel that rounded to 256 (a drift
// value started at 255.5 or more) packs as 255 and the colour stays within 24 bits.
constexpr Colour PackColour(std::int16_t red, std::int16_t green, std::int16_t blue) {
  auto clamp = [](std::int16_t c) -> std::uint32_t {
    return c < 0 ? 0u : c > 255 ? 255u : static_cast<std::uint32_t>(c);
  };
  return Colour{clamp(red) | clamp(green) << 8 | clamp(blue) << 16};
}

inline constexpr Colour kBlack{};

// The raster's pixel for a colour: a native-endian 32-bit word 0xFFRRGGBB, the layout of a
// QImage::Format_RGB32 image (bytes B, G, R, 0xFF in memory on a little-endian machine).
constexpr std::uint32_t ToPixel(Colour c) {
  return 0xFF000000u | static_cast<std::uint32_t>(c.red()) << 16 |
         static_cast<std::uint32_t>(c.green()) << 8 | static_cast<std::uint32_t>(c.blue());
}

// The inverse of ToPixel; the top byte is ignored.
constexpr Colour FromPixel(std::uint32_t pixel) {
  return Colour{(pixel >> 16 & 0xFFu) | (pixel & 0xFF00u) | (pixel & 0xFFu) << 16};
}

}  // namespace stringart
