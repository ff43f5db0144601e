// Figures the tests trace, and digests that pin every bit of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/SegmentRecorder.h"
#include "figure/FigureRecord.h"
#include "figure/Tracer.h"

namespace stringart::testing {

using stringart::kExampleDraws;

// 64-bit FNV-1a over bytes, continued from `hash`.
inline std::uint64_t Fnv1a(const void* bytes, std::size_t size,
                           std::uint64_t hash = 0xcbf29ce484222325ULL) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 0x100000001b3ULL;
  return hash;
}

// Every segment in order: the bits of its four float coordinates, then its packed colour.
inline std::uint64_t SegmentDigest(const std::vector<Segment>& segments) {
  std::uint64_t hash = Fnv1a(nullptr, 0);
  for (const Segment& s : segments) {
    const float xy[4] = {s.fromX, s.fromY, s.toX, s.toY};
    hash = Fnv1a(xy, sizeof xy, hash);
    hash = Fnv1a(&s.colour.value, sizeof s.colour.value, hash);
  }
  return hash;
}

// The 500 x 500 raster's pixel words, row by row.
inline std::uint64_t RasterDigest(const Picture1& picture) {
  return Fnv1a(picture.pixels(), sizeof(std::uint32_t) * Picture1::kStride * Picture1::kHeight);
}

// A figure whose segments and pixels are fixed to the bit.
struct PinnedFigure {
  const char* name;
  FigureDraws draws;
  Directions start;
  std::uint64_t segments;  // SegmentDigest
  std::uint64_t raster;    // RasterDigest after TraceAgain
};

inline const PinnedFigure kPinnedFigures[] = {
    {"example", kExampleDraws, {1, 1, 1}, 0x1f77a3421e28451cULL, 0x75d07eb1c7178ac6ULL},
    // Red starts at 255.744 (rounds to 256), every frequency factor is negative, and every
    // direction starts falling.
    {"red above 255.5, negative factors, falling",
     {0.7f, 0.05f, 0.999f, 0.01f, 0.5f, 0.9f, 0.3f, 0.02f, 0.1f, 0.3f, 0.2f, 0.45f},
     {-1, -1, -1},
     0x93161e44928873cfULL,
     0xebf1abc5cf7ee193ULL},
    // Every frequency factor 0 (0.5 * 6 - 3): the horizontal band.
    {"all factors zero",
     {0.25f, 0.75f, 0.6f, 0.3f, 0.1f, 0.4f, 0.8f, 0.2f, 0.5f, 0.5f, 0.5f, 0.5f},
     {1, -1, 1},
     0x13415978c31a228aULL,
     0xb720c82df6eece29ULL},
};

// The segments of one figure traced from `draws` with the given start directions.
inline std::vector<Segment> TraceSegments(const FigureDraws& draws, Directions start = {}) {
  SegmentRecorder recorder;
  TraceAgain({draws, start, {}}, recorder);
  return recorder.segments();
}

}  // namespace stringart::testing

namespace stringart::testing {

// Figure `i` of a run, as the program draws them: every draw a multiple of 2^-24 below 1, which
// is what makes their text as long as it gets; start directions of every pattern.
inline FigureRecord DrawnFigure(std::uint64_t i) {
  FigureRecord figure;
  std::uint64_t state = i * 0x9E3779B97F4A7C15ULL + 1;
  for (float& u : figure.draws) {
    state ^= state >> 29;
    state *= 0xBF58476D1CE4E5B9ULL;
    state ^= state >> 32;
    u = static_cast<float>(state & 0xFFFFFF) / 16777216.0f;
  }
  auto sign = [i](int bit) { return static_cast<std::int16_t>(i >> bit & 1 ? -1 : 1); };
  figure.start = {sign(0), sign(1), sign(2)};
  return figure;
}

}  // namespace stringart::testing
