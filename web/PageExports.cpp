// What the page's script calls in the WebAssembly module: plain C functions on one WebPage.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "text/FigureCommand.h"
#include "web/FigureLink.h"
#include "web/WebPage.h"
#include "figure/FigureHistory.h"

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

}  // namespace

extern "C" {

// "new": a fresh figure on the canvas.
EMSCRIPTEN_KEEPALIVE void NewFigure() {
  Page().NewFigure();
}

// Shows the figure of the fragment `link`: `length` bytes of UTF-8 without the '#', read whole
// (a NUL inside is part of what gets checked). Returns "" when shown, else why the link is bad;
// then nothing has changed.
EMSCRIPTEN_KEEPALIVE const char* ShowLink(const char* link, std::size_t length) {
  std::string error;
  if (Page().ShowLink(std::string_view(link, length), error)) return Hand({});
  // The error quotes the link with its control characters escaped; a NUL that came through all
  // the same is shown as U+FFFD, so that the text reaches the page whole.
  std::string shown;
  for (const char c : error)
    shown += c == '\0' ? std::string_view("\xEF\xBF\xBD") : std::string_view(&c, 1);
  return Hand(shown);
}

// The fragment that names the figure on the canvas, without '#'.
EMSCRIPTEN_KEEPALIVE const char* ShownLink() {
  return Hand(stringart::FormatFigureLink(Page().figure()));
}

// The stringart-render command that makes the figure on the canvas again.
EMSCRIPTEN_KEEPALIVE const char* ShownRemakeCommand() {
  return Hand(stringart::RemakeCommand(Page().figure()));
}

// The figure's name, the 12 hex digits the window proposes in "figure-<name>.png".
EMSCRIPTEN_KEEPALIVE const char* ShownName() {
  return Hand(stringart::FigureName(Page().figure()));
}

// The canvas as 500 x 500 RGBA bytes, valid until the next call.
EMSCRIPTEN_KEEPALIVE const unsigned char* CanvasRgba() {
  return Page().Rgba().data();
}

}  // extern "C"
