// The plain anti-aliased rasteriser: for every pixel near a run's strokes, the area of the union of
// their rectangles within the pixel, by cutting the pixel into vertical slices.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "smooth/AntiAliased.h"
#include "smooth/AntiAliased_p.h"

namespace stringart {
namespace {

struct Point {
  double x, y;
};
using Polygon = std::vector<Point>;

// The stroke around `s` on the picture: one canvas pixel wide, its ends squared half a canvas
// pixel past the end points.
Polygon StrokeRectangle(const smooth_detail::CanvasSegment& s, const CanvasPlacement& place) {
  const double length = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
  const double ux = (s.x1 - s.x0) / length / 2, uy = (s.y1 - s.y0) / length / 2;
  const double nx = -uy, ny = ux;
  const Point corners[4] = {{s.x0 - ux - nx, s.y0 - uy - ny},
                            {s.x1 + ux - nx, s.y1 + uy - ny},
                            {s.x1 + ux + nx, s.y1 + uy + ny},
                            {s.x0 - ux + nx, s.y0 - uy + ny}};
  Polygon placed;
  for (const Point& c : corners) {
    placed.push_back(
        {place.left + place.scale * (c.x + 0.5), place.top + place.scale * (c.y + 0.5)});
  }
  return placed;
}

// The part of `polygon` on the side of the line a * x + b * y <= c.
Polygon KeepBelow(const Polygon& polygon, double a, double b, double c) {
  Polygon kept;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
    const double fp = a * p.x + b * p.y - c, fq = a * q.x + b * q.y - c;
    if (fp <= 0) kept.push_back(p);
    if ((fp < 0 && fq > 0) || (fp > 0 && fq < 0)) {
      const double t = fp / (fp - fq);
      kept.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
    }
  }
  return kept;
}

// The part of `polygon` within the pixel whose top left corner is (x, y).
Polygon ClipToPixel(const Polygon& polygon, double x, double y) {
  Polygon p = KeepBelow(polygon, -1, 0, -x);
  p = KeepBelow(p, 1, 0, x + 1);
  p = KeepBelow(p, 0, -1, -y);
  return KeepBelow(p, 0, 1, y + 1);
}

double Area(const Polygon& polygon) {
  double twice = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
    twice += p.x * q.y - q.x * p.y;
  }
  return std::fabs(twice) / 2;
}

bool Inside(const Polygon& convex, Point p) {
  bool negative = false, positive = false;
  for (std::size_t i = 0; i < convex.size(); ++i) {
    const Point a = convex[i], b = convex[(i + 1) % convex.size()];
    const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    negative = negative || cross < 0;
    positive = positive || cross > 0;
  }
  return !(negative && positive);
}

// The area covered by the union of convex `parts`. Between two neighbouring abscissae of all
// corners and all crossings of sides, no side begins, ends or crosses another, so the length of
// the union along a vertical line changes linearly there, and its value at the middle times the
// width is the slice's area.
double UnionArea(const std::vector<Polygon>& parts) {
  if (parts.size() == 1) return Area(parts[0]);
  std::vector<double> xs;
  for (const Polygon& p : parts) {
    for (const Point& v : p) xs.push_back(v.x);
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    for (std::size_t j = i + 1; j < parts.size(); ++j) {
      const Polygon &a = parts[i], &b = parts[j];
      for (std::size_t k = 0; k < a.size(); ++k) {
        const Point p = a[k], r = {a[(k + 1) % a.size()].x - p.x, a[(k + 1) % a.size()].y - p.y};
        for (std::size_t m = 0; m < b.size(); ++m) {
          const Point q = b[m];
          const Point s = {b[(m + 1) % b.size()].x - q.x, b[(m + 1) % b.size()].y - q.y};
          const double denominator = r.x * s.y - r.y * s.x;
          if (denominator == 0) continue;
          const double t = ((q.x - p.x) * s.y - (q.y - p.y) * s.x) / denominator;
          const double u = ((q.x - p.x) * r.y - (q.y - p.y) * r.x) / denominator;
          if (t >= 0 && t <= 1 && u >= 0 && u <= 1) xs.push_back(p.x + t * r.x);
        }
      }
    }
  }
  std::sort(xs.begin(), xs.end());
  double area = 0;
  std::vector<std::array<double, 2>> spans;
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    if (xs[i + 1] <= xs[i]) continue;
    const double x = (xs[i] + xs[i + 1]) / 2;
    spans.clear();
    for (const Polygon& p : parts) {
      double low = INFINITY, high = -INFINITY;
      for (std::size_t k = 0; k < p.size(); ++k) {
        const Point a = p[k], b = p[(k + 1) % p.size()];
        if ((a.x <= x && x <= b.x) || (b.x <= x && x <= a.x)) {
          const double y = a.x == b.x ? a.y : a.y + (x - a.x) / (b.x - a.x) * (b.y - a.y);
          low = std::min(low, y);
          high = std::max(high, y);
        }
      }
      if (low < high) spans.push_back({low, high});
    }
    std::sort(spans.begin(), spans.end());
    double length = 0, reached = -INFINITY;
    for (const auto& [low, high] : spans) {
      length += std::max(0.0, high - std::max(low, reached));
      reached = std::max(reached, high);
    }
    area += (xs[i + 1] - xs[i]) * length;
  }
  return area;
}

// One run of one colour: each pixel within reach takes its share of the colour.
void PaintRun(const std::vector<Polygon>& rectangles, std::uint32_t colour,
              const PictureRows& picture) {
  struct Box {
    double left, top, right, bottom;
  };
  std::vector<Box> boxes;
  Box all{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const Polygon& r : rectangles) {
    Box b{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const Point& p : r) {
      b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x),
           std::max(b.bottom, p.y)};
    }
    boxes.push_back(b);
    all = {std::min(all.left, b.left), std::min(all.top, b.top), std::max(all.right, b.right),
           std::max(all.bottom, b.bottom)};
  }
  const int x0 = static_cast<int>(std::clamp(std::floor(all.left), 0.0, double(picture.width)));
  const int x1 = static_cast<int>(std::clamp(std::ceil(all.right), 0.0, double(picture.width)));
  const int y0 = static_cast<int>(std::clamp(std::floor(all.top), 0.0, double(picture.height)));
  const int y1 = static_cast<int>(std::clamp(std::ceil(all.bottom), 0.0, double(picture.height)));
  std::vector<Polygon> parts;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      parts.clear();
      bool whole = false;
      for (std::size_t i = 0; i < rectangles.size() && !whole; ++i) {
        const Box& b = boxes[i];
        if (b.right <= x || b.left >= x + 1 || b.bottom <= y || b.top >= y + 1) continue;
        const Polygon& r = rectangles[i];
        whole = Inside(r, {double(x), double(y)}) && Inside(r, {x + 1.0, double(y)}) &&
                Inside(r, {double(x), y + 1.0}) && Inside(r, {x + 1.0, y + 1.0});
        Polygon part = ClipToPixel(r, x, y);
        if (part.size() >= 3) parts.push_back(std::move(part));
      }
      const int alpha = smooth_detail::AlphaLevel(whole ? 1.0 : UnionArea(parts));
      if (alpha == 0) continue;
      std::uint32_t& pixel = picture.pixels[y * picture.stride + x];
      pixel = smooth_detail::Blend(pixel, colour, alpha);
    }
  }
}

}  // namespace

void DrawAntiAliasedReference(std::span<const Segment> segments, const PictureRows& picture,
                              const CanvasPlacement& place) {
  for (std::size_t i = 0; i < segments.size();) {
    const Colour colour = segments[i].colour;
    std::size_t end = i;
    while (end < segments.size() && segments[end].colour == colour) ++end;
    for (; i < end; i += smooth_detail::kRunPiece) {
      std::vector<Polygon> rectangles;
      for (std::size_t k = i; k < std::min(end, i + smooth_detail::kRunPiece); ++k) {
        if (const auto drawn = smooth_detail::DrawnSegment(segments[k])) {
          rectangles.push_back(StrokeRectangle(*drawn, place));
        }
      }
      if (!rectangles.empty()) PaintRun(rectangles, ToPixel(colour), picture);
    }
    i = end;
  }
}

}  // namespace stringart
