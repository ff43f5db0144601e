#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/Picture1.h"
#include "figure/FigureRecord.h"
#include "figure/FigureSequence.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"

namespace stringart {

// The window's figure logic for the web page: Picture1, the clock-seeded random source and the
// colour directions carried from one figure to the next, plus figures named by a link.
class WebPage {
 public:
  WebPage() = default;
  WebPage(const WebPage&) = delete;
  WebPage& operator=(const WebPage&) = delete;

  // "new": clears the canvas and traces a figure from twelve fresh draws, starting with the
  // directions the last figure left (1,1,1 before the first).
  void NewFigure();
  // Traces the figure `link` names on a black canvas; its end directions carry over to "new".
  // Returns false with `error` set, the canvas and directions untouched, when the link is bad.
  bool ShowLink(std::string_view link, std::string& error);

  // The figure on the canvas.
  const FigureRecord& figure() const { return figure_; }
  // The canvas as ImageData wants it: 500 x 500 pixels of R, G, B, A bytes, rows top to bottom.
  const std::vector<std::uint8_t>& Rgba();

 private:
  Picture1 picture_;
  // Segment by segment: the page has one thread, and so links no second one.
  FigureSequence figures_{static_cast<Canvas&>(picture_)};
  RandomSource source_;
  SystemClock clock_;
  ClockedRandom random_{source_, clock_};
  FigureRecord figure_;
  std::vector<std::uint8_t> rgba_;
};

}  // namespace stringart
