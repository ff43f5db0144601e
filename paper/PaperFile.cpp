#include "paper/PaperFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <span>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/FigureHistory.h"
#include "figure/Tracer.h"
#include "formats/BandedPng.h"
#include "formats/Svg.h"
#include "paper/PdfPage.h"
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
// plotters that take HP-GL/2, and VS its speed, in centimetres a second. A plotter buffers a
// few kilobytes: a path's PD is cut into instructions of at most kMaxInstruction characters.
// Points that round to the unit the pen is at are left out, and a path that goes nowhere in
// plotter units is not drawn: a pen put down without moving blots.
constexpr std::size_t kMaxInstruction = 1000;

std::string PlotterHpgl(const PenPlot& plot, const PaperSettings& paper,
                        const std::string& command) {
  const PaperLayout page = LayOut(paper);
  std::string out = "IN;\nCO\"" + command + "\";\n";
  auto units = [&page](PlotPoint p) {
    return std::pair{std::lround(page.X(p.x) * 40), std::lround((page.height - page.Y(p.y)) * 40)};
  };
  auto text = [](std::pair<long, long> p) {
    return std::to_string(p.first) + ',' + std::to_string(p.second);
  };
  std::string speed;
  AppendMillimetres(speed, paper.speed / 10.0);
  for (const PenPaths& pen : plot.pens) {
    const std::string number = std::to_string(pen.pen);
    const Colour c = pen.colour;
    out += "CO\"pen " + number + " " + FormatColour(c) + "\";\nPC" + number + "," +
           std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
           std::to_string(c.blue()) + ";\nSP" + number + ";\nVS" + speed + ";\n";
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      const auto path = pen.path(k);
      std::pair<long, long> at = units(path.front());
      std::string instruction;
      bool lowered = false;
      for (std::size_t i = 1; i < path.size(); ++i) {
        const auto next = units(path[i]);
        if (next == at) continue;
        if (!lowered) out += "PU" + text(at) + ";\n";
        lowered = true;
        at = next;
        const std::string point = text(next);
        if (!instruction.empty() && instruction.size() + 1 + point.size() + 1 > kMaxInstruction) {
          out += instruction + ";\n";
          instruction.clear();
        }
        instruction += instruction.empty() ? "PD" + point : "," + point;
      }
      if (!instruction.empty()) out += instruction + ";\n";
    }
  }
  // The pen lifted and put back, so that the last one does not dry on the paper.
  out += "PU;\nSP0;\n";
  return out;
}

// G-code for a GRBL or Marlin pen plotter: millimetres (G21), absolute (G90), from the sheet's
// lower-left corner with y upwards as HPGL counts; the pen lowered and lifted by a servo (M3 S,
// M5, each followed by a tenth of a second's dwell while it turns) or on the Z axis; drawing at
// the speed, travelling at the machine's rapid rate. Each pen is announced in a message and the
// plotter pauses (M0) for it to be put in. Points that round to the one before are left out:
// a plotter's planner stumbles over moves of no length.
std::string PlotterGcode(std::span<const PenPaths> pens, const PaperSettings& paper,
                         const std::string& command) {
  const PaperLayout page = LayOut(paper);
  std::string feed;
  AppendMillimetres(feed, paper.speed * 60.0);
  std::string down, up;
  if (paper.lift.z) {
    AppendMillimetres(up, paper.lift.value);
    down = "G1 Z0 F" + feed + "\n";
    up = "G0 Z" + up + "\n";
  } else {
    AppendMillimetres(down, paper.lift.value);
    down = "M3 S" + down + "\nG4 P0.1\n";
    up = "M5\nG4 P0.1\n";
  }
  // The command in a comment to the line's end, which GRBL and Marlin both pass over.
  std::string out = "; " + command + "\nG21\nG90\n" + up;
  std::string at;
  auto point = [&page](PlotPoint p) {
    std::string xy = "X";
    AppendMillimetres(xy, page.X(p.x));
    xy += " Y";
    AppendMillimetres(xy, page.height - page.Y(p.y));
    return xy;
  };
  for (const PenPaths& pen : pens) {
    out +=
        "(MSG,Put in pen " + std::to_string(pen.pen) + " " + FormatColour(pen.colour) + ")\nM0\n";
    for (std::size_t k = 0; k < pen.paths(); ++k) {
      const auto path = pen.path(k);
      at = point(path.front());
      out += "G0 " + at + "\n" + down;
      bool first = true;
      for (std::size_t i = 1; i < path.size(); ++i) {
        std::string next = point(path[i]);
        if (next == at) continue;
        out += "G1 " + next;
        if (first) out += " F" + feed;
        out += '\n';
        first = false;
        at = std::move(next);
      }
      out += up;
    }
  }
  out += "G0 X0 Y0\nM2\n";
  return out;
}

// The name of pen `number`'s file of G-code: "plot.gcode" becomes "plot-3.gcode".
std::string PenFileName(const std::string& path, int number) {
  const std::size_t dot = path.size() - std::string_view(".gcode").size();
  return path.substr(0, dot) + "-" + std::to_string(number) + path.substr(dot);
}

// Each pen's G-code in a file of its own, all written or none.
bool WritePenFiles(const PenPlot& plot, const ExportRequest& request, const std::string& command,
                   std::string& error) {
  std::vector<std::string> written;
  for (const PenPaths& pen : plot.pens) {
    const std::string name = PenFileName(request.path, pen.pen);
    if (!WriteFileAtomically(name, PlotterGcode(std::span(&pen, 1), *request.paper, command),
                             error)) {
      for (const std::string& done : written) std::remove(done.c_str());
      return false;
    }
    written.push_back(name);
  }
  return true;
}

// One PDF page of vectors, written by hand; Cairo's writing of the same page is its reference.
ExportResult PrintPdf(const FigureRecord& figure, const ExportRequest& request,
                      const std::vector<Segment>& segments, const ExportProgress& progress,
                      std::string& bytes, std::string& error) {
  const PaperSettings& paper = *request.paper;
  PdfPrint print = PrintOn(LayOut(paper));
  print.ground = !paper.onWhite;
  print.groundColour = paper.paperColour.value_or(kBlack);
  print.title = "Figure " + FigureName(figure);
  print.subject = RemakeCommand(figure, request);
  print.creator = "stringart";
  return WritePdfPage(segments, print, progress, 0.9, bytes, error);
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
  // The figure laid over the paper's colour, as on the sheet.
  const Colour ground = paper.paperColour.value_or(kBlack);
  const std::uint32_t groundPixel = ToPixel(ground);
  if (paper.paperColour)
    std::fill_n(square->pixels(), static_cast<std::size_t>(side) * side, groundPixel);
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
    page.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), groundPixel);
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
  const PenPlot plot = PlotWithPens(segments, *request.paper);
  if (progress && !progress(0.6)) return ExportResult::Cancelled;
  const std::string command = RemakeCommand(figure, request);
  if (request.format == FigureFormat::Gcode && request.paper->filePerPen) {
    if (progress && !progress(0.9)) return ExportResult::Cancelled;
    if (!WritePenFiles(plot, request, command, error)) return ExportResult::Failed;
    if (totals != nullptr) *totals = MeasurePlot(plot, *request.paper);
    return ExportResult::Written;
  }
  const std::string bytes =
      request.format == FigureFormat::Hpgl    ? PlotterHpgl(plot, *request.paper, command)
      : request.format == FigureFormat::Gcode ? PlotterGcode(plot.pens, *request.paper, command)
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
