#include "paper/PdfPage.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "runtime/Cpus.h"
#include "runtime/OnThreads.h"

namespace stringart {
namespace {

// libdeflate's level 5 makes the page as small as zlib's level 6 (Cairo's) in a quarter of the
// time; the levels below it add a tenth to the file.
constexpr int kLevel = 5;
// Segments a content stream, at least: a figure's 210,000 in 26 pieces, shared among the cores,
// and the progress told as each ends. A piece ends where the colour changes, so that each run is
// one path as Cairo makes it: a viewer smooths the edges of a path once, however its strokes
// overlap.
constexpr std::size_t kPiece = 8192;
// Points: a segment with a coordinate farther away, or not a number, is left out; no sheet shows
// it, and its quarters would overflow.
constexpr double kFar = 1e9;

void AppendInteger(std::string& out, long long value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// A multiple of a quarter as PDF writes a number: "12", "-3.25", "0.5".
void AppendQuarters(std::string& out, double value) {
  long long quarters = std::llround(value * 4);
  if (quarters < 0) {
    out += '-';
    quarters = -quarters;
  }
  AppendInteger(out, quarters >> 2);
  static constexpr const char* kFractions[] = {"", ".25", ".5", ".75"};
  out += kFractions[quarters & 3];
}

// A number of the page's frame, to a millionth, without trailing zeros.
void AppendNumber(std::string& out, double value) {
  char text[48];
  const int n = std::snprintf(text, sizeof text, "%.6f", value);
  int length = std::clamp(n, 0, static_cast<int>(sizeof text) - 1);
  while (length > 0 && text[length - 1] == '0') --length;
  if (length > 0 && text[length - 1] == '.') --length;
  out.append(text, static_cast<std::size_t>(length));
}

// A channel of 0 to 255 as a share of 1 to three decimals, which give back the same level.
void AppendChannel(std::string& out, int level) {
  int thousandths = (level * 1000 + 127) / 255;
  if (thousandths >= 1000) {
    out += '1';
    return;
  }
  out += '0';
  if (thousandths == 0) return;
  char digits[4] = {'.', static_cast<char>('0' + thousandths / 100),
                    static_cast<char>('0' + thousandths / 10 % 10),
                    static_cast<char>('0' + thousandths % 10)};
  std::size_t length = 4;
  while (digits[length - 1] == '0') --length;
  out.append(digits, length);
}

// A literal string: the backslash escapes its own kind and the parentheses.
void AppendText(std::string& out, const std::string& text) {
  out += '(';
  for (const char c : text) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  out += ')';
}

// What comes before the strokes: the page turned to y downwards, its ground, and the pen.
std::string Frame(const PdfPrint& print) {
  std::string out = "1 0 0 -1 0 ";
  AppendNumber(out, print.height);
  out += " cm\n";
  if (print.ground) {
    // To whole points, past the sheet's edge: a viewer's last row of dots, partly on the sheet,
    // is black too.
    for (const int channel :
         {print.groundColour.red(), print.groundColour.green(), print.groundColour.blue()}) {
      AppendChannel(out, channel);
      out += ' ';
    }
    out += "rg 0 0 ";
    AppendNumber(out, std::ceil(print.width));
    out += ' ';
    AppendNumber(out, std::ceil(print.height));
    out += " re f\n";
  }
  AppendNumber(out, print.scale);
  // Square ends, mitred joins (none are made: each stroke is a path of its own).
  out += " w 2 J 0 j 10 M\n";
  return out;
}

// The strokes of segments [first, end) into `out`: a path for each run of one colour.
void AppendStrokes(std::string& out, std::span<const Segment> segments, std::size_t first,
                   std::size_t end, const PdfPrint& print) {
  bool open = false;
  Colour colour;
  for (std::size_t i = first; i < end; ++i) {
    const Segment& s = segments[i];
    const double x0 = print.X(s.fromX), y0 = print.Y(s.fromY);
    const double x1 = print.X(s.toX), y1 = print.Y(s.toY);
    if (!(std::fabs(x0) < kFar && std::fabs(y0) < kFar && std::fabs(x1) < kFar &&
          std::fabs(y1) < kFar)) {
      continue;
    }
    if (!open || !(s.colour == colour)) {
      if (open) out += "S\n";
      colour = s.colour;
      AppendChannel(out, colour.red());
      out += ' ';
      AppendChannel(out, colour.green());
      out += ' ';
      AppendChannel(out, colour.blue());
      out += " RG\n";
      open = true;
    }
    AppendQuarters(out, x0);
    out += ' ';
    AppendQuarters(out, y0);
    out += " m ";
    AppendQuarters(out, x1);
    out += ' ';
    AppendQuarters(out, y1);
    out += " l\n";
  }
  if (open) out += "S\n";
}

// Every piece's strokes deflated, made on every core; the calling thread tells the progress.
// False when cancelled or out of memory (`outOfMemory` says which).
bool DeflatePieces(std::span<const Segment> segments, const PdfPrint& print,
                   const ExportProgress& progress, double progressTo,
                   std::vector<std::string>& pieces, bool& outOfMemory) {
  std::vector<std::size_t> starts = {0};
  for (std::size_t end = kPiece; end < segments.size(); end = starts.back() + kPiece) {
    while (end < segments.size() && segments[end].colour == segments[end - 1].colour) ++end;
    if (end == segments.size()) break;
    starts.push_back(end);
  }
  starts.push_back(segments.size());
  pieces.resize(segments.empty() ? 0 : starts.size() - 1);
  std::atomic<std::size_t> next{0}, finished{0};
  std::atomic<bool> stop{false}, failed{false};
  auto work = [&](bool reports) {
    try {
      const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressor(
          libdeflate_alloc_compressor(kLevel), libdeflate_free_compressor);
      if (compressor == nullptr) throw std::bad_alloc();
      std::string text;
      for (std::size_t p = next++; p < pieces.size() && !stop; p = next++) {
        text.clear();
        AppendStrokes(text, segments, starts[p], starts[p + 1], print);
        std::string& piece = pieces[p];
        piece.resize(libdeflate_zlib_compress_bound(compressor.get(), text.size()));
        piece.resize(libdeflate_zlib_compress(compressor.get(), text.data(), text.size(),
                                              piece.data(), piece.size()));
        const std::size_t done = ++finished;
        if (reports && progress &&
            !progress(progressTo * static_cast<double>(done) / pieces.size())) {
          stop = true;
        }
      }
    } catch (const std::bad_alloc&) {
      failed = true;
      stop = true;
    }
  };
  const std::size_t threads = std::min<std::size_t>(std::max(UsableCpus(), 1), pieces.size());
  OnThreads(static_cast<int>(threads), [&](int t) { work(t == 0); });
  outOfMemory = failed;
  return !stop;
}

// The cross-reference table of the objects that begin at `offsets`, the last of them the
// information, then the trailer that leads to it.
void AppendTrailer(std::string& bytes, const std::vector<std::size_t>& offsets) {
  const std::size_t xref = bytes.size();
  bytes += "xref\n0 ";
  AppendInteger(bytes, static_cast<long long>(offsets.size() + 1));
  bytes += "\n0000000000 65535 f \n";
  for (const std::size_t offset : offsets) {
    char entry[21];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    bytes.append(entry, 20);
  }
  bytes += "trailer\n<< /Size ";
  AppendInteger(bytes, static_cast<long long>(offsets.size() + 1));
  bytes += " /Root 1 0 R /Info ";
  AppendInteger(bytes, static_cast<long long>(offsets.size()));
  bytes += " 0 R >>\nstartxref\n";
  AppendInteger(bytes, static_cast<long long>(xref));
  bytes += "\n%%EOF\n";
}

// The file around the content streams: `frame` as it is, then the deflated pieces.
void AppendDocument(std::string& bytes, const PdfPrint& print, const std::string& frame,
                    const std::vector<std::string>& pieces) {
  std::vector<std::size_t> offsets;
  auto object = [&] {
    offsets.push_back(bytes.size());
    AppendInteger(bytes, static_cast<long long>(offsets.size()));
    bytes += " 0 obj\n";
  };
  // A comment of bytes above 127 tells file transfers that the file is binary.
  bytes = "%PDF-1.5\n%\xB5\xED\xAE\xFB\n";
  object();
  bytes += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
  object();
  bytes += "<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n";
  object();
  bytes += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
  AppendNumber(bytes, print.width);
  bytes += ' ';
  AppendNumber(bytes, print.height);
  bytes += "] /Resources << >> /Contents [";
  for (std::size_t p = 0; p <= pieces.size(); ++p) {
    if (p > 0) bytes += ' ';
    AppendInteger(bytes, static_cast<long long>(4 + p));
    bytes += " 0 R";
  }
  bytes += "] >>\nendobj\n";
  auto stream = [&](const std::string& data, bool deflated) {
    object();
    bytes += "<< /Length ";
    AppendInteger(bytes, static_cast<long long>(data.size()));
    if (deflated) bytes += " /Filter /FlateDecode";
    bytes += " >>\nstream\n";
    bytes += data;
    bytes += "\nendstream\nendobj\n";
  };
  stream(frame, false);
  for (const std::string& piece : pieces) stream(piece, true);
  // The information last, where the command is looked for.
  object();
  bytes += "<<";
  for (const auto& [key, text] : {std::pair{" /Title ", &print.title},
                                  {" /Subject ", &print.subject},
                                  {" /Creator ", &print.creator}}) {
    bytes += key;
    AppendText(bytes, *text);
  }
  bytes += " /Producer (stringart) >>\nendobj\n";
  AppendTrailer(bytes, offsets);
}

cairo_status_t AppendBytes(void* to, const unsigned char* bytes, unsigned int size) {
  static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(bytes), size);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

PdfPrint PrintOn(const PaperLayout& page) {
  constexpr double kPointsPerMm = 72 / 25.4;
  PdfPrint print;
  print.width = page.width * kPointsPerMm;
  print.height = page.height * kPointsPerMm;
  print.scale = page.scale() * kPointsPerMm;
  print.left = page.X(0) * kPointsPerMm;
  print.top = page.Y(0) * kPointsPerMm;
  return print;
}

ExportResult WritePdfPage(std::span<const Segment> segments, const PdfPrint& print,
                          const ExportProgress& progress, double progressTo, std::string& bytes,
                          std::string& error) {
  try {
    std::vector<std::string> pieces;
    bool outOfMemory = false;
    if (DeflatePieces(segments, print, progress, progressTo, pieces, outOfMemory)) {
      AppendDocument(bytes, print, Frame(print), pieces);
      return ExportResult::Written;
    }
    if (!outOfMemory) return ExportResult::Cancelled;
  } catch (const std::bad_alloc&) {
  }
  bytes.clear();
  error = "not enough memory for the page";
  return ExportResult::Failed;
}

ExportResult WritePdfPageWithCairo(std::span<const Segment> segments, const PdfPrint& print,
                                   const ExportProgress& progress, double progressTo,
                                   std::string& bytes, std::string& error) {
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(AppendBytes, &bytes, print.width, print.height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_SUBJECT, print.subject.c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, print.title.c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, print.creator.c_str());
  cairo_t* cairo = cairo_create(surface);
  if (print.ground) {
    cairo_set_source_rgb(cairo, print.groundColour.red() / 255.0,
                         print.groundColour.green() / 255.0, print.groundColour.blue() / 255.0);
    cairo_paint(cairo);
  }
  // Points placed by hand on Cairo's own space: with it left as it is, no transformation is
  // written around every path.
  cairo_set_line_width(cairo, print.scale);
  cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
  ExportResult result = ExportResult::Written;
  for (std::size_t i = 0; i < segments.size();) {
    const Colour colour = segments[i].colour;
    for (; i < segments.size() && segments[i].colour == colour; ++i) {
      const Segment& s = segments[i];
      cairo_move_to(cairo, print.X(s.fromX), print.Y(s.fromY));
      cairo_line_to(cairo, print.X(s.toX), print.Y(s.toY));
    }
    cairo_set_source_rgb(cairo, colour.red() / 255.0, colour.green() / 255.0,
                         colour.blue() / 255.0);
    cairo_stroke(cairo);
    if (progress && i % 4096 < 3 &&
        !progress(progressTo * static_cast<double>(i) / segments.size())) {
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

}  // namespace stringart
