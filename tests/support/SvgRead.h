#pragma once

#include <charconv>
#include <regex>
#include <string>
#include <vector>

#include "canvas/SegmentRecorder.h"

namespace stringart::testing {

// Reads the segments back from an SVG document's paths ("M x y L x y" runs, one colour each).
inline std::vector<Segment> ReadSvgSegments(const std::string& svg) {
  std::vector<Segment> segments;
  const std::regex path(R"re(<path stroke="#([0-9a-f]{6})" d="([^"]*)"/>)re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator();
       ++it) {
    const unsigned rgb = static_cast<unsigned>(std::stoul((*it)[1].str(), nullptr, 16));
    const Colour colour = PackColour(static_cast<std::int16_t>(rgb >> 16),
                                     static_cast<std::int16_t>(rgb >> 8 & 0xFF),
                                     static_cast<std::int16_t>(rgb & 0xFF));
    const std::string d = (*it)[2];
    const char* p = d.data();
    const char* end = d.data() + d.size();
    while (p < end) {
      float v[4];
      for (float& value : v) p = std::from_chars(p + 1, end, value).ptr;  // skip M, space, L
      segments.push_back({v[0], v[1], v[2], v[3], colour});
    }
  }
  return segments;
}

}  // namespace stringart::testing
