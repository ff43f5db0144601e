#include "paper/Plot.h"

#include <cmath>
#include <cstdio>

namespace stringart {

PlotLimits LimitsOnPaper(const PaperSettings& settings) {
  const double scale = LayOut(settings).scale();
  PlotLimits limits;
  limits.penWidth = settings.penWidth / scale;
  limits.seconds = settings.plotMinutes * 60.0;
  limits.speed = settings.speed / scale;
  limits.liftSeconds = kPenLiftSeconds;
  return limits;
}

PenPlot PlotWithPens(std::span<const Segment> segments, const PaperSettings& settings) {
  const PenChoice& pens = settings.pens;
  const PlotLimits limits = LimitsOnPaper(settings);
  if (pens.own()) return PlanDrawablePlot(segments, pens.colours, limits);
  return PlanDrawablePlot(segments, ReducePens(segments, pens.count), limits);
}

PlotTotals MeasurePlot(const PenPlot& plot, const PaperSettings& settings) {
  const double metres = LayOut(settings).scale() / 1000;
  PlotTotals totals;
  totals.pens = static_cast<int>(plot.pens.size());
  totals.down = plot.down * metres;
  totals.up = plot.up * metres;
  totals.upInDrawingOrder = plot.upInDrawingOrder * metres;
  totals.speed = settings.speed;
  // The pen moves at one speed up and down; lifting and lowering it are not counted.
  totals.minutes = (totals.down + totals.up) * 1000 / settings.speed / 60;
  return totals;
}

std::string PlotLine(const PlotTotals& totals) {
  auto metres = [](double m) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f m", m);
    return std::string(text);
  };
  return "plot: " + std::to_string(totals.pens) + (totals.pens == 1 ? " pen" : " pens") +
         ", pen-down " + metres(totals.down) + ", pen-up " + metres(totals.up) +
         " (drawing order " + metres(totals.upInDrawingOrder) + "), about " +
         std::to_string(std::lround(totals.minutes)) + " min at " + FormatDecimal(totals.speed) +
         " mm/s";
}

}  // namespace stringart
