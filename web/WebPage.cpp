#include "web/WebPage.h"

#include <algorithm>

#include "canvas/AreaAverage.h"
#include "canvas/SegmentRecorder.h"
#include "figure/FigureSequence.h"
#include "figure/Tracer.h"
#include "figure/Variation.h"
#include "formats/Svg.h"
#include "options/FigureCommand.h"
#include "web/FigureLink.h"

namespace stringart {
namespace {

// 0xFFRRGGBB words to R, G, B, A bytes.
void ToRgba(const std::uint32_t* pixels, std::size_t count, std::vector<std::uint8_t>& rgba) {
  rgba.resize(4 * count);
  std::uint8_t* out = rgba.data();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t pixel = pixels[i];
    *out++ = static_cast<std::uint8_t>(pixel >> 16);
    *out++ = static_cast<std::uint8_t>(pixel >> 8);
    *out++ = static_cast<std::uint8_t>(pixel);
    *out++ = static_cast<std::uint8_t>(pixel >> 24);
  }
}

}  // namespace

FigureDraws WebPage::FreshDraws() {
  return TakeFigureDraws(random_);
}

void WebPage::Trace(const FigureDraws& draws, Directions start) {
  picture_.SetBackground(kBlack);
  // Segment by segment: the worker is one thread, and so links no second one.
  FigureSequence figures(static_cast<Canvas&>(picture_));
  figure_ = figures.Next(draws, start);
}

bool WebPage::ShowLink(std::string_view link, std::string& error) {
  const auto figure = ParseFigureLink(link, error);
  if (!figure) return false;
  Trace(figure->draws, figure->directions);
  return true;
}

const std::vector<std::uint8_t>& WebPage::Rgba() {
  static_assert(Picture1::kStride == Picture1::kWidth, "rows are read as one run");
  ToRgba(picture_.pixels(), std::size_t{Picture1::kWidth} * Picture1::kHeight, rgba_);
  return rgba_;
}

const std::vector<std::uint8_t>& WebPage::Tile(int side) {
  std::vector<std::uint32_t> tile(static_cast<std::size_t>(side) * side);
  AreaAverage(picture_.pixels(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
              tile.data(), side, side, side);
  ToRgba(tile.data(), tile.size(), rgba_);
  return rgba_;
}

const std::uint8_t* WebPage::Smooth(int width, int height) {
  if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide ||
      long{width} * height > kMostPixels) {
    return nullptr;
  }
  SegmentRecorder drawing;
  TraceAgain(figure_, drawing);
  smooth_.emplace(width, height);
  smooth_->DrawWhole(drawing.segments());
  // 0xFFRRGGBB words, stored least significant byte first, become R, G, B, A bytes in place.
  std::uint32_t* pixels = smooth_->pixels();
  for (long i = 0, n = long{width} * height; i < n; ++i) {
    const std::uint32_t p = pixels[i];
    pixels[i] = (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
  }
  return reinterpret_cast<const std::uint8_t*>(pixels);
}

const std::string& WebPage::Svg() {
  SegmentRecorder drawing;
  TraceAgain(figure_, drawing);
  svg_.clear();  // an SVG is 8 MB: the last one's room goes first
  svg_.shrink_to_fit();
  svg_ = SvgDocument(drawing, Picture1::kWidth, Picture1::kHeight, RemakeCommand(figure_));
  return svg_;
}

int WebPage::Watch() {
  TraceAgain(figure_, watched_);
  watchedTo_ = 0;
  watching_.SetBackground(kBlack);
  return static_cast<int>(watched_.segments().size());
}

const std::vector<std::uint8_t>& WebPage::WatchTo(int count) {
  const std::vector<Segment>& segments = watched_.segments();
  const std::size_t to = std::min(segments.size(), static_cast<std::size_t>(std::max(count, 0)));
  for (; watchedTo_ < to; ++watchedTo_) {
    const Segment& s = segments[watchedTo_];
    watching_.DrawLine(s.fromX, s.fromY, s.toX, s.toY, s.colour);
  }
  if (watchedTo_ == segments.size()) watched_ = SegmentRecorder();  // its 4 MB go once whole
  static_assert(Picture1::kStride == Picture1::kWidth, "rows are read as one run");
  ToRgba(watching_.pixels(), std::size_t{Picture1::kWidth} * Picture1::kHeight, rgba_);
  return rgba_;
}

FigureDraws WebPage::Vary(const FigureDraws& draws, double strength) {
  return VaryDraws(draws, strength, variationSeed_);
}

}  // namespace stringart
