// stringart-bench: one figure traced and drawn, on our raster and on QPainter and Cairo, and the
// trace and the raster on their own. Every case draws the same figure, that of the draws
// 0.1 ... 0.55 starting with all colour directions rising.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QColor>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QLineF>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/FigureFileWriter.h"
#include "canvas/Picture1.h"
#include "canvas/Raster.h"
#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "figure/TwoCoreTracer.h"
#include "journal/Journal.h"
#include "runtime/VectorState.h"
#include "text/FigureCommand.h"
#include "window/Form1Window.h"
#include "window/GalleryWindow.h"
#include "window/Picture1View.h"
#include "window/ThumbnailCache.h"

namespace stringart {
namespace {

// The figure's segments, traced once.
const std::vector<Segment>& FigureSegments() {
  static const std::vector<Segment> segments = [] {
    SegmentRecorder recorder;
    TraceAgain({kExampleDraws, {1, 1, 1}, {}}, recorder);
    return recorder.segments();
  }();
  return segments;
}

// Pixel writes the figure makes on the 500 x 500 raster, off-raster steps not counted.
double PixelsPerFigure() {
  static const double pixels = [] {
    double total = 0;
    for (const Segment& s : FigureSegments()) {
      const PixelSegment p = SnapSegment(s.fromX, s.fromY, s.toX, s.toY);
      const std::int64_t dx = p.x1 - p.x0, dy = p.y1 - p.y0;
      const std::int64_t n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
      // The figure lies within [25, 476]: every step lands on the raster.
      total += static_cast<double>(n + 1);
    }
    return total;
  }();
  return pixels;
}

void SetCounters(benchmark::State& state) {
  const double pixels = PixelsPerFigure();
  state.counters["px/figure"] = pixels;
  // Inverted rate: seconds per painted pixel, shown with an SI prefix (n = nanoseconds).
  state.counters["s/px"] = benchmark::Counter(
      pixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Leaves the upper halves of the vector registers dirty, as library code compiled for AVX does
// when it returns without vzeroupper. Written as assembly so that no compiler adds one; run only
// where the processor has AVX.
[[gnu::noinline]] void DirtyUpperVectorState() {
#if defined(__x86_64__)
  if (ClearsUpperVectorState()) {
    asm volatile("vcmpps $15, %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");  // all ones, 256 bits
  }
#endif
}

enum class Start { Clean, Dirty };

// Traces the figure onto `canvas` once per iteration, each time after a clearing, as "new" does,
// from a clean or a dirty vector state.
void TraceFigures(benchmark::State& state, Canvas& canvas, Start start = Start::Clean) {
  canvas.SetBackground(kBlack);
  for (auto _ : state) {
    Directions directions;
    double x1 = 0, y1 = 0;
    canvas.Clear();
    if (start == Start::Dirty) {
      DirtyUpperVectorState();
    } else {
      ClearUpperVectorState();
    }
    TraceFigure(kExampleDraws, directions, x1, y1, canvas);
    benchmark::ClobberMemory();
  }
}

// Takes every segment and draws nothing: what is left is the tracer's own cost.
class NullCanvas final : public Canvas {
 public:
  void Clear() override {}
  void SetBackground(Colour) override {}
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    benchmark::DoNotOptimize(fromX + fromY + toX + toY);
    benchmark::DoNotOptimize(colour.value);
    return true;
  }
};

// What a QPainter user writes: a painter kept open on the image, one pen and one line a segment.
class QPainterCanvas final : public Canvas {
 public:
  QPainterCanvas() : image_(Picture1::kWidth, Picture1::kHeight, QImage::Format_RGB32) {
    painter_.begin(&image_);
  }
  ~QPainterCanvas() override { painter_.end(); }
  void Clear() override { painter_.fillRect(image_.rect(), Convert(background_)); }
  void SetBackground(Colour colour) override {
    background_ = colour;
    Clear();
  }
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    painter_.setPen(Convert(colour));
    painter_.drawLine(QLineF(fromX, fromY, toX, toY));
    return true;
  }

 private:
  static QColor Convert(Colour c) { return QColor(c.red(), c.green(), c.blue()); }
  QImage image_;
  QPainter painter_;
  Colour background_ = kBlack;
};

// The same with Cairo: an image surface, antialiasing off, one pixel wide, a path per segment.
class CairoCanvas final : public Canvas {
 public:
  CairoCanvas()
      : surface_(
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, Picture1::kWidth, Picture1::kHeight)),
        cairo_(cairo_create(surface_)) {
    cairo_set_antialias(cairo_, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cairo_, 1.0);
  }
  ~CairoCanvas() override {
    cairo_destroy(cairo_);
    cairo_surface_destroy(surface_);
  }
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  void Clear() override {
    SetSource(background_);
    cairo_paint(cairo_);
  }
  void SetBackground(Colour colour) override {
    background_ = colour;
    Clear();
  }
  bool DrawLine(float fromX, float fromY, float toX, float toY, Colour colour) override {
    SetSource(colour);
    cairo_move_to(cairo_, fromX, fromY);
    cairo_line_to(cairo_, toX, toY);
    cairo_stroke(cairo_);
    return cairo_status(cairo_) == CAIRO_STATUS_SUCCESS;
  }

 private:
  void SetSource(Colour c) {
    cairo_set_source_rgb(cairo_, c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0);
  }
  cairo_surface_t* surface_;
  cairo_t* cairo_;
  Colour background_ = kBlack;
};

void BM_FigureOnRaster(benchmark::State& state) {
  Picture1 picture;
  TraceFigures(state, picture);
  SetCounters(state);
}

void BM_FigureOnRasterDirty(benchmark::State& state) {
  Picture1 picture;
  TraceFigures(state, picture, Start::Dirty);
  SetCounters(state);
}

void BM_FigureOnQPainter(benchmark::State& state) {
  QPainterCanvas canvas;
  TraceFigures(state, canvas);
  SetCounters(state);
}

void BM_FigureOnCairo(benchmark::State& state) {
  CairoCanvas canvas;
  TraceFigures(state, canvas);
  SetCounters(state);
}

void BM_TraceAlone(benchmark::State& state) {
  NullCanvas canvas;
  TraceFigures(state, canvas);
}

void BM_TraceAloneDirty(benchmark::State& state) {
  NullCanvas canvas;
  TraceFigures(state, canvas, Start::Dirty);
}

// The figure traced onto the raster on two threads, after a clearing, as "new" does now.
void TraceFiguresTwoCores(benchmark::State& state, Start start = Start::Clean) {
  Picture1 picture;
  TwoCoreTracer cores;
  for (auto _ : state) {
    Directions directions;
    double x1 = 0, y1 = 0;
    picture.Clear();
    if (start == Start::Dirty) {
      DirtyUpperVectorState();
    } else {
      ClearUpperVectorState();
    }
    cores.Trace(kExampleDraws, directions, x1, y1, picture.pixels(), Picture1::kWidth,
                Picture1::kHeight, Picture1::kStride);
    benchmark::ClobberMemory();
  }
  state.counters["threads"] = cores.lastOnTwoThreads() ? 2 : 1;
}

void BM_FigureTwoCores(benchmark::State& state) {
  TraceFiguresTwoCores(state);
  SetCounters(state);
}

void BM_FigureTwoCoresDirty(benchmark::State& state) {
  TraceFiguresTwoCores(state, Start::Dirty);
  SetCounters(state);
}

// The same with the calling thread held to the one CPU it runs on: the one-thread path, as under
// `taskset -c 0`.
void BM_FigureTwoCoresOneCpu(benchmark::State& state) {
  cpu_set_t before, one;
  pthread_getaffinity_np(pthread_self(), sizeof before, &before);
  CPU_ZERO(&one);
  CPU_SET(sched_getcpu(), &one);
  pthread_setaffinity_np(pthread_self(), sizeof one, &one);
  TraceFiguresTwoCores(state);
  pthread_setaffinity_np(pthread_self(), sizeof before, &before);
  SetCounters(state);
}

// Another process keeping one CPU busy for as long as it lives: the last one the bench may use.
class BusyProcess {
 public:
  BusyProcess() {
    cpu_set_t usable;
    sched_getaffinity(0, sizeof usable, &usable);
    int last = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) last = CPU_ISSET(cpu, &usable) ? cpu : last;
    pid_ = fork();
    if (pid_ != 0) return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(last, &one);
    sched_setaffinity(0, sizeof one, &one);
    for (unsigned long spin = 0;; ++spin) benchmark::DoNotOptimize(spin);
  }
  ~BusyProcess() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  BusyProcess(const BusyProcess&) = delete;
  BusyProcess& operator=(const BusyProcess&) = delete;

 private:
  pid_t pid_;
};

// The figure on one thread and as "new" traces it, each while another process keeps a CPU busy:
// two threads must not lose to one there.
void BM_FigureOnRasterBusy(benchmark::State& state) {
  BusyProcess busy;
  Picture1 picture;
  TraceFigures(state, picture);
  SetCounters(state);
}

void BM_FigureTwoCoresBusy(benchmark::State& state) {
  BusyProcess busy;
  TraceFiguresTwoCores(state);
  SetCounters(state);
}

using LineFunction = bool (*)(std::uint32_t*, int, int, std::ptrdiff_t, float, float, float, float,
                              std::uint32_t);

// The recorded figure replayed straight into a raster, clearing included, no tracer in front.
void ReplayFigures(benchmark::State& state, LineFunction drawLine) {
  const std::vector<Segment>& segments = FigureSegments();
  std::vector<std::uint32_t> pixels(Picture1::kStride * Picture1::kHeight);
  for (auto _ : state) {
    FillRaster(pixels.data(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
               ToPixel(kBlack));
    for (const Segment& s : segments) {
      drawLine(pixels.data(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride, s.fromX,
               s.fromY, s.toX, s.toY, ToPixel(s.colour));
    }
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}

void BM_RasterAlone(benchmark::State& state) {
  ReplayFigures(state, DrawLineFast);
}
void BM_RasterAloneReference(benchmark::State& state) {
  ReplayFigures(state, DrawLineReference);
}

// Notes when the canvas widget gets a paint event. An event filter sees the event before the
// widget paints, so painting is over once the event loop returns with `painted` set.
class PaintWatch final : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// A folder of the bench's own for journals, never the user's.
QString BenchFolder() {
  static QTemporaryDir folder;
  return folder.path();
}

enum class Journalled { Yes, No };

// The window under Qt's offscreen platform, loaded, with its first figure painted; keeping its
// figures in a journal of its own, as the program does, unless told not to.
struct WatchedWindow {
  SuppliedDraws draws{kExampleDraws};
  FigureFileWriter files;
  Form1Window window{draws, files};
  PaintWatch watch;

  explicit WatchedWindow(Journalled journalled = Journalled::Yes) {
    if (journalled == Journalled::Yes) {
      static int journals = 0;
      window.KeepFigures(
          QStringLiteral("%1/window-%2.sqlite").arg(BenchFolder()).arg(++journals).toStdString());
    }
    window.pictureView()->installEventFilter(&watch);
    window.FormLoad();
    AwaitPaint();  // the first figure's paint must not pass for the first click's
  }
  ~WatchedWindow() { window.pictureView()->removeEventFilter(&watch); }

  // Clicks `button` on `widget`, then runs the event loop until the canvas has been repainted;
  // false if it never is.
  bool ClickUntilRepainted(QWidget* widget, Qt::MouseButton button) {
    watch.painted = false;
    QTest::mouseClick(widget, button);
    return AwaitPaint();
  }

  // A repaint takes a few passes of the event loop; far more than that means none is coming.
  bool AwaitPaint() {
    for (int pass = 0; !watch.painted && pass < 1000; ++pass) QCoreApplication::processEvents();
    return watch.painted;
  }
};

// A click on "new" until the canvas has been repainted, the figure kept in the journal as the
// program keeps it (Journalled::Yes), or with no journal at all, as before there was one.
void ClickToRepaint(benchmark::State& state, Journalled journalled) {
  WatchedWindow w(journalled);
  for (auto _ : state) {
    if (!w.ClickUntilRepainted(w.window.command1(), Qt::LeftButton)) {
      state.SkipWithError("the canvas was not repainted after a click on \"new\"");
      break;
    }
  }
  // One figure for the load and one per click, or the clicks timed something else.
  if (w.window.form().figuresTraced() != 1 + static_cast<long>(state.iterations())) {
    state.SkipWithError("a click on \"new\" did not trace exactly one figure");
  }
  SetCounters(state);
}

void BM_WindowClickToRepaint(benchmark::State& state) {
  ClickToRepaint(state, Journalled::Yes);
}

void BM_WindowClickToRepaintUnkept(benchmark::State& state) {
  ClickToRepaint(state, Journalled::No);
}

// A journal of 10,000 figures as the program draws them (24-bit draws), none a favourite.
Journal& TenThousandFigures() {
  static Journal journal(QStringLiteral("%1/gallery.sqlite").arg(BenchFolder()).toStdString());
  static const bool filled = [] {
    std::mt19937 random(17);
    for (int i = 0; i < 10000; ++i) {
      FigureRecord figure;
      for (float& u : figure.draws) u = static_cast<float>(random() & 0xFFFFFF) / 16777216.0f;
      journal.Record(figure, FigureOrigin::New);
    }
    return journal.AwaitKept(std::chrono::seconds(60));
  }();
  (void)filled;
  return journal;
}

// A gallery on `journal`, not yet opened or shown, whose view tells `watch` when it is painted
// and whose thumbnails, each time one is traced, tell it that the view is not painted since.
std::unique_ptr<GalleryWindow> WatchedGallery(Journal& journal, ThumbnailCache& thumbnails,
                                              FigureFileWriter& files, PaintWatch& watch) {
  auto gallery =
      std::make_unique<GalleryWindow>(journal, thumbnails, files, [](const FigureRecord&) {});
  gallery->view()->viewport()->installEventFilter(&watch);
  QObject::connect(&thumbnails, &ThumbnailCache::Traced, gallery.get(),
                   [&watch] { watch.painted = false; });
  return gallery;
}

// Runs the event loop until the gallery has read its rows, every thumbnail in view is traced and
// the view has been painted since the last one came; false after a minute.
bool AwaitFirstScreen(const GalleryWindow& gallery, const PaintWatch& watch) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < giveUp) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (watch.painted && !gallery.loading() && !gallery.rows().empty() && gallery.ScreenTraced()) {
      return true;
    }
  }
  return false;
}

// Ctrl+H to the gallery's first screen: the window "Figures" opened on 10,000 figures, shown, and
// every thumbnail in view traced and painted. Warm: the thumbnails were traced before (the
// cache); Cold: each opening traces them again on the pool.
void GalleryFirstScreen(benchmark::State& state, bool warm) {
  Journal& journal = TenThousandFigures();
  ThumbnailCache thumbnails;
  FigureFileWriter files;
  auto open = [&] {
    PaintWatch watch;
    auto gallery = WatchedGallery(journal, thumbnails, files, watch);
    gallery->Open();
    gallery->show();
    return AwaitFirstScreen(*gallery, watch);
  };
  if (warm) open();  // traces the first screen once, untimed
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      thumbnails.Clear();
      state.ResumeTiming();
    }
    if (!open()) {
      state.SkipWithError("the gallery's first screen was never complete");
      break;
    }
  }
}

void BM_GalleryFirstScreen(benchmark::State& state) {
  GalleryFirstScreen(state, true);
}

void BM_GalleryFirstScreenCold(benchmark::State& state) {
  GalleryFirstScreen(state, false);
}

// Resident memory, MB.
double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

// A journal of 1,000,000 figures as the program draws them, every hundredth a favourite marked
// in turn, shown a second apart up to now: written with SQLite in one transaction (the journal's
// own writer would commit each), into a file the journal made and brought to its schema.
// STRINGART_BENCH_JOURNAL names a file to keep it in between runs, so that a run that finds it
// made measures memory over a window that never made it.
const std::string& MillionPath() {
  static const std::string path =
      qEnvironmentVariableIsEmpty("STRINGART_BENCH_JOURNAL")
          ? QStringLiteral("%1/million.sqlite").arg(BenchFolder()).toStdString()
          : qEnvironmentVariable("STRINGART_BENCH_JOURNAL").toStdString();
  return path;
}

Journal& MillionFigures() {
  static const std::string& path = MillionPath();
  static const bool filled = [] {
    if (QFile::exists(QString::fromStdString(path))) return true;
    { Journal(path).AwaitKept(std::chrono::seconds(60)); }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO figures (draws, directions, favourite, shown_at, marked_at,"
                       " origin) VALUES (?, '1,1,1', ?, ?, ?, 2)",
                       -1, &insert, nullptr);
    std::mt19937 random(17);
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    for (int i = 0; i < 1000000; ++i) {
      FigureRecord figure;
      for (float& u : figure.draws) u = static_cast<float>(random() & 0xFFFFFF) / 16777216.0f;
      const std::string draws = FormatDraws(figure.draws);
      const bool favourite = i % 100 == 0;
      sqlite3_bind_text(insert, 1, draws.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(insert, 2, favourite);
      sqlite3_bind_int64(insert, 3, now - 1000000 + i);
      if (favourite) {
        sqlite3_bind_double(insert, 4, static_cast<double>(now - 1000000 + i) + 0.5);
      } else {
        sqlite3_bind_null(insert, 4);
      }
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const bool done = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
  }();
  static Journal journal(path);
  (void)filled;
  return journal;
}

// On the gallery of 1,000,000 figures, from the press to the first screen complete (read, every
// thumbnail in view traced, painted), warm (thumbnails traced before) or cold (none): opening it
// (Ctrl+H, on the favourites; cold also with the file out of the system's cache), switching to All
// and back, the date filter (this week, then all days), and Delete then Ctrl+Z. Counter rss_mb:
// resident memory over the process's before its first gallery was made, at its largest so far (each
// case in a process of its own says its own).
enum class GalleryStep { Open, Switch, Filter, Undo };
void GalleryMillion(benchmark::State& state, GalleryStep step, bool warm) {
  Journal& journal = MillionFigures();
  ThumbnailCache thumbnails;
  FigureFileWriter files;
  // From the first case's start: later runs reuse what the first one's opening took.
  static const double before = ResidentMegabytes();
  static double most = 0;
  PaintWatch watch;
  auto gallery = WatchedGallery(journal, thumbnails, files, watch);
  gallery->show();
  gallery->Open();
  if (!AwaitFirstScreen(*gallery, watch)) state.SkipWithError("the first screen never came");
  int turn = 0;
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      thumbnails.Clear();
      // The journal's pages out of the system's cache too (SQLite's own cache of a few keeps).
      for (const char* suffix : {"", "-wal"}) {
        const int fd = open((MillionPath() + suffix).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        if (fd >= 0) close(fd);
      }
      state.ResumeTiming();
    }
    watch.painted = false;
    const bool odd = turn++ % 2 == 1;
    switch (step) {
      case GalleryStep::Open: gallery->Open(); break;
      case GalleryStep::Switch: gallery->ShowFavourites(odd); break;
      case GalleryStep::Filter:
        gallery->SetPeriod(odd ? GalleryWindow::Period::All : GalleryWindow::Period::ThisWeek);
        break;
      case GalleryStep::Undo:
        gallery->RemoveSelected();  // what Delete and Ctrl+Z call
        gallery->Undo();
        break;
    }
    if (!AwaitFirstScreen(*gallery, watch)) {
      state.SkipWithError("the gallery's first screen was never complete");
      break;
    }
    most = std::max(most, ResidentMegabytes() - before);
  }
  state.counters["rss_mb"] = most;
}

void BM_GalleryFirstScreenMillion(benchmark::State& state) {
  GalleryMillion(state, GalleryStep::Open, true);
}
void BM_GalleryFirstScreenMillionCold(benchmark::State& state) {
  GalleryMillion(state, GalleryStep::Open, false);
}
void BM_GallerySwitchMillion(benchmark::State& state) {
  GalleryMillion(state, GalleryStep::Switch, true);
}
void BM_GalleryFilterMillion(benchmark::State& state) {
  GalleryMillion(state, GalleryStep::Filter, true);
}
void BM_GalleryUndoMillion(benchmark::State& state) {
  GalleryMillion(state, GalleryStep::Undo, true);
}

// Scrolling the gallery of 10,000 figures a page down, then up, until the view has been
// repainted: thumbnails not yet traced are painted as dark squares, never waited for; rows come a
// screenful ahead of the view.
void BM_GalleryScrollPage(benchmark::State& state) {
  ThumbnailCache thumbnails;
  FigureFileWriter files;
  GalleryWindow gallery(TenThousandFigures(), thumbnails, files, [](const FigureRecord&) {});
  PaintWatch watch;
  gallery.view()->viewport()->installEventFilter(&watch);
  gallery.Open();
  gallery.show();
  if (!AwaitFirstScreen(gallery, watch)) state.SkipWithError("the gallery's rows never came");
  QScrollBar* bar = gallery.view()->verticalScrollBar();
  int step = 0;
  for (auto _ : state) {
    // The page below is read ahead, a screenful at a time, as a person's scrolling finds it.
    while (gallery.loading()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    watch.painted = false;
    bar->setValue(bar->value() + (step++ % 8 < 4 ? 1 : -1) * bar->pageStep());
    for (int pass = 0; !watch.painted && pass < 1000; ++pass) QCoreApplication::processEvents();
    if (!watch.painted) {
      state.SkipWithError("the gallery was not repainted after a scroll");
      break;
    }
  }
}

// The mouse's back and forward buttons on the canvas, in turn, until the canvas has been
// repainted: every iteration traces a figure of the history again, which should be on the screen
// within one frame at 60 Hz (16.7 ms). Both figures have the example's draws; their start
// directions differ.
void BM_WindowBackToRepaint(benchmark::State& state) {
  WatchedWindow w;
  w.window.Command1Click();
  w.AwaitPaint();
  bool back = true;
  for (auto _ : state) {
    if (!w.ClickUntilRepainted(w.window.pictureView(), back ? Qt::BackButton : Qt::ForwardButton)) {
      state.SkipWithError("the canvas was not repainted after the back or forward button");
      break;
    }
    back = !back;
  }
  if (w.window.form().history().size() != 2) {
    state.SkipWithError("going back and forth added figures to the history");
  }
  SetCounters(state);
}

// Every case: milliseconds, medians and spread only (five repetitions unless
// --benchmark_repetitions says otherwise).
void Figure(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FigureOnRaster)->Apply(Figure);
BENCHMARK(BM_FigureTwoCores)->Apply(Figure);
BENCHMARK(BM_FigureTwoCoresOneCpu)->Apply(Figure);
BENCHMARK(BM_FigureOnRasterBusy)->Apply(Figure);
BENCHMARK(BM_FigureTwoCoresBusy)->Apply(Figure);
BENCHMARK(BM_FigureTwoCoresDirty)->Apply(Figure);
BENCHMARK(BM_FigureOnRasterDirty)->Apply(Figure);
BENCHMARK(BM_FigureOnQPainter)->Apply(Figure);
BENCHMARK(BM_FigureOnCairo)->Apply(Figure);
BENCHMARK(BM_TraceAlone)->Apply(Figure);
BENCHMARK(BM_TraceAloneDirty)->Apply(Figure);
BENCHMARK(BM_RasterAlone)->Apply(Figure);
BENCHMARK(BM_RasterAloneReference)->Apply(Figure);
BENCHMARK(BM_WindowClickToRepaint)->Apply(Figure);
BENCHMARK(BM_WindowClickToRepaintUnkept)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreen)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreenCold)->Apply(Figure);
BENCHMARK(BM_GalleryScrollPage)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreenMillion)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreenMillionCold)->Apply(Figure);
BENCHMARK(BM_GallerySwitchMillion)->Apply(Figure);
BENCHMARK(BM_GalleryFilterMillion)->Apply(Figure);
BENCHMARK(BM_GalleryUndoMillion)->Apply(Figure);
BENCHMARK(BM_WindowBackToRepaint)->Apply(Figure);

}  // namespace
}  // namespace stringart

// The processor's model name, as lscpu shows it.
std::string ProcessorName() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown";
}

int main(int argc, char** argv) {
  // Repetitions of the cases run shuffled together, so that load from elsewhere on the machine
  // falls on all of them alike and their ratios hold; a flag given later overrides this.
  std::vector<char*> arguments(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  char repetitions[] = "--benchmark_repetitions=5";
  arguments.insert(arguments.begin() + 1, {interleave, repetitions});
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  benchmark::AddCustomContext("processor", ProcessorName());
  benchmark::AddCustomContext("vzeroupper before a figure",
                              stringart::ClearsUpperVectorState() ? "yes (AVX)" : "no");
  // The window needs no display: Qt's offscreen platform unless the caller chose another.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
