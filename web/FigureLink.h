#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "figure/FigureRecord.h"

namespace stringart {

// A link to a figure: the page address's fragment "draws=U1,...,U12&directions=R,G,B", the
// renderer's --draws and --directions values (the directions the figure starts with).

// What a link names: the figure traced from `draws` starting with `directions`.
struct FigureLink {
  FigureDraws draws{};
  Directions directions;
};

// The link to `figure`, without the '#'.
std::string FormatFigureLink(const FigureRecord& figure);

// Reads a fragment without its '#', checked as the renderer checks its options: draws must be
// there, directions default to 1,1,1, either may come first, neither twice, nothing else.
// nullopt with `error` set to what is wrong.
std::optional<FigureLink> ParseFigureLink(std::string_view fragment, std::string& error);

}  // namespace stringart
