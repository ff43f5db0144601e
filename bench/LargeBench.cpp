// The example figure as a 4000 x 4000 anti-aliased picture: the program's way (LargePicture:
// Cairo's fast anti-aliasing, a path per run of one colour, bands of rows on every core) against
// the naive QPainter way and the other ways tried, each on one thread. Each case clears the picture
// and draws the figure's 210,000 strokes, each 8 pixels wide with square ends, at the same places.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <array>
#include <cmath>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "smooth/LargePicture.h"

namespace stringart {
namespace {

constexpr int kSide = 4000;               // pixels
constexpr double kScale = kSide / 500.0;  // s: pixels per canvas pixel, the stroke width
constexpr double kOrigin = kScale / 2;    // where canvas pixel centre 0 lands

const std::vector<Segment>& Segments() {
  static const std::vector<Segment> segments = [] {
    SegmentRecorder recorder;
    TraceAgain({{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.15f, 0.35f, 0.55f},
                {1, 1, 1},
                {}},
               recorder);
    return recorder.segments();
  }();
  return segments;
}

QPointF Place(float x, float y) {
  return {kOrigin + x * kScale, kOrigin + y * kScale};
}

QColor ToQColor(Colour c) {
  return QColor(c.red(), c.green(), c.blue());
}

// What a QPainter user writes first: antialiasing on, one pen and one drawLine a stroke.
void BM_Large4000NaiveQPainter(benchmark::State& state) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Segment& s : Segments()) {
      painter.setPen(QPen(ToQColor(s.colour), kScale, Qt::SolidLine, Qt::SquareCap));
      painter.drawLine(QLineF(Place(s.fromX, s.fromY), Place(s.toX, s.toY)));
    }
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

// QPainter with one pen and one path for each run of strokes of one colour.
void BM_Large4000QPainterRuns(benchmark::State& state) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  const std::vector<Segment>& segments = Segments();
  for (auto _ : state) {
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < segments.size();) {
      const Colour colour = segments[i].colour;
      QPainterPath path;
      for (; i < segments.size() && segments[i].colour == colour; ++i) {
        path.moveTo(Place(segments[i].fromX, segments[i].fromY));
        path.lineTo(Place(segments[i].toX, segments[i].toY));
      }
      painter.strokePath(path, QPen(ToQColor(colour), kScale, Qt::SolidLine, Qt::SquareCap));
    }
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

// Cairo with a run of one colour stroked as one path, 8 wide with square caps, on one thread;
// CAIRO_ANTIALIAS_DEFAULT or, as the program, CAIRO_ANTIALIAS_FAST.
void CairoRuns(benchmark::State& state, cairo_antialias_t antialias) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSide, kSide);
  cairo_t* cairo = cairo_create(surface);
  cairo_set_antialias(cairo, antialias);
  cairo_set_line_width(cairo, kScale);
  cairo_set_line_cap(cairo, CAIRO_LINE_CAP_SQUARE);
  const std::vector<Segment>& segments = Segments();
  for (auto _ : state) {
    cairo_set_source_rgb(cairo, 0, 0, 0);
    cairo_paint(cairo);
    for (std::size_t i = 0; i < segments.size();) {
      const Colour c = segments[i].colour;
      cairo_set_source_rgb(cairo, c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0);
      for (; i < segments.size() && segments[i].colour == c; ++i) {
        const QPointF a = Place(segments[i].fromX, segments[i].fromY);
        const QPointF b = Place(segments[i].toX, segments[i].toY);
        cairo_move_to(cairo, a.x(), a.y());
        cairo_line_to(cairo, b.x(), b.y());
      }
      cairo_stroke(cairo);
    }
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
  }
  cairo_destroy(cairo);
  cairo_surface_destroy(surface);
}

void BM_Large4000CairoRuns(benchmark::State& state) {
  CairoRuns(state, CAIRO_ANTIALIAS_DEFAULT);
}
void BM_Large4000CairoFastRuns(benchmark::State& state) {
  CairoRuns(state, CAIRO_ANTIALIAS_FAST);
}

// The program's way: LargePicture.
void BM_Large4000(benchmark::State& state) {
  for (auto _ : state) {
    LargePicture picture(kSide, kSide);
    picture.Draw(Segments());
    benchmark::DoNotOptimize(picture.pixels());
  }
}

// Seconds a picture: one drawing per repetition, three repetitions.
void Large(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_Large4000)->Apply(Large)->UseRealTime();
BENCHMARK(BM_Large4000NaiveQPainter)->Apply(Large)->UseRealTime();
BENCHMARK(BM_Large4000QPainterRuns)->Apply(Large)->UseRealTime();
BENCHMARK(BM_Large4000CairoRuns)->Apply(Large)->UseRealTime();
BENCHMARK(BM_Large4000CairoFastRuns)->Apply(Large)->UseRealTime();

}  // namespace
}  // namespace stringart
