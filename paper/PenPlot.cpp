#include "paper/PenPlot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "runtime/RandomSource.h"

namespace stringart {
namespace {

// CIELAB under D65, where equal distances look about equally different.
struct Lab {
  double l = 0, a = 0, b = 0;
};

double Squared(const Lab& p, const Lab& q) {
  const double dl = p.l - q.l, da = p.a - q.a, db = p.b - q.b;
  return dl * dl + da * da + db * db;
}

constexpr double kWhiteX = 0.95047, kWhiteY = 1.0, kWhiteZ = 1.08883;
constexpr double kDelta = 6.0 / 29.0;

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Lab ToLab(Colour colour) {
  static const std::array<double, 256> linear = [] {
    std::array<double, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = Linear(i);
    return table;
  }();
  const double r = linear[colour.red()], g = linear[colour.green()], b = linear[colour.blue()];
  auto f = [](double t) {
    return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3 * kDelta * kDelta) + 4.0 / 29.0;
  };
  const double fx = f((0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / kWhiteX);
  const double fy = f((0.2126729 * r + 0.7151522 * g + 0.0721750 * b) / kWhiteY);
  const double fz = f((0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / kWhiteZ);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Colour FromLab(const Lab& lab) {
  auto finv = [](double t) {
    return t > kDelta ? t * t * t : 3 * kDelta * kDelta * (t - 4.0 / 29.0);
  };
  const double fy = (lab.l + 16) / 116;
  const double x = kWhiteX * finv(fy + lab.a / 500), y = kWhiteY * finv(fy),
               z = kWhiteZ * finv(fy - lab.b / 200);
  auto channel = [](double c) {
    c = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(std::max(c, 0.0), 1 / 2.4) - 0.055;
    return static_cast<std::int16_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
  };
  return PackColour(channel(3.2404542 * x - 1.5371385 * y - 0.4985314 * z),
                    channel(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z),
                    channel(0.0556434 * x - 0.2040259 * y + 1.0572252 * z));
}

double Length(const Segment& s) {
  return std::hypot(static_cast<double>(s.toX) - s.fromX, static_cast<double>(s.toY) - s.fromY);
}

double Distance(PlotPoint p, PlotPoint q) {
  return std::hypot(static_cast<double>(p.x) - q.x, static_cast<double>(p.y) - q.y);
}

// The figure's colours, each once, with the length of its segments.
std::vector<std::pair<Colour, double>> ColourInk(std::span<const Segment> segments) {
  std::vector<std::pair<Colour, double>> ink;
  for (const Segment& s : segments) {
    // Consecutive segments mostly share their colour: three a step, and steps drift slowly.
    if (ink.empty() || ink.back().first != s.colour) ink.emplace_back(s.colour, 0.0);
    ink.back().second += Length(s);
  }
  std::sort(ink.begin(), ink.end(),
            [](const auto& p, const auto& q) { return p.first.value < q.first.value; });
  std::size_t kept = 0;
  for (std::size_t i = 0; i < ink.size(); ++i) {
    if (kept > 0 && ink[kept - 1].first == ink[i].first) {
      ink[kept - 1].second += ink[i].second;
    } else {
      ink[kept++] = ink[i];
    }
  }
  ink.resize(kept);
  return ink;
}

// The index of the nearest of `centres` to `point`.
std::size_t Nearest(const Lab& point, std::span<const Lab> centres) {
  std::size_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t c = 0; c < centres.size(); ++c) {
    const double d = Squared(point, centres[c]);
    if (d < bestDistance) bestDistance = d, best = c;
  }
  return best;
}

// k-means++: each further centre drawn with odds of its weight times its squared distance to
// the nearest centre so far, which spreads the centres over the colours that matter.
std::vector<Lab> SeedCentres(std::span<const Lab> points, std::span<const double> weights,
                             std::size_t count) {
  RandomSource random(RandomSource::kInitialState);
  std::vector<Lab> centres;
  std::vector<double> odds(weights.begin(), weights.end());
  std::vector<double> nearest(points.size(), std::numeric_limits<double>::infinity());
  while (centres.size() < count) {
    double total = 0;
    for (const double o : odds) total += o;
    double pick = random.Next() * total;
    std::size_t chosen = 0;
    while (chosen + 1 < odds.size() && (odds[chosen] == 0 || pick >= odds[chosen])) {
      pick -= odds[chosen++];
    }
    centres.push_back(points[chosen]);
    for (std::size_t i = 0; i < points.size(); ++i) {
      nearest[i] = std::min(nearest[i], Squared(points[i], centres.back()));
      odds[i] = weights[i] * nearest[i];
    }
  }
  return centres;
}

// Which of `centres` each of `points` lies nearest, into `cluster`; whether any changed.
bool AssignClusters(std::span<const Lab> points, std::span<const Lab> centres,
                    std::vector<std::size_t>& cluster) {
  bool moved = false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::size_t c = Nearest(points[i], centres);
    moved |= c != cluster[i];
    cluster[i] = c;
  }
  return moved;
}

// Each centre moved to the weighted mean of its cluster's points.
void MoveCentres(std::span<const Lab> points, std::span<const double> weights,
                 std::span<const std::size_t> cluster, std::vector<Lab>& centres) {
  std::vector<Lab> sum(centres.size());
  std::vector<double> mass(centres.size(), 0.0);
  for (std::size_t i = 0; i < points.size(); ++i) {
    Lab& s = sum[cluster[i]];
    s.l += weights[i] * points[i].l, s.a += weights[i] * points[i].a;
    s.b += weights[i] * points[i].b;
    mass[cluster[i]] += weights[i];
  }
  for (std::size_t c = 0; c < centres.size(); ++c) {
    if (mass[c] > 0) {
      centres[c] = {sum[c].l / mass[c], sum[c].a / mass[c], sum[c].b / mass[c]};
      continue;
    }
    // A centre that lost every colour takes the one its own centre keeps worst.
    std::size_t worst = 0;
    double worstCost = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double cost = weights[i] * Squared(points[i], centres[cluster[i]]);
      if (cost > worstCost) worstCost = cost, worst = i;
    }
    centres[c] = points[worst];
  }
}

// A CIELAB distance from the paper under which ink hardly shows on it (2 is about the least the
// eye tells apart).
constexpr double kHidden = 10;

// `count` pens for more colours than that: the centres of k-means over the colours' ink, each
// pen once.
std::vector<Colour> ClusteredPens(std::span<const std::pair<Colour, double>> ink, std::size_t count,
                                  std::optional<Colour> paper) {
  std::vector<Lab> points;
  std::vector<double> weights;
  for (const auto& [colour, length] : ink) {
    points.push_back(ToLab(colour));
    // A segment of no length still has its colour on paper, as a dot.
    double weight = std::max(length, 1e-3);
    if (paper) {
      // Ink that stands out little from the paper (CIELAB distances under 25) counts the less
      // the nearer it lies.
      const double contrast = std::sqrt(Squared(points.back(), ToLab(*paper))) / 25;
      weight *= std::clamp(contrast * contrast, 1e-4, 1.0);
    }
    weights.push_back(weight);
  }
  std::vector<Lab> centres = SeedCentres(points, weights, count);
  std::vector<std::size_t> cluster(points.size(), centres.size());
  for (int round = 0; round < 100; ++round) {
    if (!AssignClusters(points, centres, cluster)) break;
    MoveCentres(points, weights, cluster, centres);
  }
  std::vector<Colour> pens;
  for (const Lab& centre : centres) {
    const Colour colour = FromLab(centre);
    if (std::find(pens.begin(), pens.end(), colour) == pens.end()) pens.push_back(colour);
  }
  return pens;
}

// `pens` numbered by when the figure lays each pen's ink, on average over its length: what the
// screen shows on top of the rest is plotted after it.
std::vector<Colour> InLayingOrder(std::span<const Segment> segments,
                                  const std::vector<Colour>& pens) {
  std::vector<Lab> centres;
  for (const Colour pen : pens) centres.push_back(ToLab(pen));
  // Segment indices, averaged over each pen's length.
  std::vector<double> when(pens.size(), 0.0), mass(pens.size(), 0.0);
  Colour known = segments.empty() ? Colour{} : segments[0].colour;
  std::size_t pen = pens.empty() ? 0 : Nearest(ToLab(known), centres);
  for (std::size_t i = 0; i < segments.size() && !pens.empty(); ++i) {
    if (segments[i].colour != known) {
      known = segments[i].colour;
      pen = Nearest(ToLab(known), centres);
    }
    const double length = std::max(Length(segments[i]), 1e-3);
    when[pen] += length * static_cast<double>(i);
    mass[pen] += length;
  }
  std::vector<std::size_t> order(pens.size());
  for (std::size_t p = 0; p < order.size(); ++p) {
    order[p] = p;
    // A pen nearest to no segment (its centre moved off in the rounding) goes last.
    when[p] = mass[p] > 0 ? when[p] / mass[p] : std::numeric_limits<double>::infinity();
  }
  std::stable_sort(order.begin(), order.end(),
                   [&when](std::size_t p, std::size_t q) { return when[p] < when[q]; });
  std::vector<Colour> numbered;
  for (const std::size_t p : order) numbered.push_back(pens[p]);
  return numbered;
}

}  // namespace

std::vector<Colour> ReducePens(std::span<const Segment> segments, int count,
                               std::optional<Colour> paper) {
  auto ink = ColourInk(segments);
  if (paper) {
    // Ink the eye hardly tells from the paper gets no pen of its own, unless it is all there is:
    // its strokes take the nearest pen that shows.
    const Lab ground = ToLab(*paper);
    auto hidden = [&ground](const std::pair<Colour, double>& i) {
      return Squared(ToLab(i.first), ground) < kHidden * kHidden;
    };
    if (!std::all_of(ink.begin(), ink.end(), hidden)) std::erase_if(ink, hidden);
  }
  std::vector<Colour> pens;
  if (ink.size() <= static_cast<std::size_t>(std::max(count, 0))) {
    for (const auto& [colour, length] : ink) pens.push_back(colour);
  } else {
    pens = ClusteredPens(ink, static_cast<std::size_t>(count), paper);
  }
  return InLayingOrder(segments, pens);
}

std::size_t NearestPen(Colour colour, std::span<const Colour> pens) {
  std::vector<Lab> centres;
  centres.reserve(pens.size());
  for (const Colour pen : pens) centres.push_back(ToLab(pen));
  return Nearest(ToLab(colour), centres);
}

std::vector<PenPaths> JoinStrokes(std::span<const Segment> segments, std::span<const Colour> pens) {
  std::vector<Lab> centres;
  for (const Colour pen : pens) centres.push_back(ToLab(pen));
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
  Colour known{};
  std::size_t knownPen = pens.empty() ? 0 : Nearest(ToLab(known), centres);
  for (std::size_t i = 0; i < segments.size() && !pens.empty(); ++i) {
    const Segment& s = segments[i];
    if (s.colour != known) known = s.colour, knownPen = Nearest(ToLab(known), centres);
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

namespace {

// A step's line as one pen draws it.
struct PenLine {
  PlotPoint from, to;
};

// Whether `s` is `first` moved by (dx, dy), to within the rounding of its floats, in its colour.
bool Shifted(const Segment& first, const Segment& s, float dx, float dy) {
  auto near = [](float a, float b) { return std::abs(a - b) < 1e-3f; };
  return s.colour == first.colour && near(s.fromX, first.fromX + dx) &&
         near(s.toX, first.toX + dx) && near(s.fromY, first.fromY + dy) &&
         near(s.toY, first.toY + dy);
}

// Each pen's lines in the figure's drawing order: a step's three strokes, the second a pixel to
// the right of the first and the third a pixel below, as one line along their middle; a stroke
// whose step lost the others (a coordinate that did not narrow) as it is.
std::vector<std::vector<PenLine>> StepLines(std::span<const Segment> segments,
                                            std::span<const Colour> pens) {
  std::vector<Lab> centres;
  for (const Colour pen : pens) centres.push_back(ToLab(pen));
  std::vector<std::vector<PenLine>> lines(pens.size());
  Colour known{};
  std::size_t knownPen = pens.empty() ? 0 : Nearest(ToLab(known), centres);
  constexpr float kThird = 1.0f / 3;
  for (std::size_t i = 0; i < segments.size() && !pens.empty();) {
    const Segment& s = segments[i];
    if (s.colour != known) known = s.colour, knownPen = Nearest(ToLab(known), centres);
    if (i + 2 < segments.size() && Shifted(s, segments[i + 1], 1, 0) &&
        Shifted(s, segments[i + 2], 0, 1)) {
      lines[knownPen].push_back(
          {{s.fromX + kThird, s.fromY + kThird}, {s.toX + kThird, s.toY + kThird}});
      i += 3;
    } else {
      lines[knownPen].push_back({{s.fromX, s.fromY}, {s.toX, s.toY}});
      ++i;
    }
  }
  return lines;
}

// The cells a pen's lines pass over, each line's in order and once: square cells a pen's width
// wide over the canvas and a little beyond. Two lines that share a cell run within a pen's width
// of each other there.
class LineCells {
 public:
  LineCells(std::span<const PenLine> lines, double cell)
      : cell_(cell), side_(static_cast<int>(std::ceil((kCanvas + 2 * kBorder) / cell))) {
    ends_.reserve(lines.size());
    for (const PenLine& line : lines) {
      const double length = Distance(line.from, line.to);
      // Samples half a cell apart miss no cell the line crosses but at a corner.
      const int steps = std::max(1, static_cast<int>(std::ceil(2 * length / cell)));
      std::uint32_t last = std::numeric_limits<std::uint32_t>::max();
      for (int j = 0; j <= steps; ++j) {
        const double t = static_cast<double>(j) / steps;
        const std::uint32_t c = CellOf(line.from.x + t * (line.to.x - line.from.x),
                                       line.from.y + t * (line.to.y - line.from.y));
        if (c != last) cells_.push_back(c);
        last = c;
      }
      ends_.push_back(cells_.size());
    }
  }

  int side() const { return side_; }
  std::size_t lines() const { return ends_.size(); }
  std::span<const std::uint32_t> of(std::size_t k) const {
    const std::size_t from = k > 0 ? ends_[k - 1] : 0;
    return std::span(cells_).subspan(from, ends_[k] - from);
  }

 private:
  static constexpr double kCanvas = 500, kBorder = 2;

  std::uint32_t CellOf(double x, double y) const {
    auto index = [this](double v) {
      return std::clamp(static_cast<int>(std::floor((v + kBorder) / cell_)), 0, side_ - 1);
    };
    return static_cast<std::uint32_t>(index(y)) << 16 | static_cast<std::uint32_t>(index(x));
  }

  double cell_;
  int side_;
  std::vector<std::uint32_t> cells_;
  std::vector<std::size_t> ends_;
};

// A line that runs for half its length or more where its pen has drawn adds too little to be
// drawn: a pen width beside it is ink already.
constexpr double kRedundant = 0.5;

// Which lines are drawn at `threshold`: each in turn, kept when less than that share of its
// cells lie under lines kept before it. At 1 only the lines wholly under others go. The cells
// are `cells`' taken `spacing` by `spacing` along each side: near enough those of lines that
// many times as wide, without sampling the lines again.
void Thin(const LineCells& cells, double threshold, double spacing,
          std::vector<std::uint8_t>& covered, std::vector<bool>& kept) {
  const int side = cells.side();
  const auto coarseSide = static_cast<std::uint32_t>(std::ceil(side / spacing));
  // Each cell's column and row (y << 16 | x) to its coarse cell's, by table.
  std::vector<std::uint32_t> column(static_cast<std::size_t>(side)), row(column.size());
  for (int i = 0; i < side; ++i) {
    const auto coarse = static_cast<std::uint32_t>(i / spacing);
    column[static_cast<std::size_t>(i)] = coarse;
    row[static_cast<std::size_t>(i)] = coarse * coarseSide;
  }
  covered.assign(static_cast<std::size_t>(coarseSide) * coarseSide, 0);
  kept.assign(cells.lines(), false);
  std::vector<std::uint32_t> line;
  for (std::size_t k = 0; k < cells.lines(); ++k) {
    line.clear();
    std::uint32_t last = std::numeric_limits<std::uint32_t>::max();
    for (const std::uint32_t c : cells.of(k)) {
      const std::uint32_t coarse = row[c >> 16] + column[c & 0xFFFF];
      if (coarse != last) line.push_back(coarse);
      last = coarse;
    }
    std::size_t under = 0;
    for (const std::uint32_t c : line) under += covered[c];
    if (static_cast<double>(under) >= threshold * static_cast<double>(line.size())) continue;
    kept[k] = true;
    for (const std::uint32_t c : line) covered[c] = 1;
  }
}

// The kept lines as paths: a line that starts (or ends) within a pixel of where the path before
// it ends continues it, the gap drawn over as JoinStrokes draws it.
PenPaths JoinLines(std::span<const PenLine> lines, const std::vector<bool>& kept, int number,
                   Colour colour) {
  constexpr double kJoin = 1.0;
  PenPaths pen{number, colour, {}, {}};
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (!kept[k]) continue;
    const PenLine& line = lines[k];
    if (!pen.points.empty()) {
      const PlotPoint end = pen.points.back();
      const double toFrom = Distance(end, line.from), toTo = Distance(end, line.to);
      if (std::min(toFrom, toTo) <= kJoin) {
        const PlotPoint first = toFrom <= toTo ? line.from : line.to,
                        second = toFrom <= toTo ? line.to : line.from;
        if (!(first == end)) pen.points.push_back(first);
        pen.points.push_back(second);
        continue;
      }
      pen.ends.push_back(static_cast<std::uint32_t>(pen.points.size()));
    }
    pen.points.push_back(line.from);
    pen.points.push_back(line.to);
  }
  if (!pen.points.empty()) pen.ends.push_back(static_cast<std::uint32_t>(pen.points.size()));
  return pen;
}

// The lines kept at one threshold, as paths in the figure's drawing order.
std::vector<PenPaths> JoinAt(std::span<const std::vector<PenLine>> lines,
                             std::span<const LineCells> cells, std::span<const Colour> pens,
                             double threshold, double spacing) {
  std::vector<PenPaths> joined;
  std::vector<std::uint8_t> covered;
  std::vector<bool> kept;
  for (std::size_t p = 0; p < pens.size(); ++p) {
    Thin(cells[p], threshold, spacing, covered, kept);
    PenPaths pen = JoinLines(lines[p], kept, static_cast<int>(p + 1), pens[p]);
    if (!pen.ends.empty()) joined.push_back(std::move(pen));
  }
  return joined;
}

// Seconds for `pens` with the pen up for `upShare` of the length it is down: ordering, which
// tells the real travel, takes longer than the thinning itself.
double SecondsRoughly(std::span<const PenPaths> pens, double upShare, const PlotLimits& limits) {
  double seconds = 0;
  for (const PenPaths& pen : pens) {
    seconds += PenDownLength(pen) * (1 + upShare) / limits.speed +
               static_cast<double>(pen.paths()) * limits.liftSeconds;
  }
  return seconds;
}

// `pens` ordered into a plot, and its seconds.
PenPlot Ordered(std::vector<PenPaths> pens, const PlotLimits& limits, double& seconds) {
  PenPlot plot;
  seconds = 0;
  for (PenPaths& pen : pens) {
    plot.down += PenDownLength(pen);
    plot.upInDrawingOrder += PenUpLength(pen);
    OrderPaths(pen);
    plot.up += PenUpLength(pen);
    seconds += PenSeconds(pen, limits);
  }
  plot.pens = std::move(pens);
  return plot;
}

}  // namespace

double PenSeconds(const PenPaths& pen, const PlotLimits& limits) {
  return (PenDownLength(pen) + PenUpLength(pen)) / limits.speed +
         static_cast<double>(pen.paths()) * limits.liftSeconds;
}

PenPlot PlanDrawablePlot(std::span<const Segment> segments, std::span<const Colour> pens,
                         const PlotLimits& limits) {
  const std::vector<std::vector<PenLine>> lines = StepLines(segments, pens);
  std::vector<LineCells> cells;
  cells.reserve(lines.size());
  // Cells finer than a quarter of the canvas's pixel tell nothing more of the figure, and a fine
  // pen on a large sheet would ask for more of them than memory holds.
  const double cell = std::max(limits.penWidth, 0.25);
  for (const auto& pen : lines) cells.emplace_back(pen, cell);
  // The lines at `spacing` pen widths: redundant where they run within that of their pen's ink.
  auto joinAt = [&lines, &pens, &cells](double spacing) {
    return JoinAt(lines, cells, pens, kRedundant, spacing);
  };
  double seconds = 0;
  PenPlot plot = Ordered(joinAt(1), limits, seconds);
  if (seconds <= limits.seconds) return plot;
  // Then lines that run near the ink count as redundant, nearer ones first: the least spacing
  // that keeps to the time, found to within about a tenth of it with the travel in the air taken
  // as the same share of the drawing as in the plot ordered last; again with the share of the
  // plot found while that still takes too long, and then wider steps. Once the spacing spans
  // the canvas, each pen draws one line.
  double upShare = plot.down > 0 ? plot.up / plot.down : 0;
  double low = 0, high = 10;  // binary logarithms of the spacing
  for (int attempt = 0; attempt < 3; ++attempt) {
    for (int round = 0; round < 6; ++round) {
      const double middle = (low + high) / 2;
      const double roughly = SecondsRoughly(joinAt(std::exp2(middle)), upShare, limits);
      (roughly <= limits.seconds ? high : low) = middle;
    }
    plot = Ordered(joinAt(std::exp2(high)), limits, seconds);
    if (seconds <= limits.seconds) return plot;
    // The thinner plot travels more in the air for its length: search again with its share.
    if (plot.down > 0) upShare = std::max(upShare, plot.up / plot.down);
    low = high, high = 10;
  }
  for (double spacing = std::exp2(low); spacing < 2048; spacing *= 1.05) {
    plot = Ordered(joinAt(spacing), limits, seconds);
    if (seconds <= limits.seconds) return plot;
  }
  return PenPlot{};
}

}  // namespace stringart
