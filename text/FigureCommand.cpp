#include "text/FigureCommand.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

#include "runtime/FloatText.h"
#include "text/Quote.h"

namespace stringart {
namespace {

std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) return parts;
    start = comma + 1;
  }
}

// The words of `text` between blanks (spaces, tabs, line breaks).
std::vector<std::string_view> SplitBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  std::vector<std::string_view> words;
  for (std::size_t start = text.find_first_not_of(kBlanks); start != std::string_view::npos;) {
    const std::size_t end = std::min(text.find_first_of(kBlanks, start), text.size());
    words.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(kBlanks, end);
  }
  return words;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

}  // namespace

std::string FormatDraws(const FigureDraws& draws) {
  std::string out;
  for (std::size_t i = 0; i < draws.size(); ++i) {
    if (i > 0) out += ',';
    out += FloatToText(draws[i]);
  }
  return out;
}

std::string FormatDirections(Directions d) {
  return std::to_string(d.red) + ',' + std::to_string(d.green) + ',' + std::to_string(d.blue);
}

std::string DescribeFigure(const FigureRecord& figure) {
  return "draws " + FormatDraws(figure.draws) + " directions " + FormatDirections(figure.start) +
         " -> " + FormatDirections(figure.end);
}

std::string RemakeCommand(const FigureRecord& figure) {
  std::string command(kRenderProgram);
  ((command += ' ') += kDrawsOption) += ' ' + FormatDraws(figure.draws);
  ((command += ' ') += kDirectionsOption) += ' ' + FormatDirections(figure.start);
  return command;
}

std::string FormatSize(FrameSize size) {
  if (size.width == size.height) return std::to_string(size.width);
  std::string text = std::to_string(size.width);
  text += 'x';
  text += std::to_string(size.height);
  return text;
}

std::optional<FrameSize> ParseSize(std::string_view text, std::string& error) {
  const std::size_t x = text.find_first_of("xX");
  static_assert(kMinSide == 500 && kMaxSide == 16384, "the message below names them");
  const std::string_view sides[2] = {text.substr(0, x),
                                     x == std::string_view::npos ? text : text.substr(x + 1)};
  int value[2] = {};
  for (int i = 0; i < 2; ++i) {
    const std::string_view side = sides[i];
    const auto [end, ec] = std::from_chars(side.data(), side.data() + side.size(), value[i]);
    if (side.empty() || ec != std::errc() || end != side.data() + side.size() ||
        value[i] < kMinSide || value[i] > kMaxSide) {
      error = Quoted(text) + " is not N or WxH with each side a whole number from 500 to 16384";
      return std::nullopt;
    }
  }
  return FrameSize{value[0], value[1]};
}

std::optional<FigureDraws> ParseDraws(std::string_view text, std::string& error) {
  const auto parts = SplitCommas(text);
  if (parts.size() != kFigureDraws) {
    error = "expected 12 draws separated by commas, got " + std::to_string(parts.size());
    return std::nullopt;
  }
  FigureDraws draws{};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string_view part = parts[i];
    const std::string which = "draw " + std::to_string(i + 1) + " " + Quoted(part);
    float u = 0;
    // from_chars rounds the decimal once, straight to the nearest float.
    const auto [end, ec] = TextToFloat(part.data(), part.data() + part.size(), u);
    if (part.empty() || end != part.data() + part.size() || std::isnan(u)) {
      error = which + " is not a number";
      return std::nullopt;
    }
    if (ec == std::errc::result_out_of_range || !(u >= 0.0f && u < 1.0f)) {
      error = which + " is not in [0, 1) as a float";
      return std::nullopt;
    }
    draws[i] = u;
  }
  return draws;
}

std::optional<Directions> ParseDirections(std::string_view text, std::string& error) {
  const auto parts = SplitCommas(text);
  if (parts.size() != 3) {
    error = "expected three directions R,G,B, got " + std::to_string(parts.size());
    return std::nullopt;
  }
  std::int16_t value[3];
  for (std::size_t i = 0; i < 3; ++i) {
    if (parts[i] == "1" || parts[i] == "+1") {
      value[i] = 1;
    } else if (parts[i] == "-1") {
      value[i] = -1;
    } else {
      error = "direction " + Quoted(parts[i]) + " is neither 1 nor -1";
      return std::nullopt;
    }
  }
  return Directions{value[0], value[1], value[2]};
}

std::optional<FigureRecord> ParseRemakeCommand(std::string_view text, std::string& error) {
  // Nothing a command is written with lies outside these; anything else (a NUL, a control
  // character, markup, another alphabet) means the text was damaged or made by someone else.
  constexpr std::string_view kCommandBytes =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-+.,= \t\r\n";
  const std::size_t bad = text.find_first_not_of(kCommandBytes);
  if (bad != std::string_view::npos) {
    error = "it holds " + EscapeText(text.substr(bad, 1)) + " at byte " + std::to_string(bad + 1) +
            ", which no command holds";
    return std::nullopt;
  }
  const auto words = SplitBlanks(text);
  if (words.empty() || words[0] != kRenderProgram) {
    error = "it is not a " + std::string(kRenderProgram) + " command";
    return std::nullopt;
  }
  // The figure's options, then those of the file it was written to: checked, but a file's size
  // and timing make no difference to the figure traced from it. Messages name what an option
  // sets, never the option: people read them.
  constexpr std::string_view kOptions[] = {kDrawsOption,   kDirectionsOption, kSizeOption,
                                           kSecondsOption, kFpsOption,        kMorphToOption};
  constexpr std::string_view kWhat[] = {"the draws are",     "the directions are",
                                        "the size is",       "the seconds are",
                                        "the frame rate is", "the draws morphed to are"};
  bool seen[std::size(kOptions)] = {};
  std::optional<FigureDraws> draws;
  std::optional<Directions> directions;
  for (std::size_t i = 1; i < words.size(); ++i) {
    std::string_view name = words[i], value;
    const auto eq = name.find('=');
    if (eq != std::string_view::npos) name = name.substr(0, eq);
    const auto* option = std::find(std::begin(kOptions), std::end(kOptions), name);
    if (option == std::end(kOptions)) {
      error = "unexpected " + Quoted(words[i]);
      return std::nullopt;
    }
    const std::size_t k = static_cast<std::size_t>(option - std::begin(kOptions));
    if (seen[k]) {
      error = std::string(kWhat[k]) + " given twice";
      return std::nullopt;
    }
    seen[k] = true;
    if (eq != std::string_view::npos) {
      value = words[i].substr(eq + 1);
    } else if (i + 1 < words.size()) {
      value = words[++i];
    } else {
      error = std::string(kWhat[k]) + " missing";
      return std::nullopt;
    }
    std::string why;
    bool good = true;
    if (name == kDrawsOption) {
      good = (draws = ParseDraws(value, why)).has_value();
    } else if (name == kDirectionsOption) {
      good = (directions = ParseDirections(value, why)).has_value();
    } else if (name == kSizeOption) {
      good = ParseSize(value, why).has_value();
    } else if (name == kMorphToOption) {
      // A morph's file opens as the figure it starts from.
      good = ParseDraws(value, why).has_value();
    } else {
      const bool seconds = name == kSecondsOption;
      const int least = seconds ? kMinSeconds : kMinFps, most = seconds ? kMaxSeconds : kMaxFps;
      int number = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
      good = !value.empty() && ec == std::errc() && end == value.data() + value.size() &&
             number >= least && number <= most;
      if (!good) {
        why = Quoted(value) + " is not a whole number from " + std::to_string(least) + " to " +
              std::to_string(most);
      }
    }
    if (!good) {
      // The draws' and directions' reasons name them already.
      const std::string_view what = kWhat[k];
      error = k < 2 || name == kMorphToOption
                  ? why
                  : std::string(what.substr(0, what.rfind(' '))) + ": " + why;
      return std::nullopt;
    }
  }
  if (!draws) {
    error = "it has no draws";
    return std::nullopt;
  }
  return FigureRecord{*draws, directions.value_or(Directions{}), {}};
}

std::string ShellWord(std::string_view word) {
  constexpr std::string_view kPlain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,._+-/=:@%";
  if (!word.empty() && word.find_first_not_of(kPlain) == std::string_view::npos) {
    return std::string(word);
  }
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string PastableCommand(const FigureRecord& figure, std::string_view output) {
  return RemakeCommand(figure) + " -o " + ShellWord(output);
}

std::optional<FigureFormat> FormatForPath(std::string_view path) {
  if (EndsWithNoCase(path, ".png")) return FigureFormat::Png;
  if (EndsWithNoCase(path, ".svg")) return FigureFormat::Svg;
  if (EndsWithNoCase(path, ".mp4")) return FigureFormat::Mp4;
  if (EndsWithNoCase(path, ".webm")) return FigureFormat::Webm;
  return std::nullopt;
}

}  // namespace stringart
