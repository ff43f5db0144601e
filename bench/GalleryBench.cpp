// stringart-bench: the gallery, its first screen of 10,000 figures and its scrolling, and of
// 1,000,000 figures opened, switched, filtered and undone.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "bench/BenchFixture.h"
#include "bench/PaintWatch.h"
#include "export/FigureFileWriter.h"
#include "journal/Journal.h"
#include "options/FigureCommand.h"
#include "window/GalleryWindow.h"
#include "window/ThumbnailCache.h"

namespace stringart {
namespace {

using namespace bench;

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

BENCHMARK(BM_GalleryFirstScreen)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreenCold)->Apply(Figure);
BENCHMARK(BM_GalleryScrollPage)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreenMillion)->Apply(Figure);
BENCHMARK(BM_GalleryFirstScreenMillionCold)->Apply(Figure);
BENCHMARK(BM_GallerySwitchMillion)->Apply(Figure);
BENCHMARK(BM_GalleryFilterMillion)->Apply(Figure);
BENCHMARK(BM_GalleryUndoMillion)->Apply(Figure);

}  // namespace
}  // namespace stringart
