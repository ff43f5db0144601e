#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/SegmentRecorder.h"

namespace stringart::testing {

// Reads the segments back from an SVG document's paths ("M x y L x y" runs, one colour each).
inline std::vector<Segment> ReadSvgSegments(std::string_view svg) {
  constexpr std::string_view kStart = "<path stroke=\"#", kData = "\" d=\"";
  std::vector<Segment> segments;
  for (std::size_t at = svg.find(kStart); at != std::string_view::npos;
       at = svg.find(kStart, at + 1)) {
    unsigned rgb = 0;
    const char* hex = svg.data() + at + kStart.size();
    std::from_chars(hex, hex + 6, rgb, 16);
    const Colour colour =
        PackColour(static_cast<std::int16_t>(rgb >> 16), static_cast<std::int16_t>(rgb >> 8 & 0xFF),
                   static_cast<std::int16_t>(rgb & 0xFF));
    const std::size_t begin = at + kStart.size() + 6 + kData.size();
    const char* p = svg.data() + begin;
    const char* end = svg.data() + svg.find('"', begin);
    while (p < end) {
      float v[4];
      for (float& value : v) p = std::from_chars(p + 1, end, value).ptr;  // skip M, space, L
      segments.push_back({v[0], v[1], v[2], v[3], colour});
    }
  }
  return segments;
}

}  // namespace stringart::testing
