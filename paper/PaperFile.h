#pragma once

#include <string>

#include "figure/FigureRecord.h"
#include "formats/ExportProgress.h"
#include "options/ExportRequest.h"
#include "options/Paper.h"
#include "paper/Plot.h"

namespace stringart {

// Files for a sheet of paper, the figure centred in the square inside the margin, each carrying
// the command that makes it again, written all or nothing. `progress` hears of the work and may
// cancel; a failure sets `error` to one line without the path.

// A plotter's file of the figure's segments as the pens of the request draw them, joined and
// ordered: an SVG in millimetres with an Inkscape layer for each pen (.svg), HPGL (.hpgl,
// .plt), or G-code (.gcode), in one file that pauses to change pens or, when the paper asks,
// one for each pen ("plot-1.gcode", ...). `totals`, when given, receives the plot's lengths and
// time.
ExportResult SavePlotterFile(const FigureRecord& figure, const ExportRequest& request,
                             const ExportProgress& progress, std::string& error,
                             PlotTotals* totals = nullptr);

// A print of the figure in its own colours: a PDF page of vectors, one path for each run of one
// colour, on black or on white (.pdf); or the anti-aliased picture at the page's pixels, with
// its dots per inch stored (.png).
ExportResult SavePrint(const FigureRecord& figure, const ExportRequest& request,
                       const ExportProgress& progress, std::string& error);

}  // namespace stringart
