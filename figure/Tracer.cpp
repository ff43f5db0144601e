#include "figure/Tracer.h"

#include <cmath>
#include <optional>

#include "figure/ColourDrift.h"
#include "runtime/Numeric.h"
#include "runtime/VectorState.h"

namespace stringart {
namespace {

// One drawing statement on coordinates already narrowed to float: if the colour could not be
// packed or a coordinate not narrowed, or the canvas refuses, this segment is lost and the figure
// goes on.
void DrawSegment(Canvas& canvas, std::optional<float> fromX, std::optional<float> fromY,
                 std::optional<float> toX, std::optional<float> toY,
                 const std::optional<Colour>& colour) {
  if (!colour || !fromX || !fromY || !toX || !toY) return;
  canvas.DrawLine(*fromX, *fromY, *toX, *toY, *colour);
}

}  // namespace

// Long, as one piece: every figure's bits depend on its arithmetic staying in this order.
FigureRecord TraceFigure(const FigureDraws& draws, Directions& directions, double& x1, double& y1,
                         Canvas& canvas) {
  // Whatever ran before may have left the upper vector state dirty; on Intel every SSE
  // instruction below, sin and cos included, would pay for it.
  ClearUpperVectorState();
  FigureRecord record{draws, directions, {}};
  std::int16_t &fre = directions.red, &fgr = directions.green, &fbl = directions.blue;
  std::size_t drawn = 0;
  auto draw = [&] { return static_cast<double>(draws[drawn++]); };

  // Figure units: the canvas shows [-3, 3] on both axes, y upwards.
  constexpr double kScale = 500.0 / 6.0;  // pixels per figure unit
  constexpr double kOffset = 3.0;         // figure units from the centre to an edge

  double rad = 0, drad = 0, ph1 = 0, dph1 = 0, arm = 0, ph2 = 0, dph2 = 0;
  ColourChannels c;
  float kx1 = 0, ky1 = 0, kx2 = 0, ky2 = 0;

  rad = 2;          // pivot curve's amplitude, figure units
  drad = -0.00003;  // per step; rad crosses zero near step 66,667 and ends at -0.1
  GuardedStore(ph1, draw() * 6.286);  // 6.286 rather than 2 pi, as the figures were always made
  dph1 = 0.0005;                      // radians per step
  arm = 0.7;                          // arm's amplitude around the pivot, figure units
  GuardedStore(ph2, draw() * 6.286);
  dph2 = 0.002;  // radians per step: the arm turns four times as fast as the pivot
  GuardedStore(c.re, draw() * 256);
  GuardedStore(c.gr, draw() * 256);
  GuardedStore(c.bl, draw() * 256);
  // u / 20 rounded once, straight from double.
  GuardedStore(c.sre, draw() * 1 / 20);
  GuardedStore(c.sgr, draw() * 1 / 20);
  GuardedStore(c.sbl, draw() * 1 / 20);
  // u * 6 - 3 is exact in double; the float rounding happens once, on storing.
  GuardedStore(kx1, draw() * 6 - 3);
  GuardedStore(ky1, draw() * 6 - 3);
  GuardedStore(kx2, draw() * 6 - 3);
  GuardedStore(ky2, draw() * 6 - 3);

  // Each statement below is guarded on its own (GuardedStore): a result that cannot be stored
  // leaves its target as it was, and the figure goes on.
  double x0 = 0, y0 = 0, px0 = 0, py0 = 0, dx = 0, dy = 0, px1 = 0, py1 = 0;
  for (std::int32_t i = 1; i <= kSteps; ++i) {
    GuardedStore(rad, rad + drad);
    GuardedStore(ph1, ph1 + dph1);
    // The float factor meets the double phase in double precision.
    GuardedStore(x0, rad * std::cos(ph1 * kx1));
    GuardedStore(y0, rad * std::sin(ph1 * ky1));
    GuardedStore(px0, (x0 + kOffset) * kScale);
    GuardedStore(py0, (kOffset - y0) * kScale);
    GuardedStore(ph2, ph2 + dph2);
    GuardedStore(dx, arm * std::cos(ph2 * kx2));
    GuardedStore(dy, arm * std::sin(ph2 * ky2));
    GuardedStore(x1, x0 + dx);
    GuardedStore(y1, y0 + dy);
    GuardedStore(px1, (x1 + kOffset) * kScale);
    GuardedStore(py1, (kOffset - y1) * kScale);
    DriftColour(c, fre, fgr, fbl);
    // Nothing touches the channels between the three strokes, so one packing serves all three.
    const std::optional<Colour> colour = ChannelColour(c);
    // Three parallel strokes make the arm two pixels thick; the offsets are added in double
    // before narrowing. Each unshifted coordinate serves two strokes and is narrowed once.
    const auto fx0 = NarrowToFloat(px0), fy0 = NarrowToFloat(py0);
    const auto fx1 = NarrowToFloat(px1), fy1 = NarrowToFloat(py1);
    DrawSegment(canvas, fx0, fy0, fx1, fy1, colour);
    DrawSegment(canvas, NarrowToFloat(px0 + 1), fy0, NarrowToFloat(px1 + 1), fy1, colour);
    DrawSegment(canvas, fx0, NarrowToFloat(py0 + 1), fx1, NarrowToFloat(py1 + 1), colour);
  }

  record.end = directions;
  return record;
}

FigureDraws TakeFigureDraws(DrawSource& random) {
  random.Reseed();
  FigureDraws draws;
  for (float& u : draws) u = random.Next();
  return draws;
}

void TraceAgain(const FigureRecord& figure, Canvas& canvas) {
  canvas.SetBackground(kBlack);
  Directions directions = figure.start;
  double x1 = 0, y1 = 0;
  TraceFigure(figure.draws, directions, x1, y1, canvas);
}

}  // namespace stringart
