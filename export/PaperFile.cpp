#include "export/PaperFile.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <span>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "canvas/Svg.h"
#include "export/BandedPng.h"
#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "runtime/AtomicFile.h"
#include "smooth/LargePicture.h"

namespace stringart {
namespace {

std::vector<Segment> Segments(const FigureRecord& figure) {
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  return drawing.segments();
}

// Millimetres to a thousandth, without trailing zeros: "12.5", "0.075", "210".
void AppendMillimetres(std::string& out, double mm) {
  long long thousandths = std::llround(mm * 1000);
  if (thousandths < 0) out += '-', thousandths = -thousandths;
  out += std::to_string(thousandths / 1000);
  int fraction = static_cast<int>(thousandths % 1000);
  if (fraction == 0) return;
  char digits[5] = {'.', static_cast<char>('0' + fraction / 100),
                    static_cast<char>('0' + fraction / 10 % 10),
                    static_cast<char>('0' + fraction % 10), '\0'};
  std::size_t length = 4;
  while (digits[length - 1] == '0') --length;
  out.append(digits, length);
}

// An SVG a plotter's tools (Inkscape and its AxiDraw extension) read: millimetres, no ground,
// a layer for each pen named by its number and colour, holding that pen's paths in order.
std::string PlotterSvg(const PenPlot& plot, const PaperSettings& paper,
                       const std::string& command) {
  const PaperLayout page = LayOut(paper);
  std::string out;
  std::size_t points = 0;
  for (const PenPaths& pen : plot.pens) points += pen.points.size();
  out.reserve(4096 + points * 16);
  std::string pageWidth, pageHeight;
  AppendMillimetres(pageWidth, page.width);
  AppendMillimetres(pageHeight, page.height);
  AppendSvgStart(out, " xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"",
                 pageWidth + "mm", pageHeight + "mm", pageWidth, pageHeight, command);
  std::string width;
  AppendMillimetres(width, paper.penWidth);
  for (const PenPaths& pen : plot.pens) {
    const std::string number = std::to_string(pen.pen), colour = FormatColour(pen.colour);
    // Round ends and joins: the shape a pen's tip leaves.
    out += "<g inkscape:groupmode=\"layer\" inkscape:label=\"" + number + " " + colour +
           "\" id=\"pen" + number + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
           width + "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      out += "<polyline points=\"";
      bool first = true;
      for (const PlotPoint p : pen.path(k)) {
        if (!first) out += ' ';
        first = false;
        AppendMillimetres(out, page.X(p.x));
        out += ',';
        AppendMillimetres(out, page.Y(p.y));
      }
      out += "\"/>\n";
    }
    out += "</g>\n";
  }
  out += "</svg>\n";
  return out;
}

// HPGL in plotter units, 40 a millimetre, from the sheet's lower-left corner with y upwards, as
// plotters count. The command and each pen's colour ride in comments (CO, which HPGL readers
// pass over) ahead of the pen they name; PC gives the pen its colour for viewers and for
// plotters that take HP-GL/2.
std::string PlotterHpgl(const PenPlot& plot, const PaperSettings& paper,
                        const std::string& command) {
  const PaperLayout page = LayOut(paper);
  std::string out = "IN;\nCO\"" + command + "\";\n";
  auto append = [&out, &page](PlotPoint p) {
    out += std::to_string(std::lround(page.X(p.x) * 40));
    out += ',';
    out += std::to_string(std::lround((page.height - page.Y(p.y)) * 40));
  };
  for (const PenPaths& pen : plot.pens) {
    const std::string number = std::to_string(pen.pen);
    const Colour c = pen.colour;
    out += "CO\"pen " + number + " " + FormatColour(c) + "\";\nPC" + number + "," +
           std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
           std::to_string(c.blue()) + ";\nSP" + number + ";\n";
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      const auto path = pen.path(k);
      out += "PU";
      append(path.front());
      out += ";\nPD";
      for (std::size_t i = 1; i < path.size(); ++i) {
        if (i > 1) out += ',';
        append(path[i]);
      }
      out += ";\n";
    }
  }
  // The pen lifted and put back, so that the last one does not dry on the paper.
  out += "PU;\nSP0;\n";
  return out;
}

cairo_status_t AppendBytes(void* to, const unsigned char* bytes, unsigned int size) {
  static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(bytes), size);
  return CAIRO_STATUS_SUCCESS;
}

// One PDF page of vectors: a path for each run of one colour, every canvas pixel a stroke as
// wide, square ends painting both end points as the raster does.
ExportResult PrintPdf(const FigureRecord& figure, const ExportRequest& request,
                      const std::vector<Segment>& segments, const ExportProgress& progress,
                      std::string& bytes, std::string& error) {
  const PaperSettings& paper = *request.paper;
  const PaperLayout page = LayOut(paper);
  constexpr double kPointsPerMm = 72 / 25.4;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(
      AppendBytes, &bytes, page.width * kPointsPerMm, page.height * kPointsPerMm);
  const std::string command = RemakeCommand(figure, request);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_SUBJECT, command.c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE,
                                 ("Figure " + FigureName(figure)).c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "stringart");
  cairo_t* cairo = cairo_create(surface);
  if (!paper.onWhite) {
    cairo_set_source_rgb(cairo, 0, 0, 0);
    cairo_paint(cairo);
  }
  // Points placed by hand on Cairo's own space, on a grid of a quarter of a point: each lies
  // within 0.044 mm of its place, half a dot at 300 dpi. Cairo then writes each coordinate with
  // at most two decimals, and with the space left as it is no transformation around every path:
  // the page is half the size and made in half the time, most of it going to compressing it.
  const double scale = page.scale() * kPointsPerMm;
  const double left = page.X(0) * kPointsPerMm, top = page.Y(0) * kPointsPerMm;
  auto x = [&](float canvasX) { return std::round((left + canvasX * scale) * 4) / 4; };
  auto y = [&](float canvasY) { return std::round((top + canvasY * scale) * 4) / 4; };
  cairo_set_line_width(cairo, scale);
  cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
  ExportResult result = ExportResult::Written;
  for (std::size_t i = 0; i < segments.size();) {
    const Colour colour = segments[i].colour;
    for (; i < segments.size() && segments[i].colour == colour; ++i) {
      const Segment& s = segments[i];
      cairo_move_to(cairo, x(s.fromX), y(s.fromY));
      cairo_line_to(cairo, x(s.toX), y(s.toY));
    }
    cairo_set_source_rgb(cairo, colour.red() / 255.0, colour.green() / 255.0,
                         colour.blue() / 255.0);
    cairo_stroke(cairo);
    if (progress && i % 4096 < 3 && !progress(0.9 * static_cast<double>(i) / segments.size())) {
      result = ExportResult::Cancelled;
      break;
    }
  }
  cairo_destroy(cairo);
  cairo_surface_finish(surface);
  const cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (result == ExportResult::Written && status != CAIRO_STATUS_SUCCESS) {
    error = cairo_status_to_string(status);
    result = ExportResult::Failed;
  }
  return result;
}

// The anti-aliased picture of the figure's square, laid on a black page of the paper's pixels.
ExportResult PrintPng(const FigureRecord& figure, const ExportRequest& request,
                      const std::vector<Segment>& segments, const ExportProgress& progress,
                      std::string& error) {
  const PaperSettings& paper = *request.paper;
  const PaperLayout layout = LayOut(paper);
  const double perMm = paper.dpi / 25.4;
  const auto [width, height] = request.size;
  const int side =
      std::min(static_cast<int>(std::lround(layout.side * perMm)), std::min(width, height));
  std::optional<LargePicture> square = LargePicture::Make(side, side, error);
  if (!square) return ExportResult::Failed;
  // In slices that end where the colour changes, so that slicing does not change the picture.
  constexpr std::size_t kSlice = 4096;
  for (std::size_t start = 0; start < segments.size();) {
    std::size_t end = std::min(segments.size(), start + kSlice);
    while (end < segments.size() && segments[end].colour == segments[end - 1].colour) ++end;
    square->Draw(std::span(segments).subspan(start, end - start));
    start = end;
    if (progress && !progress(0.5 * static_cast<double>(start) / segments.size())) {
      return ExportResult::Cancelled;
    }
  }
  std::vector<std::uint32_t> page;
  try {
    page.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u);
  } catch (const std::bad_alloc&) {
    error = "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels";
    return ExportResult::Failed;
  }
  const int left = std::clamp(static_cast<int>(std::lround(layout.left * perMm)), 0, width - side);
  const int top = std::clamp(static_cast<int>(std::lround(layout.top * perMm)), 0, height - side);
  for (int y = 0; y < side; ++y) {
    std::copy_n(square->pixels() + static_cast<std::size_t>(y) * side, side,
                page.begin() + static_cast<std::ptrdiff_t>(top + y) * width + left);
  }
  square.reset();
  PngOptions png;
  png.texts = {{"Software", "stringart"}, {"Comment", RemakeCommand(figure, request)}};
  // Printed at this resolution, the page comes out at the paper's size.
  png.pixelsPerMetre = static_cast<int>(std::lround(paper.dpi / 0.0254));
  png.progressFrom = 0.5;
  return WriteBandedPng(request.path, page.data(), width, height, png, progress, error);
}

}  // namespace

ExportResult SavePlotterFile(const FigureRecord& figure, const ExportRequest& request,
                             const ExportProgress& progress, std::string& error,
                             PlotTotals* totals) {
  const std::vector<Segment> segments = Segments(figure);
  if (progress && !progress(0.1)) return ExportResult::Cancelled;
  const PenPlot plot = PlotWithPens(segments, request.paper->pens);
  if (progress && !progress(0.6)) return ExportResult::Cancelled;
  const std::string command = RemakeCommand(figure, request);
  const std::string bytes = request.format == FigureFormat::Hpgl
                                ? PlotterHpgl(plot, *request.paper, command)
                                : PlotterSvg(plot, *request.paper, command);
  if (progress && !progress(0.9)) return ExportResult::Cancelled;
  if (!WriteFileAtomically(request.path, bytes, error)) return ExportResult::Failed;
  if (totals != nullptr) *totals = MeasurePlot(plot, *request.paper);
  return ExportResult::Written;
}

ExportResult SavePrint(const FigureRecord& figure, const ExportRequest& request,
                       const ExportProgress& progress, std::string& error) {
  const std::vector<Segment> segments = Segments(figure);
  if (request.format == FigureFormat::Png) {
    return PrintPng(figure, request, segments, progress, error);
  }
  std::string bytes;
  const ExportResult result = PrintPdf(figure, request, segments, progress, bytes, error);
  if (result != ExportResult::Written) return result;
  return WriteFileAtomically(request.path, bytes, error) ? ExportResult::Written
                                                         : ExportResult::Failed;
}

}  // namespace stringart
