#include "web/FigureLink.h"

#include <vector>

#include "options/FigureCommand.h"
#include "options/OptionGrammar.h"
#include "text/Quote.h"

namespace stringart {
namespace {

// The fragment's keys: the renderer's option names without their dashes.
constexpr OptionRow kKeys[] = {
    {.name = kDrawsOption, .value = "U1,...,U12", .read = ReadAsDraws},
    {.name = kDirectionsOption, .value = "R,G,B", .read = ReadAsDirections},
};

std::string_view Key(const OptionRow& row) {
  return row.name.substr(2);
}

// What the fragment may hold: "draws=U1,...,U12 or directions=R,G,B".
std::string Expected() {
  std::string text;
  for (const OptionRow& row : kKeys) {
    if (!text.empty()) text += " or ";
    ((text += Key(row)) += '=') += row.value;
  }
  return text;
}

}  // namespace

std::string FormatFigureLink(const FigureRecord& figure) {
  return std::string(Key(kKeys[0])) + '=' + FormatDraws(figure.draws) + '&' +
         std::string(Key(kKeys[1])) + '=' + FormatDirections(figure.start);
}

std::optional<FigureLink> ParseFigureLink(std::string_view fragment, std::string& error) {
  // Each part "key=value" is the option "--key=value".
  std::vector<std::string> options;
  for (std::size_t start = 0; start <= fragment.size();) {
    const std::size_t amp = fragment.find('&', start);
    const std::string_view part = fragment.substr(start, amp - start);
    start = amp == std::string_view::npos ? fragment.size() + 1 : amp + 1;
    const std::size_t eq = part.find('=');
    const std::string_view key = part.substr(0, eq);
    if (eq == std::string_view::npos || (key != Key(kKeys[0]) && key != Key(kKeys[1]))) {
      error = Quoted(part) + " is not " + Expected();
      return std::nullopt;
    }
    options.push_back("--" + std::string(part));
  }
  const auto given = ParseOptions(kKeys, options, {.naming = Naming::ByKey}, error);
  if (!given) return std::nullopt;
  const auto draws = given->Get<FigureDraws>(kDrawsOption);
  if (!draws) {
    error = "no " + std::string(Key(kKeys[0])) + '=' + std::string(kKeys[0].value);
    return std::nullopt;
  }
  return FigureLink{*draws, given->Get<Directions>(kDirectionsOption).value_or(Directions{})};
}

}  // namespace stringart
