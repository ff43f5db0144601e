#include "smooth/LargePicture.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>

#include "runtime/Cpus.h"

namespace stringart {
namespace {

constexpr double kCanvasSide = 500.0;  // pixels of the canvas the figure is traced on

}  // namespace

LargePicture::LargePicture(int width, int height)
    : width_(width),
      height_(height),
      scale_(std::min(width, height) / kCanvasSide),
      left_((width - kCanvasSide * scale_) / 2),
      top_((height - kCanvasSide * scale_) / 2),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u) {}

void LargePicture::Clear() {
  std::fill(pixels_.begin(), pixels_.end(), 0xFF000000u);
}

void LargePicture::Draw(std::span<const Segment> segments) {
  // Bands of rows, each on a Cairo context of its own, taken in turn by a thread a core; each
  // band strokes only what reaches its rows. Narrow bands even out the work, which crowds where
  // the figure is.
  const int threads = std::clamp(UsableCpus(), 1, 8);
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

}  // namespace stringart
