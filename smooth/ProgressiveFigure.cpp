#include "smooth/ProgressiveFigure.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "figure/Tracer.h"

namespace stringart {

ProgressiveFigure::ProgressiveFigure(const FigureRecord& figure) {
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  segments_ = drawing.segments();
}

PixelBox ProgressiveFigure::DrawUpTo(double fraction, LargePicture& picture) {
  // NaN takes nothing, like 0.
  const double clamped = fraction >= 1.0 ? 1.0 : fraction > 0.0 ? fraction : 0.0;
  std::size_t end = static_cast<std::size_t>(clamped * static_cast<double>(segments_.size()));
  end = std::clamp(end, drawn_, segments_.size());
  if (end == drawn_) return {};
  while (end < segments_.size() && segments_[end].colour == segments_[end - 1].colour) ++end;
  const std::span<const Segment> slice(segments_.data() + drawn_, end - drawn_);
  drawn_ = end;
  picture.Draw(slice);
  return Box(slice, picture);
}

PixelBox ProgressiveFigure::DrawRest(LargePicture& picture) {
  if (complete()) return {};
  const std::span<const Segment> rest(segments_.data() + drawn_, segments_.size() - drawn_);
  drawn_ = segments_.size();
  picture.DrawWhole(rest);
  return Box(rest, picture);
}

PixelBox ProgressiveFigure::Box(std::span<const Segment> slice, const LargePicture& picture) {
  float minX = slice[0].fromX, maxX = minX, minY = slice[0].fromY, maxY = minY;
  for (const Segment& s : slice) {
    minX = std::min({minX, s.fromX, s.toX});
    maxX = std::max({maxX, s.fromX, s.toX});
    minY = std::min({minY, s.fromY, s.toY});
    maxY = std::max({maxY, s.fromY, s.toY});
  }
  // A stroke reaches half its width to the side and, with its square end, as far again past
  // its end points; canvas pixel centres lie half a canvas pixel in from the picture's corner.
  const double s = picture.scale(), reach = s + 2.0;
  const double x0 = picture.left() + s * (minX + 0.5) - reach;
  const double x1 = picture.left() + s * (maxX + 0.5) + reach;
  const double y0 = picture.top() + s * (minY + 0.5) - reach;
  const double y1 = picture.top() + s * (maxY + 0.5) + reach;
  const int left = static_cast<int>(std::clamp(std::floor(x0), 0.0, double(picture.width())));
  const int right = static_cast<int>(std::clamp(std::ceil(x1), 0.0, double(picture.width())));
  const int top = static_cast<int>(std::clamp(std::floor(y0), 0.0, double(picture.height())));
  const int bottom = static_cast<int>(std::clamp(std::ceil(y1), 0.0, double(picture.height())));
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

}  // namespace stringart
