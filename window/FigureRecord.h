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

// What one figure was made from, enough to trace it again: its twelve draws and the directions
// it started with, plus the directions it left for the next figure.
struct FigureRecord {
  FigureDraws draws{};
  Directions start, end;
  friend bool operator==(const FigureRecord&, const FigureRecord&) = default;
};

}  // namespace stringart
