// A figure on a pen plotter: the pens its colours come down to, its segments joined into paths
// without losing or adding a stroke, and the paths ordered to cut the travel with the pen up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "canvas/Picture1.h"
#include "options/Paper.h"
#include "paper/PenPlot.h"
#include "paper/Plot.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

using testing::DrawnFigure;
using testing::TraceSegments;

// The figures the plans are checked on: the pinned ones and figures as the program draws them.
std::vector<std::pair<std::string, FigureRecord>> Figures() {
  std::vector<std::pair<std::string, FigureRecord>> figures;
  for (const auto& pinned : testing::kPinnedFigures) {
    figures.emplace_back(pinned.name, FigureRecord{pinned.draws, pinned.start, {}});
  }
  for (std::uint64_t i = 1; i <= 4; ++i) {
    figures.emplace_back("drawn " + std::to_string(i), DrawnFigure(i));
  }
  return figures;
}

double Length(PlotPoint p, PlotPoint q) {
  return std::hypot(static_cast<double>(p.x) - q.x, static_cast<double>(p.y) - q.y);
}

// Every segment, as the two points a path draws it between, either way round, with how often.
std::map<std::pair<std::pair<float, float>, std::pair<float, float>>, int> Strokes(
    const std::vector<PenPaths>& pens, bool fromSegments, const std::vector<Segment>& segments) {
  std::map<std::pair<std::pair<float, float>, std::pair<float, float>>, int> strokes;
  auto add = [&strokes](PlotPoint p, PlotPoint q) {
    std::pair a{p.x, p.y}, b{q.x, q.y};
    if (b < a) std::swap(a, b);
    ++strokes[{a, b}];
  };
  if (fromSegments) {
    for (const Segment& s : segments) add({s.fromX, s.fromY}, {s.toX, s.toY});
    return strokes;
  }
  for (const PenPaths& pen : pens) {
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      const auto path = pen.path(k);
      for (std::size_t i = 1; i < path.size(); ++i) add(path[i - 1], path[i]);
    }
  }
  return strokes;
}

TEST(PenPlot, PensKeepTheFigureColoursAndAreAlwaysTheSame) {
  const std::vector<Segment> segments = TraceSegments(kExampleDraws);
  // The mean distance from each segment's colour to its pen's, in RGB, weighted as the ink is.
  auto error = [&segments](const std::vector<Colour>& pens) {
    double total = 0;
    for (const Segment& s : segments) {
      const Colour pen = pens[NearestPen(s.colour, pens)];
      total += std::abs(pen.red() - s.colour.red()) + std::abs(pen.green() - s.colour.green()) +
               std::abs(pen.blue() - s.colour.blue());
    }
    return total / (3.0 * segments.size());
  };
  double before = 1e9;
  for (const int count : {1, 3, 6, 12}) {
    const std::vector<Colour> pens = ReducePens(segments, count);
    ASSERT_EQ(pens.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(ReducePens(segments, count), pens) << count << " pens drawn twice differ";
    const double now = error(pens);
    EXPECT_LT(now, before) << count << " pens keep the colours no better than fewer";
    before = now;
    // Better than colours taken at even steps through the drawing.
    std::vector<Colour> even;
    for (int k = 0; k < count; ++k)
      even.push_back(segments[(2 * k + 1) * segments.size() / (2 * count)].colour);
    EXPECT_LT(now, error(even)) << count << " pens";
  }

  // Pens go to ink that shows on the paper: a figure mostly near-white gets no near-white pen
  // for white paper, and one for black paper.
  std::vector<Segment> pale(segments.begin(), segments.begin() + 3000);
  for (std::size_t i = 0; i < pale.size(); ++i) {
    pale[i].colour = i % 3 == 0   ? PackColour(200, 20, 20)
                     : i % 3 == 1 ? PackColour(20, 20, 200)
                                  : PackColour(static_cast<std::int16_t>(245 + i % 7), 250, 250);
  }
  auto whitish = [](const std::vector<Colour>& pens) {
    return std::count_if(pens.begin(), pens.end(), [](Colour c) {
      return std::min({c.red(), c.green(), c.blue()}) > 200;
    });
  };
  EXPECT_EQ(whitish(ReducePens(pale, 3, PackColour(255, 255, 255))), 0);
  EXPECT_EQ(whitish(ReducePens(pale, 3, kBlack)), 1);

  // A figure of three colours gets three pens, however many are asked for.
  std::vector<Segment> three(segments.begin(), segments.begin() + 30);
  for (std::size_t i = 0; i < three.size(); ++i) three[i].colour = PackColour(i % 3 * 100, 0, 9);
  EXPECT_EQ(ReducePens(three, 6).size(), 3u);
}

TEST(PenPlot, PathsDrawEverySegmentOnceAndJoinOnlyWithinAStroke) {
  for (const auto& [name, figure] : Figures()) {
    const std::vector<Segment> segments = TraceSegments(figure.draws, figure.start);
    const std::vector<Colour> pens = ReducePens(segments, 6);
    const PenPlot plot = PlanPlot(segments, pens);
    double sum = 0;
    for (const Segment& s : segments) sum += Length({s.fromX, s.fromY}, {s.toX, s.toY});
    // The pen goes down over every segment, and over the gaps joined, at most a pixel each.
    EXPECT_GE(plot.down, sum * (1 - 1e-9)) << name;
    EXPECT_LE(plot.down, sum + segments.size()) << name;

    std::size_t paths = 0;
    for (const PenPaths& pen : plot.pens) {
      paths += pen.paths();
      for (std::size_t k = 0; k < pen.paths(); ++k) {
        for (const PlotPoint p : pen.path(k)) ASSERT_TRUE(std::isfinite(p.x + p.y)) << name;
      }
    }
    // Joined: far fewer paths than segments.
    EXPECT_LT(paths * 20, segments.size()) << name << ": " << paths << " paths";
    // Every segment is drawn, each by the pen nearest its colour; what else the paths draw are
    // the joins.
    auto drawn = Strokes(plot.pens, false, {});
    for (const auto& [stroke, count] : Strokes({}, true, segments)) {
      EXPECT_GE(drawn[stroke], count) << name << ": a segment is missing";
    }
    for (const PenPaths& pen : plot.pens) {
      EXPECT_EQ(pen.colour, pens[pen.pen - 1]) << name;
    }
  }
}

TEST(PenPlot, OrderingAtLeastHalvesTheTravelWithThePenUp) {
  for (const auto& [name, figure] : Figures()) {
    const std::vector<Segment> segments = TraceSegments(figure.draws, figure.start);
    const std::vector<Colour> pens = ReducePens(segments, 6);
    std::vector<PenPaths> joined = JoinStrokes(segments, pens);
    const PenPlot plot = PlanPlot(segments, pens);
    ASSERT_EQ(plot.pens.size(), joined.size()) << name;
    double drawingOrder = 0;
    for (std::size_t p = 0; p < joined.size(); ++p) {
      drawingOrder += PenUpLength(joined[p]);
      // The same paths, some turned round.
      EXPECT_EQ(Strokes({plot.pens[p]}, false, {}), Strokes({joined[p]}, false, {})) << name;
      EXPECT_EQ(plot.pens[p].paths(), joined[p].paths()) << name;
    }
    EXPECT_DOUBLE_EQ(plot.upInDrawingOrder, drawingOrder) << name;
    EXPECT_LE(plot.up * 2, plot.upInDrawingOrder) << name;
    std::printf("%-45s pen-up %8.0f px, drawing order %8.0f px\n", name.c_str(), plot.up,
                plot.upInDrawingOrder);
  }
}

// The plot as its pens' ink lies on the canvas: the pixels whose centres lie within half the
// pen's width of a line drawn, or nearest to one where the pen is narrower than a pixel.
std::vector<bool> Inked(const PenPlot& plot, double penWidth) {
  std::vector<bool> inked(500 * 500, false);
  const double reach = std::max(penWidth / 2, 0.5);
  auto ink = [&](double x, double y) {
    for (int py = static_cast<int>(std::floor(y - reach)); py <= y + reach; ++py) {
      for (int px = static_cast<int>(std::floor(x - reach)); px <= x + reach; ++px) {
        if (px >= 0 && py >= 0 && px < 500 && py < 500 && std::hypot(px - x, py - y) <= reach)
          inked[py * 500 + px] = true;
      }
    }
  };
  for (const PenPaths& pen : plot.pens) {
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      const auto path = pen.path(k);
      for (std::size_t i = 1; i < path.size(); ++i) {
        const int steps = std::max(1, static_cast<int>(Length(path[i - 1], path[i]) * 4));
        for (int j = 0; j <= steps; ++j) {
          const double t = static_cast<double>(j) / steps;
          ink(path[i - 1].x + t * (path[i].x - path[i - 1].x),
              path[i - 1].y + t * (path[i].y - path[i - 1].y));
        }
      }
    }
  }
  return inked;
}

// The pixels inked in both over those in either, against the figure as the screen shows it.
double ScreenOverlap(const FigureRecord& figure, const std::vector<bool>& inked) {
  Picture1 screen;
  TraceAgain(figure, screen);
  long both = 0, either = 0;
  for (int y = 0; y < 500; ++y) {
    for (int x = 0; x < 500; ++x) {
      const bool lit = screen.At(x, y) != kBlack, drawn = inked[y * 500 + x];
      both += lit && drawn;
      either += lit || drawn;
    }
  }
  return static_cast<double>(both) / static_cast<double>(either);
}

TEST(PenPlot, ADrawablePlotKeepsToTheTimeAndStillShowsTheFigure) {
  PaperSettings a4;  // A4, 15 mm margins, 0.3 mm pen, 25 mm/s, two hours
  a4.pens.count = 4;
  const double metres = LayOut(a4).scale() / 1000;
  const PlotLimits limits = LimitsOnPaper(a4);
  for (const auto& [name, figure] : Figures()) {
    const std::vector<Segment> segments = TraceSegments(figure.draws, figure.start);
    const std::vector<Colour> pens = ReducePens(segments, 4);
    const PenPlot plot = PlanDrawablePlot(segments, pens, limits);
    double seconds = 0;
    for (const PenPaths& pen : plot.pens) seconds += PenSeconds(pen, limits);
    const double overlap = ScreenOverlap(figure, Inked(plot, limits.penWidth));
    std::printf("%-45s %6.1f m down, %4.1f m up, %4.0f min, overlap %.3f\n", name.c_str(),
                plot.down * metres, plot.up * metres, seconds / 60, overlap);
    EXPECT_LE(seconds, a4.plotMinutes * 60) << name;
    EXPECT_GT(plot.down, 0) << name;
    EXPECT_LE(plot.down * metres, 180) << name;
    // A figure that is one arm, two pixels thick on the screen, is a single line to a pen a
    // pixel wide: half its pixels.
    EXPECT_GE(overlap, name == "all factors zero" ? 0.45 : 0.7) << name;
    for (const PenPaths& pen : plot.pens) EXPECT_EQ(pen.colour, pens[pen.pen - 1]) << name;

    // A quarter of the time leaves out more, the most redundant lines first: still the figure,
    // if more thinly.
    PlotLimits shorter = limits;
    shorter.seconds = 30 * 60;
    const PenPlot quick = PlanDrawablePlot(segments, pens, shorter);
    double quickSeconds = 0;
    for (const PenPaths& pen : quick.pens) quickSeconds += PenSeconds(pen, shorter);
    EXPECT_LE(quickSeconds, shorter.seconds) << name;
    if (seconds > shorter.seconds) {
      EXPECT_GT(quickSeconds, shorter.seconds * 0.8) << name << ": the time left unused";
      EXPECT_GE(ScreenOverlap(figure, Inked(quick, limits.penWidth)), 0.5) << name;
    }
  }
}

TEST(PenPlot, EachStepIsOneLineAndAWiderPenDrawsLess) {
  const std::vector<Segment> segments = TraceSegments(kExampleDraws);
  const std::vector<Colour> pens = ReducePens(segments, 4);
  double strokes = 0;
  for (const Segment& s : segments) strokes += Length({s.fromX, s.fromY}, {s.toX, s.toY});
  // Without a time to keep to, only lines wholly under a pen's own earlier ones go.
  std::vector<double> down;
  for (const double width : {0.05, 0.5, 1.0, 2.0}) {
    const PenPlot plot = PlanDrawablePlot(segments, pens, {.penWidth = width});
    ASSERT_FALSE(plot.pens.empty());
    down.push_back(plot.down);
  }
  // One line for three strokes, and less where the figure runs over itself.
  EXPECT_LE(down[0], strokes / 3 * 1.01);
  for (std::size_t i = 1; i < down.size(); ++i) {
    EXPECT_LT(down[i], down[i - 1] * 0.8) << "pen " << i << " draws about as much as thinner";
  }
  // The finest pen on the largest sheet is a hundredth of a pixel: planned without a grid of
  // such cells, which memory would not hold.
  EXPECT_FALSE(PlanDrawablePlot(segments, pens, {.penWidth = 0.005}).pens.empty());
  // A time that nothing fits in draws nothing rather than too much.
  EXPECT_TRUE(PlanDrawablePlot(segments, pens, {.penWidth = 1, .seconds = 0}).pens.empty());
}

}  // namespace
}  // namespace stringart
