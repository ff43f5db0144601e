#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/SegmentRecorder.h"
#include "figure/FigureRecord.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"
#include "smooth/LargePicture.h"

namespace stringart {

// The window's figure logic for the web page's worker. The page holds the history and asks for
// one figure at a time; this traces it on Picture1 and hands back its raster, a tile of it, its
// SVG and its text forms, and draws figures near it.
class WebPage {
 public:
  WebPage() = default;
  WebPage(const WebPage&) = delete;
  WebPage& operator=(const WebPage&) = delete;

  // Twelve fresh draws, as "new" takes them in the window (the clock reseeds the source).
  FigureDraws FreshDraws();
  // Traces the figure of `draws` starting with `start` on a black canvas.
  void Trace(const FigureDraws& draws, Directions start);
  // Traces the figure `link` names. Returns false with `error` set, the canvas untouched, when
  // the link names none.
  bool ShowLink(std::string_view link, std::string& error);

  // The figure on the canvas, its end directions included.
  const FigureRecord& figure() const { return figure_; }
  // The canvas as ImageData wants it: 500 x 500 pixels of R, G, B, A bytes, rows top to bottom.
  const std::vector<std::uint8_t>& Rgba();
  // The canvas area-averaged to `side` x `side` (1 to 500) pixels, as Rgba lays them out.
  const std::vector<std::uint8_t>& Tile(int side);
  // The figure anti-aliased at `width` x `height` pixels, placed and drawn as stringart-render
  // --size WxH draws it, as Rgba lays pixels out, valid until the next call; nullptr for a side
  // under 1 or over kLargestSide, or more than kMostPixels.
  const std::uint8_t* Smooth(int width, int height);
  static constexpr int kLargestSide = 16384;
  static constexpr long kMostPixels = 40L << 20;  // an 8K screen's and some: 160 MB of pixels
  // The figure as stringart-render writes it to an .svg file, byte for byte, valid until the
  // next call.
  const std::string& Svg();
  // `draws` each moved by at most `strength`, from the variations' own random sequence.
  FigureDraws Vary(const FigureDraws& draws, double strength);
  void SeedVariations(std::uint64_t seed) { variationSeed_ = seed; }

  // The figure on the canvas watched as it is drawn, as the window's tracing clip shows it:
  // Watch records its segments and blanks a canvas of the watch's own, and returns how many
  // segments there are; WatchTo draws them on it up to `count` (on from where it last stopped)
  // and returns its pixels as Rgba lays them out. The last segment drawn gives the canvas's
  // figure, pixel for pixel; the recording goes then.
  int Watch();
  const std::vector<std::uint8_t>& WatchTo(int count);

 private:
  Picture1 picture_;
  RandomSource source_;
  SystemClock clock_;
  ClockedRandom random_{source_, clock_};
  std::uint64_t variationSeed_ = 0;
  FigureRecord figure_;
  std::vector<std::uint8_t> rgba_;
  std::optional<LargePicture> smooth_;
  std::string svg_;
  SegmentRecorder watched_;
  std::size_t watchedTo_ = 0;  // segments of watched_ drawn on watching_
  Picture1 watching_;
};

}  // namespace stringart
