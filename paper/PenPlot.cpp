#include "paper/PenPlot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "paper/PenPlot_p.h"

// A figure's segments joined into pen paths and ordered as a plotter draws them.
namespace stringart {

std::vector<PenPaths> JoinStrokes(std::span<const Segment> segments, std::span<const Colour> pens) {
  PenChooser choose(pens);
  struct Path {
    std::size_t pen;
    std::vector<PlotPoint> points;
  };
  std::vector<Path> paths;
  // A gap of at most a stroke's width, one pixel, is drawn over with the pen down: it lies
  // within the two strokes' own ends as the raster paints them, and it spares a lift.
  constexpr double kJoin = 1.0;
  // The path each of the last three segments went to: each step draws its three strokes in
  // turn, so the segment three back is the same stroke's at the step before.
  std::array<std::size_t, 3> last;
  last.fill(std::numeric_limits<std::size_t>::max());
  for (std::size_t i = 0; i < segments.size() && !pens.empty(); ++i) {
    const Segment& s = segments[i];
    const std::size_t knownPen = choose(s.colour);
    const PlotPoint from{s.fromX, s.fromY}, to{s.toX, s.toY};
    std::size_t& stroke = last[i % 3];
    if (stroke < paths.size() && paths[stroke].pen == knownPen) {
      std::vector<PlotPoint>& points = paths[stroke].points;
      const PlotPoint end = points.back();
      const double toFrom = Distance(end, from), toTo = Distance(end, to);
      if (std::min(toFrom, toTo) <= kJoin) {
        const PlotPoint first = toFrom <= toTo ? from : to, second = toFrom <= toTo ? to : from;
        if (!(first == end)) points.push_back(first);
        points.push_back(second);
        continue;
      }
    }
    stroke = paths.size();
    paths.push_back({knownPen, {from, to}});
  }
  std::vector<PenPaths> byPen(pens.size());
  for (std::size_t p = 0; p < pens.size(); ++p) {
    byPen[p].pen = static_cast<int>(p + 1);
    byPen[p].colour = pens[p];
  }
  for (const Path& path : paths) {
    PenPaths& pen = byPen[path.pen];
    pen.points.insert(pen.points.end(), path.points.begin(), path.points.end());
    pen.ends.push_back(static_cast<std::uint32_t>(pen.points.size()));
  }
  std::erase_if(byPen, [](const PenPaths& pen) { return pen.ends.empty(); });
  return byPen;
}

namespace {

// Every path's two ends in a grid of cells, about two ends a cell, in the canvas's pixels; end
// 2k is path k's first point, 2k + 1 its last. Ends of drawn paths leave their cells as the
// search meets them.
class EndGrid {
 public:
  explicit EndGrid(const PenPaths& pen) : ends_(2 * pen.paths()) {
    const std::size_t n = pen.paths();
    float maxX = std::numeric_limits<float>::lowest(), maxY = maxX;
    for (std::size_t k = 0; k < n; ++k) {
      const auto path = pen.path(k);
      ends_[2 * k] = path.front();
      ends_[2 * k + 1] = path.back();
      for (const PlotPoint p : {path.front(), path.back()}) {
        minX_ = std::min(minX_, p.x), maxX = std::max(maxX, p.x);
        minY_ = std::min(minY_, p.y), maxY = std::max(maxY, p.y);
      }
    }
    side_ = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(n))), 1, 512);
    cellW_ = std::max<double>(maxX - minX_, 1e-3) / side_;
    cellH_ = std::max<double>(maxY - minY_, 1e-3) / side_;
    cells_.resize(static_cast<std::size_t>(side_) * side_);
    for (std::size_t e = 0; e < ends_.size(); ++e) {
      int cx, cy;
      CellOf(ends_[e], cx, cy);
      cells_[static_cast<std::size_t>(cy) * side_ + cx].push_back(static_cast<std::uint32_t>(e));
    }
  }

  PlotPoint TopLeft() const { return {minX_, minY_}; }
  PlotPoint End(std::uint32_t e) const { return ends_[e]; }

  // The end nearest to `at` of a path not `drawn`, the lower numbered of equally near ones.
  std::uint32_t Nearest(PlotPoint at, const std::vector<bool>& drawn) {
    int cx, cy;
    CellOf(at, cx, cy);
    std::uint32_t best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    const double cellMin = std::min(cellW_, cellH_);
    // Rings of cells outwards, until no nearer end can lie beyond the ring.
    for (int ring = 0; ring < 2 * side_; ++ring) {
      if (bestDistance < (ring - 1) * cellMin) break;
      for (int y = cy - ring; y <= cy + ring; ++y) {
        if (y < 0 || y >= side_) continue;
        const bool edge = y == cy - ring || y == cy + ring;
        for (int x = cx - ring; x <= cx + ring; x += edge ? 1 : 2 * ring) {
          if (x >= 0 && x < side_)
            Search(cells_[static_cast<std::size_t>(y) * side_ + x], at, drawn, best, bestDistance);
          if (ring == 0) break;
        }
      }
    }
    return best;
  }

 private:
  void CellOf(PlotPoint p, int& cx, int& cy) const {
    cx = std::clamp(static_cast<int>((p.x - minX_) / cellW_), 0, side_ - 1);
    cy = std::clamp(static_cast<int>((p.y - minY_) / cellH_), 0, side_ - 1);
  }

  // The ends of one cell tried against the best so far.
  void Search(std::vector<std::uint32_t>& cell, PlotPoint at, const std::vector<bool>& drawn,
              std::uint32_t& best, double& bestDistance) const {
    for (std::size_t i = 0; i < cell.size();) {
      const std::uint32_t e = cell[i];
      if (drawn[e / 2]) {  // both of a drawn path's ends leave as they are met
        cell[i] = cell.back();
        cell.pop_back();
        continue;
      }
      const double d = Distance(at, ends_[e]);
      if (d < bestDistance || (d == bestDistance && e < best)) bestDistance = d, best = e;
      ++i;
    }
  }

  std::vector<PlotPoint> ends_;
  float minX_ = std::numeric_limits<float>::max(), minY_ = minX_;
  int side_ = 1;
  double cellW_ = 0, cellH_ = 0;
  std::vector<std::vector<std::uint32_t>> cells_;
};

// `pen`'s paths in `order`, each turned round where its flag says.
PenPaths Reordered(const PenPaths& pen, std::span<const std::pair<std::uint32_t, bool>> order) {
  PenPaths ordered{pen.pen, pen.colour, {}, {}};
  ordered.points.reserve(pen.points.size());
  ordered.ends.reserve(order.size());
  for (const auto& [k, turned] : order) {
    const auto path = pen.path(k);
    if (turned) {
      ordered.points.insert(ordered.points.end(), path.rbegin(), path.rend());
    } else {
      ordered.points.insert(ordered.points.end(), path.begin(), path.end());
    }
    ordered.ends.push_back(static_cast<std::uint32_t>(ordered.points.size()));
  }
  return ordered;
}

}  // namespace

void OrderPaths(PenPaths& pen) {
  const std::size_t n = pen.paths();
  if (n < 2) return;
  EndGrid grid(pen);
  std::vector<bool> drawn(n, false);
  std::vector<std::pair<std::uint32_t, bool>> order;  // path, turned round
  order.reserve(n);
  PlotPoint at = grid.TopLeft();
  while (order.size() < n) {
    const std::uint32_t best = grid.Nearest(at, drawn);
    const std::uint32_t path = best / 2;
    const bool turned = best % 2 == 1;
    drawn[path] = true;
    order.emplace_back(path, turned);
    at = grid.End(turned ? 2 * path : 2 * path + 1);
  }
  pen = Reordered(pen, order);
}

double PenDownLength(const PenPaths& pen) {
  double length = 0;
  for (std::size_t k = 0; k < pen.paths(); ++k) {
    const auto path = pen.path(k);
    for (std::size_t i = 1; i < path.size(); ++i) length += Distance(path[i - 1], path[i]);
  }
  return length;
}

double PenUpLength(const PenPaths& pen) {
  double length = 0;
  for (std::size_t k = 1; k < pen.paths(); ++k) {
    length += Distance(pen.path(k - 1).back(), pen.path(k).front());
  }
  return length;
}

PenPlot PlanPlot(std::span<const Segment> segments, std::span<const Colour> pens) {
  PenPlot plot;
  plot.pens = JoinStrokes(segments, pens);
  for (PenPaths& pen : plot.pens) {
    plot.down += PenDownLength(pen);
    plot.upInDrawingOrder += PenUpLength(pen);
    OrderPaths(pen);
    plot.up += PenUpLength(pen);
  }
  return plot;
}

}  // namespace stringart
