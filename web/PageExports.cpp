// What the page's worker calls in the WebAssembly module: plain C functions on one WebPage.
// Texts go in as a pointer and a length of UTF-8, read whole (a NUL inside is part of what gets
// checked); texts come out as a C string valid until the next call.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "figure/FigureHistory.h"
#include "figure/Variation.h"
#include "options/FigureCommand.h"
#include "web/FigureLink.h"
#include "web/WebPage.h"

namespace {

stringart::WebPage& Page() {
  static stringart::WebPage page;
  return page;
}

// Holds the text last handed to the script, which reads it before the next call.
const char* Hand(std::string text) {
  static std::string held;
  held = std::move(text);
  return held.c_str();
}

// An error as the page shows it: a NUL that came through the quoting all the same becomes
// U+FFFD, so that the text reaches the page whole.
const char* HandError(const std::string& error) {
  std::string shown;
  for (const char c : error)
    shown += c == '\0' ? std::string_view("\xEF\xBF\xBD") : std::string_view(&c, 1);
  return Hand(shown);
}

// The draws and directions last read by ReadFigure.
stringart::FigureRecord& Read() {
  static stringart::FigureRecord read;
  return read;
}

}  // namespace

extern "C" {

// Reads draws and directions as stringart-render's --draws and --directions take them. Returns ""
// when both read (ReadForm then gives them in the renderer's own spelling), else what is wrong.
EMSCRIPTEN_KEEPALIVE const char* ReadFigure(const char* draws, std::size_t drawsLength,
                                            const char* directions, std::size_t directionsLength) {
  std::string error;
  const auto d = stringart::ParseDraws(std::string_view(draws, drawsLength), error);
  if (!d) return HandError(error);
  const auto s = stringart::ParseDirections(std::string_view(directions, directionsLength), error);
  if (!s) return HandError(error);
  Read() = {*d, *s, {}};
  return Hand({});
}

// 0: the draws ReadFigure last read, 1: their directions.
EMSCRIPTEN_KEEPALIVE const char* ReadForm(int what) {
  return Hand(what == 0 ? stringart::FormatDraws(Read().draws)
                        : stringart::FormatDirections(Read().start));
}

// Traces the figure ReadFigure last read.
EMSCRIPTEN_KEEPALIVE void TraceRead() {
  Page().Trace(Read().draws, Read().start);
}

// "new": traces twelve fresh draws starting with `directions` ("R,G,B"). Returns "" when
// traced, else why the directions do not read.
EMSCRIPTEN_KEEPALIVE const char* TraceFresh(const char* directions, std::size_t length) {
  std::string error;
  const auto start = stringart::ParseDirections(std::string_view(directions, length), error);
  if (!start) return HandError(error);
  Page().Trace(Page().FreshDraws(), *start);
  return Hand({});
}

// Traces the figure of the fragment `link` (without '#'). Returns "" when traced, else why the
// link names no figure; then the canvas is as it was.
EMSCRIPTEN_KEEPALIVE const char* ShowLink(const char* link, std::size_t length) {
  std::string error;
  if (Page().ShowLink(std::string_view(link, length), error)) return Hand({});
  return HandError(error);
}

// The figure on the canvas: 0 its draws, 1 its start directions, 2 the directions it leaves,
// 3 its link (the fragment without '#'), 4 its name (the 12 hex digits of "figure-<name>.png"),
// 5 the stringart-render command that makes it again.
EMSCRIPTEN_KEEPALIVE const char* Shown(int what) {
  const stringart::FigureRecord& figure = Page().figure();
  switch (what) {
    case 0: return Hand(stringart::FormatDraws(figure.draws));
    case 1: return Hand(stringart::FormatDirections(figure.start));
    case 2: return Hand(stringart::FormatDirections(figure.end));
    case 3: return Hand(stringart::FormatFigureLink(figure));
    case 4: return Hand(stringart::FigureName(figure));
    default: return Hand(stringart::RemakeCommand(figure));
  }
}

// The canvas as 500 x 500 RGBA bytes, valid until the next call.
EMSCRIPTEN_KEEPALIVE const unsigned char* CanvasRgba() {
  return Page().Rgba().data();
}

// The figure on the canvas to be watched drawn: a black canvas of the watch's own; returns the
// number of its segments.
EMSCRIPTEN_KEEPALIVE int Watch() {
  return Page().Watch();
}

// The watched figure drawn up to `count` segments, as CanvasRgba lays it out.
EMSCRIPTEN_KEEPALIVE const unsigned char* WatchTo(int count) {
  return Page().WatchTo(count).data();
}

// The canvas area-averaged to side x side RGBA bytes (side from 1 to 500), valid until the next
// call.
EMSCRIPTEN_KEEPALIVE const unsigned char* TileRgba(int side) {
  return Page().Tile(side).data();
}

// The figure on the canvas anti-aliased at width x height, as stringart-render --size WxH draws
// it, as CanvasRgba lays pixels out, valid until the next call; null for a size it cannot draw.
EMSCRIPTEN_KEEPALIVE const unsigned char* DrawSmooth(int width, int height) {
  return Page().Smooth(width, height);
}

// Writes the figure on the canvas as stringart-render writes it to an .svg file; returns it as a
// C string (an SVG holds no NUL), valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* SvgText() {
  return Page().Svg().c_str();
}

// Starts the variations' random sequence; the worker seeds it once from the browser's crypto.
EMSCRIPTEN_KEEPALIVE void SeedVariations(std::uint32_t high, std::uint32_t low) {
  Page().SeedVariations(std::uint64_t{high} << 32 | low);
}

// The strengths the window's Variations slider spans and starts at: 0 subtle, 1 wild, 2 the
// strength it starts with.
EMSCRIPTEN_KEEPALIVE double VariationStrength(int which) {
  return which == 0 ? stringart::kSubtleStrength
                    : which == 1 ? stringart::kWildStrength : stringart::kDefaultStrength;
}

// The draws of a figure near the one ReadFigure last read: each draw moved by at most
// `strength` (0 to 1), as the window's Variations moves them.
EMSCRIPTEN_KEEPALIVE const char* VaryRead(double strength) {
  return Hand(stringart::FormatDraws(Page().Vary(Read().draws, strength)));
}

}  // extern "C"
