#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace stringart {

// The colour directions fre, fgr, fbl: +1 rising, -1 falling.
struct Directions {
  std::int16_t red = 1, green = 1, blue = 1;
  friend bool operator==(const Directions&, const Directions&) = default;
};

// A figure's twelve random values in draw order: two phases, three colour start values, three
// colour step sizes, four frequency factors; each in [0, 1) when drawn by the program.
inline constexpr std::size_t kFigureDraws = 12;
using FigureDraws = std::array<float, kFigureDraws>;

// The draws of the README's example figure, traced with every direction starting rising: its
// first step runs from (260.153, 411.496) to (284.868, 389.980) in colour 0x80664D, and it leaves
// the directions 1, 1, -1.
inline constexpr FigureDraws kExampleDraws = {0.1f, 0.2f, 0.3f, 0.4f,  0.5f,  0.6f,
                                              0.7f, 0.8f, 0.9f, 0.15f, 0.35f, 0.55f};

// What one figure was made from, enough to trace it again: its twelve draws and the directions
// it started with, plus the directions it left for the next figure.
struct FigureRecord {
  FigureDraws draws{};
  Directions start, end;
  friend bool operator==(const FigureRecord&, const FigureRecord&) = default;
};

}  // namespace stringart
