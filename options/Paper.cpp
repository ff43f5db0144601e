#include "options/Paper.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "options/OptionGrammar.h"
#include "runtime/FloatText.h"
#include "text/Quote.h"

namespace stringart {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

PaperSize AsItLies(const PaperSettings& settings) {
  const PaperSize paper = settings.paper;
  if (!settings.landscape || paper.width >= paper.height) return paper;
  return {paper.height, paper.width};
}

std::string SheetText(const PaperSettings& settings) {
  const PaperSize sheet = AsItLies(settings);
  return FormatPaper(settings.paper) + " (" + FormatDecimal(sheet.width) + " x " +
         FormatDecimal(sheet.height) + " mm)";
}

}  // namespace

PaperLayout LayOut(const PaperSettings& settings) {
  const PaperSize sheet = AsItLies(settings);
  PaperLayout layout;
  layout.width = sheet.width;
  layout.height = sheet.height;
  layout.side = std::min(layout.width, layout.height) - 2.0 * settings.margin;
  layout.left = (layout.width - layout.side) / 2;
  layout.top = (layout.height - layout.side) / 2;
  return layout;
}

std::string PaperProblem(const PaperSettings& settings) {
  if (LayOut(settings).side >= kMinFigureSide) return {};
  const PaperSize sheet = AsItLies(settings);
  const float most = (std::min(sheet.width, sheet.height) - kMinFigureSide) / 2;
  return "a margin of " + FormatDecimal(settings.margin) + " mm leaves no room on " +
         SheetText(settings) + ": at most " + FormatDecimal(std::floor(most * 10) / 10) + " mm";
}

FrameSize PagePixels(const PaperSettings& settings) {
  const PaperLayout layout = LayOut(settings);
  const double perMm = settings.dpi / 25.4;
  return {static_cast<int>(std::lround(layout.width * perMm)),
          static_cast<int>(std::lround(layout.height * perMm))};
}

std::optional<PaperSize> ParsePaper(std::string_view text, std::string& error) {
  for (const NamedPaper& named : kPapers) {
    if (SameNoCase(text, named.name)) return named.size;
  }
  const std::size_t x = text.find_first_of("xX");
  const bool mm = text.size() > 2 && SameNoCase(text.substr(text.size() - 2), "mm");
  if (x != std::string_view::npos && mm) {
    const auto width = ParseDecimal(text.substr(0, x));
    const auto height = ParseDecimal(text.substr(x + 1, text.size() - 2 - (x + 1)));
    auto fits = [](std::optional<float> side) {
      return side && *side >= kMinPaperSide && *side <= kMaxPaperSide;
    };
    if (fits(width) && fits(height)) return PaperSize{*width, *height};
  }
  std::string names;
  for (const NamedPaper& named : kPapers) (names += named.name) += ", ";
  error = Quoted(text) + " is no paper: " + names + "or WxHmm with each side " +
          FormatDecimal(kMinPaperSide) + " to " + FormatDecimal(kMaxPaperSide) + " mm";
  return std::nullopt;
}

std::string FormatPaper(PaperSize paper) {
  for (const NamedPaper& named : kPapers) {
    if (named.size == paper) return std::string(named.name);
  }
  return FormatDecimal(paper.width) + "x" + FormatDecimal(paper.height) + "mm";
}

std::optional<PenChoice> ParsePens(std::string_view text, std::string& error) {
  const std::string range = std::to_string(kMinPens) + " to " + std::to_string(kMaxPens);
  if (!text.starts_with('#')) {
    if (const auto count = ReadWhole(text, kMinPens, kMaxPens)) {
      return PenChoice{static_cast<int>(*count), {}};
    }
    error =
        Quoted(text) + " is neither a number of pens from " + range + " nor colours #rrggbb,...";
    return std::nullopt;
  }
  PenChoice pens{0, {}};
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    const std::string_view part = text.substr(start, comma - start);
    const auto colour = ParseColour(part);
    if (!colour) {
      error = "pen colour " + Quoted(part) + " is not #rrggbb";
      return std::nullopt;
    }
    pens.colours.push_back(*colour);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (pens.colours.size() > static_cast<std::size_t>(kMaxPens)) {
    error = std::to_string(pens.colours.size()) + " pen colours; a plotter takes " + range;
    return std::nullopt;
  }
  pens.count = static_cast<int>(pens.colours.size());
  return pens;
}

std::string FormatPens(const PenChoice& pens) {
  if (!pens.own()) return std::to_string(pens.count);
  std::string text;
  for (const Colour colour : pens.colours) {
    if (!text.empty()) text += ',';
    text += FormatColour(colour);
  }
  return text;
}

std::optional<float> ParsePlotTime(std::string_view text, std::string& error) {
  std::optional<float> minutes;
  const std::size_t h = text.find_first_of("hH");
  const bool endsInM = !text.empty() && (text.back() == 'm' || text.back() == 'M');
  if (h != std::string_view::npos && h + 1 == text.size()) {
    if (const auto hours = ParseDecimal(text.substr(0, h))) minutes = *hours * 60;
  } else if (h != std::string_view::npos && endsInM) {
    const auto hours = ReadWhole(text.substr(0, h), 0, 1000);
    const auto rest = ParseDecimal(text.substr(h + 1, text.size() - h - 2));
    if (hours && rest) minutes = static_cast<float>(*hours) * 60 + *rest;
  } else if (endsInM) {
    minutes = ParseDecimal(text.substr(0, text.size() - 1));
  }
  if (minutes && *minutes >= kMinPlotMinutes && *minutes <= kMaxPlotMinutes) return minutes;
  error = Quoted(text) + " is not a time such as 90m or 2h from " +
          FormatPlotTime(kMinPlotMinutes) + " to " + FormatPlotTime(kMaxPlotMinutes);
  return std::nullopt;
}

std::string FormatPlotTime(float minutes) {
  const float hours = std::floor(minutes / 60);
  const float rest = minutes - hours * 60;
  if (hours == 0) return FormatDecimal(rest) + "m";
  const std::string whole = std::to_string(static_cast<long>(hours)) + "h";
  return rest == 0 ? whole : whole + FormatDecimal(rest) + "m";
}

std::optional<PenLift> ParsePenLift(std::string_view text, std::string& error) {
  const std::size_t colon = text.find(',');
  const std::string_view kind = text.substr(0, colon);
  PenLift lift;
  lift.z = SameNoCase(kind, "z");
  if (lift.z) lift.value = kDefaultLift;
  const float least = lift.z ? kMinLift : kMinServo, most = lift.z ? kMaxLift : kMaxServo;
  std::optional<float> value = lift.value;
  if (colon != std::string_view::npos) value = ParseDecimal(text.substr(colon + 1));
  if ((lift.z || SameNoCase(kind, "servo")) && value && *value >= least && *value <= most) {
    lift.value = *value;
    return lift;
  }
  error = Quoted(text) + " is neither servo,S with S from " + FormatDecimal(kMinServo) + " to " +
          FormatDecimal(kMaxServo) + " nor z,MM from " + FormatDecimal(kMinLift) + " to " +
          FormatDecimal(kMaxLift) + " mm";
  return std::nullopt;
}

std::string FormatPenLift(const PenLift& lift) {
  return (lift.z ? "z," : "servo,") + FormatDecimal(lift.value);
}

std::optional<Colour> ParsePaperColour(std::string_view text, std::string& error) {
  if (SameNoCase(text, "white")) return PackColour(255, 255, 255);
  if (SameNoCase(text, "black")) return kBlack;
  if (const auto colour = ParseColour(text)) return colour;
  error = Quoted(text) + " is not white, black or #rrggbb";
  return std::nullopt;
}

std::optional<Colour> ParseColour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  const auto rgb = ReadWhole(text.substr(1), 0, 0xFFFFFF, 16);
  if (!rgb) return std::nullopt;
  return PackColour(static_cast<std::int16_t>(*rgb >> 16),
                    static_cast<std::int16_t>(*rgb >> 8 & 0xFF),
                    static_cast<std::int16_t>(*rgb & 0xFF));
}

std::string FormatColour(Colour colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red(), colour.green(), colour.blue());
  return text;
}

std::optional<float> ParseDecimal(std::string_view text) {
  // Digits and one point only: no sign, exponent, "inf" or "nan" that a float reader would take.
  const std::size_t point = text.find('.');
  const bool digits =
      !text.empty() && text != "." &&
      text.find_first_not_of("0123456789.") == std::string_view::npos &&
      (point == std::string_view::npos || text.find('.', point + 1) == std::string_view::npos);
  float value = 0;
  if (!digits) return std::nullopt;
  const auto [end, ec] = TextToFloat(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string FormatDecimal(float value) {
  return FloatToText(value);
}

}  // namespace stringart
