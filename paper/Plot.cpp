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
  return PlanDrawablePlot(
      segments,
      ReducePens(segments, pens.count, settings.paperColour.value_or(PackColour(255, 255, 255))),
      limits);
}

PlotTotals MeasurePlot(const PenPlot& plot, const PaperSettings& settings) {
  const double metres = LayOut(settings).scale() / 1000;
  PlotTotals totals;
  totals.pens = static_cast<int>(plot.pens.size());
  totals.down = plot.down * metres;
  totals.up = plot.up * metres;
  totals.upInDrawingOrder = plot.upInDrawingOrder * metres;
  totals.speed = settings.speed;
  // The pen moves at one speed up and down, and is lowered and lifted once a path.
  for (const PenPaths& pen : plot.pens) {
    PenTotals part;
    part.pen = pen.pen;
    part.down = PenDownLength(pen) * metres;
    part.up = PenUpLength(pen) * metres;
    part.lifts = static_cast<long>(pen.paths());
    part.minutes = ((part.down + part.up) * 1000 / settings.speed +
                    static_cast<double>(part.lifts) * kPenLiftSeconds) /
                   60;
    totals.lifts += part.lifts;
    totals.minutes += part.minutes;
    totals.each.push_back(part);
  }
  return totals;
}

std::string PlotDuration(double minutes) {
  const long whole = std::lround(minutes);
  if (whole < 60) return std::to_string(whole) + " min";
  return std::to_string(whole / 60) + " h " + std::to_string(whole % 60) + " min";
}

namespace {

std::string Metres(double m) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", m);
  return text;
}

}  // namespace

std::vector<std::string> EstimateLines(const PlotTotals& totals) {
  std::vector<std::string> lines;
  for (const PenTotals& pen : totals.each) {
    lines.push_back("pen " + std::to_string(pen.pen) + ": " + Metres(pen.down) + " m pen down, " +
                    Metres(pen.up) + " m pen up, " + PlotDuration(pen.minutes));
  }
  lines.push_back("in all: " + Metres(totals.down) + " m pen down, " + Metres(totals.up) +
                  " m pen up, " + std::to_string(totals.lifts) + " lifts, " +
                  PlotDuration(totals.minutes));
  return lines;
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
         PlotDuration(totals.minutes) + " at " + FormatDecimal(totals.speed) + " mm/s";
}

}  // namespace stringart
