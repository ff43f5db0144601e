#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/FigureRecord.h"
#include "smooth/AntiAliased.h"

namespace stringart {

// A figure drawn anti-aliased at any size: every coordinate scaled by s = (shorter side) / 500
// and centred, each 1-pixel stroke of the 500 x 500 raster becoming a stroke s pixels wide with
// square ends, in the same colours and order. Pixels are 0xFFRRGGBB words like Picture1's, rows
// top to bottom with no padding. Drawn by DrawAntiAliased (smooth/AntiAliased.h), on all cores.
class LargePicture {
 public:
  // A black picture; throws std::bad_alloc when there is not memory enough for it.
  LargePicture(int width, int height);
  // The same, or nullopt with `error` set to one line when there is not memory enough.
  static std::optional<LargePicture> Make(int width, int height, std::string& error);
  // A picture whose pixels are left as the memory came, for DrawWholeOnBlack to paint every one
  // of them: painting 16384 x 16384 black first takes over a second, in which a cancel is not
  // heard. Nullopt with `error` set when there is not memory enough.
  static std::optional<LargePicture> MakeUnpainted(int width, int height, std::string& error);

  // Draws `segments` (500 x 500 canvas coordinates) over what is there, in order. A run of
  // segments of one colour is painted as one shape, the union of its strokes, so the strokes of a
  // run do not darken each other's anti-aliased edges.
  void Draw(std::span<const Segment> segments);
  // Draws a whole figure's `segments` over what is there at once, several times faster than Draw
  // and within a few levels of it at the edges of runs (DrawAntiAliasedWhole): for a figure
  // shown or saved complete. `progress`, when given, hears of the drawing and may stop it,
  // leaving the picture part drawn; returns false then.
  bool DrawWhole(std::span<const Segment> segments, const WholeProgress& progress = {});
  // Clear() and DrawWhole() in one pass, the picture not read: a figure on black. Stopped by
  // `progress`, the picture holds part of the figure and part of what it held.
  bool DrawWholeOnBlack(std::span<const Segment> segments, const WholeProgress& progress = {});
  // Paints the whole picture black again.
  void Clear();

  int width() const { return width_; }
  int height() const { return height_; }
  double scale() const { return scale_; }  // s: pixels per pixel of the 500 x 500 canvas
  double left() const { return left_; }    // where canvas point (-0.5, -0.5) lands, pixels
  double top() const { return top_; }
  const std::uint32_t* pixels() const { return pixels_.get(); }
  std::uint32_t* pixels() { return pixels_.get(); }

 private:
  struct Unpainted {};
  LargePicture(int width, int height, Unpainted);
  std::size_t count() const { return static_cast<std::size_t>(width_) * height_; }

  int width_, height_;
  double scale_, left_, top_;  // where canvas point (-0.5, -0.5) lands, pixels
  std::unique_ptr<std::uint32_t[]> pixels_;
  WholeDrawingMemory memory_;  // DrawWhole's, kept for the next figure
};

}  // namespace stringart
