#pragma once

#include <cstdint>

#include "canvas/Canvas.h"
#include "figure/FigureRecord.h"
#include "runtime/DrawSource.h"

namespace stringart {

inline constexpr std::int32_t kSteps = 70000;                   // steps of one figure
inline constexpr std::int32_t kSegmentsPerFigure = 3 * kSteps;  // three strokes a step

// Traces one figure of kSteps steps from its twelve draws over whatever `canvas` shows.
// `directions` (fre, fgr, fbl) are the colour directions it starts with and, on return, the ones
// it leaves for the next figure. `x1`, `y1` receive the arm's outer end at the last step, in
// figure units; a statement that fails keeps their previous value. Returns what the figure was
// made from and what it left.
FigureRecord TraceFigure(const FigureDraws& draws, Directions& directions, double& x1, double& y1,
                         Canvas& canvas);

// Reseeds `random` and takes a figure's twelve draws from it, in draw order.
FigureDraws TakeFigureDraws(DrawSource& random);

// Traces `figure` again from its draws and start directions onto `canvas`, after a black
// background: the same segments, in the same order, as when it was first traced.
void TraceAgain(const FigureRecord& figure, Canvas& canvas);

}  // namespace stringart
