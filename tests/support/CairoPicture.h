// The large picture as Cairo draws it, the way LargePicture drew it before it had a rasteriser of
// its own: the yardstick its pictures are held to, in the tests and the bench.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <span>
#include <thread>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "runtime/Cpus.h"

namespace stringart::testing {

// Strokes `segments` (500 x 500 canvas coordinates) over `pixels` (0xFFRRGGBB, width x height, no
// padding), canvas point (x, y) landing on (left + scale * (x + 0.5), top + scale * (y + 0.5)):
// each run of one colour one path, one canvas pixel wide with square caps, in bands of rows
// taken in turn by a thread a usable CPU. `antialias` CAIRO_ANTIALIAS_FAST is what LargePicture
// used.
inline void DrawWithCairo(std::span<const Segment> segments, std::uint32_t* pixels, int width,
                          int height, double scale, double left, double top,
                          cairo_antialias_t antialias = CAIRO_ANTIALIAS_FAST) {
  const int threads = std::clamp(UsableCpus(), 1, 8);
  const int bands = std::min(height, 8 * threads);
  std::atomic<int> nextBand{0};
  auto drawBand = [&](int bandTop, int bandBottom) {
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels + static_cast<std::ptrdiff_t>(bandTop) * width),
        CAIRO_FORMAT_RGB24, width, bandBottom - bandTop, width * 4);
    cairo_t* cairo = cairo_create(surface);
    cairo_set_antialias(cairo, antialias);
    const double half = scale / 2;
    cairo_translate(cairo, left + half, top + half - bandTop);
    cairo_scale(cairo, scale, scale);
    cairo_set_line_width(cairo, 1.0);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
    // The band's rows in canvas coordinates, widened by a stroke's reach beyond its ends.
    const double reach = 1.5;
    const double first = (bandTop - top) / scale - 0.5 - reach;
    const double last = (bandBottom - top) / scale - 0.5 + reach;
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
      drawBand(height * b / bands, height * (b + 1) / bands);
    }
  };
  std::vector<std::thread> others;
  for (int t = 1; t < threads; ++t) others.emplace_back(work);
  work();
  for (std::thread& t : others) t.join();
}

}  // namespace stringart::testing
