#pragma once

#include <QImage>
#include <span>

#include "canvas/SegmentRecorder.h"
#include "options/Paper.h"
#include "paper/PenPlot.h"

namespace stringart {

// The figure's segments drawn once, `side` pixels square, on nothing: what a print's preview
// lays on its square.
QImage FigureImage(std::span<const Segment> segments, int side);

// The sheet as "Save for paper" will make it, `longest` pixels along its longer side: `ground`,
// the paper's colour or a print's, and on it either a plotter's lines in its pens' colours at the
// pen's width (`plot`), or a print's figure (`figure`, from FigureImage) on its square.
QImage PaperPreview(const PaperSettings& settings, Colour ground, const PenPlot* plot,
                    const QImage& figure, int longest);

}  // namespace stringart
