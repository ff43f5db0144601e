#include "paper/PenPlot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "paper/PenPlot_p.h"

// A plot thinned to what a pen of some width can draw within a time: lines that run where the
// pen has inked already are left out.
namespace stringart {

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
  PenChooser choose(pens);
  std::vector<std::vector<PenLine>> lines(pens.size());
  constexpr float kThird = 1.0f / 3;
  for (std::size_t i = 0; i < segments.size() && !pens.empty();) {
    const Segment& s = segments[i];
    const std::size_t knownPen = choose(s.colour);
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
