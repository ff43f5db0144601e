#include "web/FigureLink.h"

#include "text/FigureCommand.h"
#include "text/Quote.h"

namespace stringart {
namespace {

// The fragment's keys: the renderer's option names without their dashes.
constexpr std::string_view kDrawsKey = kDrawsOption.substr(2);
constexpr std::string_view kDirectionsKey = kDirectionsOption.substr(2);

}  // namespace

std::string FormatFigureLink(const FigureRecord& figure) {
  return std::string(kDrawsKey) + '=' + FormatDraws(figure.draws) + '&' +
         std::string(kDirectionsKey) + '=' + FormatDirections(figure.start);
}

std::optional<FigureLink> ParseFigureLink(std::string_view fragment, std::string& error) {
  std::optional<FigureDraws> draws;
  std::optional<Directions> directions;
  for (std::size_t start = 0; start <= fragment.size();) {
    const std::size_t amp = fragment.find('&', start);
    const std::string_view part = fragment.substr(start, amp - start);
    start = amp == std::string_view::npos ? fragment.size() + 1 : amp + 1;

    const std::size_t eq = part.find('=');
    const std::string_view key = part.substr(0, eq);
    if (eq == std::string_view::npos || (key != kDrawsKey && key != kDirectionsKey)) {
      error = Quoted(part) + " is not draws=U1,...,U12 or directions=R,G,B";
      return std::nullopt;
    }
    const std::string_view value = part.substr(eq + 1);
    std::string why;
    if (key == kDrawsKey) {
      if (draws) {
        error = "draws given more than once";
        return std::nullopt;
      }
      draws = ParseDraws(value, why);
      if (!draws) {
        error = "draws: " + why;
        return std::nullopt;
      }
    } else {
      if (directions) {
        error = "directions given more than once";
        return std::nullopt;
      }
      directions = ParseDirections(value, why);
      if (!directions) {
        error = "directions: " + why;
        return std::nullopt;
      }
    }
  }
  if (!draws) {
    error = "no draws=U1,...,U12";
    return std::nullopt;
  }
  return FigureLink{*draws, directions.value_or(Directions{})};
}

}  // namespace stringart
