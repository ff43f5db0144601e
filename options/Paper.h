#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options/ExportLimits.h"
#include "runtime/Colour.h"

namespace stringart {

// A figure put on paper: the sheet, the border around the figure, a plotter's pens and a
// printer's dots, as the renderer's options and the window's "Save for paper" ask for them.

// A sheet, millimetres, as it lies: a named one upright, one typed as WxHmm as typed.
struct PaperSize {
  float width = 0, height = 0;
  friend bool operator==(const PaperSize&, const PaperSize&) = default;
};

struct NamedPaper {
  std::string_view name;
  PaperSize size;
};
inline constexpr NamedPaper kPapers[] = {
    {"A4", {210, 297}},          {"A3", {297, 420}},
    {"A2", {420, 594}},          {"A1", {594, 841}},
    {"A0", {841, 1189}},         {"Letter", {215.9f, 279.4f}},
    {"Legal", {215.9f, 355.6f}}, {"A5", {148, 210}},
    {"A6", {105, 148}},          {"Tabloid", {279.4f, 431.8f}},
    {"Postcard", {100, 148}},
};

// The pens a plotter file is drawn with: `count` colours that keep the figure's best, or, when
// `colours` is not empty, the colours of one's own pens.
struct PenChoice {
  int count = kDefaultPens;
  std::vector<Colour> colours;
  bool own() const { return !colours.empty(); }
  friend bool operator==(const PenChoice&, const PenChoice&) = default;
};

// How a G-code plotter lowers and lifts its pen: a servo (M3 S`value` down, M5 up) or the Z
// axis (down at 0, up at `value` millimetres).
struct PenLift {
  bool z = false;
  float value = kDefaultServo;
  friend bool operator==(const PenLift&, const PenLift&) = default;
};

struct PaperSettings {
  PaperSize paper = kPapers[0].size;
  bool landscape = false;  // the longer side across
  float margin = kDefaultMargin;
  PenChoice pens;
  float penWidth = kDefaultPenWidth, speed = kDefaultSpeed;
  float plotMinutes = kDefaultPlotMinutes;  // the time a plotter file's plot may take
  PenLift lift;                             // G-code's
  bool filePerPen = false;                  // G-code in a file for each pen
  int dpi = kDefaultDpi;
  bool onWhite = false;  // a print without the black ground
  // The sheet's colour, when given: what a print's ground shows, and what a plotter's pens are
  // chosen to stand out from (white when not given).
  std::optional<Colour> paperColour;
  friend bool operator==(const PaperSettings&, const PaperSettings&) = default;
};

// Where the figure lies on the page, millimetres from its top-left corner: the square left
// inside the margin on the shorter side, centred. The 500 x 500 canvas fills the square as it
// fills a large picture: each canvas pixel becomes scale() millimetres.
struct PaperLayout {
  double width = 0, height = 0;        // the page as it lies
  double left = 0, top = 0, side = 0;  // the figure's square
  double scale() const { return side / 500.0; }
  // Canvas coordinates to the page's: canvas point (-0.5, -0.5) is the square's corner.
  double X(double canvasX) const { return left + (canvasX + 0.5) * scale(); }
  double Y(double canvasY) const { return top + (canvasY + 0.5) * scale(); }
};

PaperLayout LayOut(const PaperSettings& settings);
// Why nothing can be drawn on the sheet with that margin, in one line; empty when it can.
std::string PaperProblem(const PaperSettings& settings);
// A printed PNG's pixels: the page at the settings' dots per inch.
FrameSize PagePixels(const PaperSettings& settings);

// "A4", ... or "WxHmm"; any letter case. Nullopt with `error` set to what is wrong.
std::optional<PaperSize> ParsePaper(std::string_view text, std::string& error);
// A named sheet by its name; else "WxHmm" as typed.
std::string FormatPaper(PaperSize paper);
// "N" (kMinPens to kMaxPens) or "#rrggbb,..." (as many).
std::optional<PenChoice> ParsePens(std::string_view text, std::string& error);
std::string FormatPens(const PenChoice& pens);
// A plot's time: "90m", "2h", "1.5h" or "1h30m", from kMinPlotMinutes to kMaxPlotMinutes, as
// minutes. Nullopt with `error` set to what is wrong.
std::optional<float> ParsePlotTime(std::string_view text, std::string& error);
// "2h", "1h30m", "45m", "1.5m".
std::string FormatPlotTime(float minutes);
// "servo", "servo,S", "z" or "z,MM". Nullopt with `error` set to what is wrong.
std::optional<PenLift> ParsePenLift(std::string_view text, std::string& error);
// "servo,1000", "z,3".
std::string FormatPenLift(const PenLift& lift);
// A paper's colour: "white", "black" or "#rrggbb", any letter case.
std::optional<Colour> ParsePaperColour(std::string_view text, std::string& error);
// "#rrggbb", any letter case.
std::optional<Colour> ParseColour(std::string_view text);
std::string FormatColour(Colour colour);  // "#rrggbb"
// Millimetres and the like, read as floats: digits with at most one decimal point, no sign.
std::optional<float> ParseDecimal(std::string_view text);
std::string FormatDecimal(float value);

}  // namespace stringart
