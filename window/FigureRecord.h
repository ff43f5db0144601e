#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stringart {

// The colour directions fre, fgr, fbl: +1 rising, -1 falling.
struct Directions {
  std::int16_t red = 1, green = 1, blue = 1;
  friend bool operator==(const Directions&, const Directions&) = default;
};

// What one figure was made from, enough to trace it again: its twelve draws in draw order and
// the directions it started with, plus the directions it left for the next figure.
struct FigureRecord {
  static constexpr std::size_t kDraws = 12;
  std::array<float, kDraws> draws{};
  Directions start, end;
};

// "U1,...,U12": each draw in the shortest form that reads back as the same float.
std::string FormatDraws(const std::array<float, FigureRecord::kDraws>& draws);
// "R,G,B", e.g. "1,1,-1".
std::string FormatDirections(Directions d);
// "draws U1,...,U12 directions R,G,B -> R,G,B": how the figure was made and what it left.
std::string DescribeFigure(const FigureRecord& figure);

// Parsers for the forms above; nullopt with `error` set to what is wrong.
std::optional<std::array<float, FigureRecord::kDraws>> ParseDraws(std::string_view text,
                                                                  std::string& error);
std::optional<Directions> ParseDirections(std::string_view text, std::string& error);

}  // namespace stringart
