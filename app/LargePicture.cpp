#include "app/LargePicture.h"

#include <cairo.h>
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <new>
#include <thread>

#include "app/AtomicFile.h"
#include "window/Tracer.h"

namespace stringart {
namespace {

constexpr double kCanvasSide = 500.0;  // pixels of the canvas the figure is traced on

// Where libpng's bytes go: a file descriptor, and the system's reason when a write fails.
struct PngSink {
  int fd = -1;
  std::string error;
};

void WritePngBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  for (png_size_t done = 0; done < size;) {
    const ssize_t n = write(sink->fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sink->error = n < 0 ? std::strerror(errno) : "nothing written";
      png_error(png, "write failed");
    }
    done += static_cast<png_size_t>(n);
  }
}

void FlushPng(png_structp) {}

void OnPngError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  if (sink->error.empty()) sink->error = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Encodes the picture row by row. Kept free of objects with destructors, since libpng reports
// errors by a long jump back into it.
ExportResult EncodePng(png_structp png, png_infop info, const LargePicture& picture, png_textp text,
                       int texts, const ExportProgress& progress) {
  if (setjmp(png_jmpbuf(png))) return ExportResult::Failed;
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()),
               static_cast<png_uint_32>(picture.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_text(png, info, text, texts);
  // Two cheap filters rather than libpng's trial of all five on every row, for speed on
  // pictures of up to 268 million pixels that are mostly black and flat strokes.
  png_set_filter(png, 0, PNG_FILTER_SUB | PNG_FILTER_UP);
  png_write_info(png, info);
  // Rows are 0xFFRRGGBB words: bytes B, G, R, 0xFF in memory.
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  const int rows = picture.height();
  for (int y = 0; y < rows; ++y) {
    const std::uint32_t* row = picture.pixels() + static_cast<std::ptrdiff_t>(y) * picture.width();
    png_write_row(png, reinterpret_cast<png_const_bytep>(row));
    if ((y & 63) == 63 && progress && !progress(0.5 + 0.5 * (y + 1) / rows)) {
      return ExportResult::Cancelled;
    }
  }
  png_write_end(png, info);
  return ExportResult::Written;
}

}  // namespace

LargePicture::LargePicture(int width, int height)
    : width_(width),
      height_(height),
      scale_(std::min(width, height) / kCanvasSide),
      left_((width - kCanvasSide * scale_) / 2),
      top_((height - kCanvasSide * scale_) / 2),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u) {}

void LargePicture::Draw(std::span<const Segment> segments) {
  // Bands of rows, each on a Cairo context of its own, taken in turn by a thread a core; each
  // band strokes only what reaches its rows. Narrow bands even out the work, which crowds where
  // the figure is.
  const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
  const int bands = std::min(height_, 8 * threads);
  std::atomic<int> nextBand{0};
  auto drawBand = [&](int top, int bottom) {
    // Cairo's RGB24 is our 0xFFRRGGBB word with the top byte unused; rows have no padding.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels_.data() +
                                         static_cast<std::ptrdiff_t>(top) * width_),
        CAIRO_FORMAT_RGB24, width_, bottom - top, width_ * 4);
    cairo_t* cairo = cairo_create(surface);
    // Cairo's quicker anti-aliasing: half the time of its default, edges alike to the eye
    // (docs/performance.md).
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_FAST);
    const double half = scale_ / 2;
    cairo_translate(cairo, left_ + half, top_ + half - top);  // canvas pixel centres
    cairo_scale(cairo, scale_, scale_);
    cairo_set_line_width(cairo, 1.0);  // one canvas pixel, s pixels
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
    // The band's rows in canvas coordinates, widened by a stroke's reach beyond its ends.
    const double reach = 1.5;
    const double first = (top - top_) / scale_ - 0.5 - reach;
    const double last = (bottom - top_) / scale_ - 0.5 + reach;
    for (std::size_t i = 0; i < segments.size();) {
      const Colour colour = segments[i].colour;
      bool any = false;
      for (; i < segments.size() && segments[i].colour == colour; ++i) {
        const Segment& s = segments[i];
        if (std::max(s.fromY, s.toY) < first || std::min(s.fromY, s.toY) > last) continue;
        cairo_move_to(cairo, s.fromX, s.fromY);
        cairo_line_to(cairo, s.toX, s.toY);
        any = true;
      }
      if (!any) continue;
      cairo_set_source_rgb(cairo, colour.red() / 255.0, colour.green() / 255.0,
                           colour.blue() / 255.0);
      cairo_stroke(cairo);
    }
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
  };
  auto work = [&] {
    for (int b = nextBand++; b < bands; b = nextBand++) {
      drawBand(height_ * b / bands, height_ * (b + 1) / bands);
    }
  };
  std::vector<std::thread> others;
  for (int t = 1; t < threads; ++t) others.emplace_back(work);
  work();
  for (std::thread& t : others) t.join();
}

std::optional<LargePicture> LargePicture::Make(int width, int height, std::string& error) {
  try {
    return LargePicture(width, height);
  } catch (const std::bad_alloc&) {
    error = "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels";
    return std::nullopt;
  }
}

ExportResult SaveLargePicture(const FigureRecord& figure, int width, int height,
                              const std::string& remakeCommand, const std::string& path,
                              const ExportProgress& progress, std::string& error) {
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  const std::vector<Segment>& segments = drawing.segments();

  std::optional<LargePicture> picture = LargePicture::Make(width, height, error);
  if (!picture) return ExportResult::Failed;
  // In slices that end where the colour changes, so that slicing does not change the picture.
  constexpr std::size_t kSlice = 4096;
  for (std::size_t start = 0; start < segments.size();) {
    std::size_t end = std::min(segments.size(), start + kSlice);
    while (end < segments.size() && segments[end].colour == segments[end - 1].colour) ++end;
    picture->Draw(std::span(segments).subspan(start, end - start));
    start = end;
    if (progress && !progress(0.5 * static_cast<double>(start) / segments.size())) {
      return ExportResult::Cancelled;
    }
  }

  const auto temp = CreateTempBeside(path, error);
  if (!temp) return ExportResult::Failed;
  PngSink sink;
  sink.fd = open(temp->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (sink.fd < 0) {
    error = std::strerror(errno);
    unlink(temp->c_str());
    return ExportResult::Failed;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  ExportResult result = ExportResult::Failed;
  if (info != nullptr) {
    png_set_write_fn(png, &sink, WritePngBytes, FlushPng);
    std::string software = "stringart", comment = remakeCommand;
    std::string softwareKey = "Software", commentKey = "Comment";
    png_text text[2] = {};
    text[0].compression = text[1].compression = PNG_TEXT_COMPRESSION_NONE;
    text[0].key = softwareKey.data();
    text[0].text = software.data();
    text[1].key = commentKey.data();
    text[1].text = comment.data();
    result = EncodePng(png, info, *picture, text, 2, progress);
  } else {
    sink.error = "out of memory";
  }
  png_destroy_write_struct(&png, &info);
  if (close(sink.fd) != 0 && result == ExportResult::Written) {
    sink.error = std::strerror(errno);
    result = ExportResult::Failed;
  }
  if (result != ExportResult::Written) {
    unlink(temp->c_str());
    if (result == ExportResult::Failed) error = sink.error;
    return result;
  }
  return CommitTemp(*temp, path, error) ? ExportResult::Written : ExportResult::Failed;
}

}  // namespace stringart
