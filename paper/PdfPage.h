#pragma once

#include <cmath>
#include <span>
#include <string>

#include "canvas/SegmentRecorder.h"
#include "formats/ExportProgress.h"
#include "options/Paper.h"

namespace stringart {

// A figure's segments as strokes on one sheet, in PostScript points (1/72 inch) from the
// sheet's top-left corner, y downwards.
struct PdfPrint {
  double width = 0, height = 0;         // the sheet
  double left = 0, top = 0, scale = 1;  // canvas point (0, 0) and a canvas pixel
  bool ground = true;                   // the sheet painted under the strokes
  Colour groundColour = kBlack;         // in this colour
  std::string title, subject, creator;  // the document's information, printable ASCII

  // Where canvas point (x, y) lies, on a grid of a quarter of a point: within 0.044 mm of its
  // place, half a dot at 300 dpi, and written with at most two decimals.
  double X(float canvasX) const { return std::round((left + canvasX * scale) * 4) / 4; }
  double Y(float canvasY) const { return std::round((top + canvasY * scale) * 4) / 4; }
};

// The sheet of `page` (millimetres) in points, the figure where the page puts it, on black.
PdfPrint PrintOn(const PaperLayout& page);

// One PDF page of vectors: every segment a stroke a canvas pixel wide in its colour, square ends
// painting both end points as the raster does, in drawing order. Written by hand: the page's
// text made and deflated (libdeflate) in pieces on every core, a content stream each; the same
// page as Cairo's for a tenth of the time. Into `bytes`; Failed with `error` set to one line
// when memory runs out; `progress` hears of the work, up to `progressTo`, and may cancel.
ExportResult WritePdfPage(std::span<const Segment> segments, const PdfPrint& print,
                          const ExportProgress& progress, double progressTo, std::string& bytes,
                          std::string& error);

// The same page through Cairo's PDF surface, one path for each run of one colour: the reference
// the other is checked against, in the tests and the bench.
ExportResult WritePdfPageWithCairo(std::span<const Segment> segments, const PdfPrint& print,
                                   const ExportProgress& progress, double progressTo,
                                   std::string& bytes, std::string& error);

}  // namespace stringart
