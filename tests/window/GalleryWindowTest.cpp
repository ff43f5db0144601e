// The journal in the window: favourites, the gallery "Figures" and its keys, thumbnails, the
// date filter, dragging a figure out, and going back into an earlier run.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <chrono>
#include <memory>

#include "app/FigureFileWriter.h"
#include "canvas/AreaAverage.h"
#include "tests/support/WindowDriving.h"
#include "window/ExportRunner.h"
#include "window/Form1Window.h"
#include "window/GalleryWindow.h"
#include "window/JournalLink.h"
#include "window/ThumbnailCache.h"

namespace stringart {
namespace {

using namespace std::chrono_literals;
using testing::Retraced;
using testing::SamePixels;

// A window that keeps its figures in `path`, with `figures` of them made.
struct KeptRun {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  KeptRun(const QString& path, int figures) {
    window.KeepFigures(path.toStdString());
    window.FormLoad();
    while (static_cast<int>(window.form().history().size()) < figures) window.Command1Click();
  }
  Journal& journal() { return window.journalLink()->journal(); }
  FigureRecord figure(std::size_t i) const { return window.form().history().At(i); }
  QImage canvas() const { return WrapPicture(window.picture()).copy(); }
  // A key pressed in the window of `to`, made the active one first as a user's click would.
  void Key(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (!to->window()->isActiveWindow()) {
      to->window()->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(to->window()));
    }
    QTest::keyClick(to, static_cast<Qt::Key>(key), modifiers);
  }
  bool favouriteChecked() const {
    QMenu menu;
    window.FillContextMenu(menu);
    for (QAction* a : menu.actions()) {
      if (a->text() == "Favour&ite") return a->isChecked();
    }
    ADD_FAILURE() << "no Favourite in the menu";
    return false;
  }
};

// The figures in the gallery's rows, start directions and draws only.
std::vector<FigureRecord> Shown(const GalleryWindow& gallery) {
  std::vector<FigureRecord> figures;
  for (const JournalRow& row : gallery.rows()) figures.push_back(row.figure);
  return figures;
}

FigureRecord Made(const FigureRecord& figure) {
  return {figure.draws, figure.start, {}};
}

TEST(Gallery, FavouritesMarkedWithCtrlDOpenFirstAndTheKeysWork) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 4);
  const FigureRecord f1 = Made(run.figure(0)), f2 = Made(run.figure(1)), f4 = Made(run.figure(3));
  run.window.GoBack();
  run.window.GoBack();
  run.Key(&run.window, Qt::Key_D, Qt::ControlModifier);
  EXPECT_TRUE(run.favouriteChecked());
  run.window.GoForward();
  EXPECT_FALSE(run.favouriteChecked());
  run.window.GoForward();
  for (int i = 0; i < 3; ++i) run.Key(&run.window, Qt::Key_D, Qt::ControlModifier);  // on, off, on
  for (int i = 0; i < 3; ++i) run.window.GoBack();
  // Marks a second apart at least: the order of marking is by the clock.
  QTest::qWait(1100);
  run.Key(&run.window, Qt::Key_D, Qt::ControlModifier);

  run.Key(&run.window, Qt::Key_H, Qt::ControlModifier);
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  ASSERT_NE(gallery, nullptr);
  EXPECT_EQ(gallery->windowTitle(), "Figures");
  EXPECT_TRUE(gallery->showingFavourites());
  EXPECT_EQ(Shown(*gallery), (std::vector{f1, f4, f2})) << "most recently marked first";
  EXPECT_EQ(gallery->selectedRow(), 0);

  // Thumbnails: the exact figure, area-averaged, traced behind the window.
  for (int pass = 0; pass < 500 && !gallery->ScreenTraced(); ++pass) QTest::qWait(10);
  ASSERT_TRUE(gallery->ScreenTraced());
  const QImage thumbnail =
      gallery->view()->model()->index(1, 0).data(Qt::DecorationRole).value<QImage>();
  QImage expected(ThumbnailCache::kSide, ThumbnailCache::kSide, QImage::Format_RGB32);
  const QImage full = Retraced(f4);
  AreaAverage(reinterpret_cast<const std::uint32_t*>(full.constBits()), 500, 500, 500,
              reinterpret_cast<std::uint32_t*>(expected.bits()), ThumbnailCache::kSide,
              ThumbnailCache::kSide, ThumbnailCache::kSide);
  EXPECT_TRUE(SamePixels(thumbnail, expected));

  // An arrow, then Enter: the figure in the main window, appended to the history.
  run.Key(gallery->view(), Qt::Key_Right);
  EXPECT_EQ(gallery->selectedRow(), 1);
  run.Key(gallery->view(), Qt::Key_Return);
  EXPECT_EQ(run.window.form().history().size(), 5u);
  EXPECT_EQ(run.window.form().history().shown(), 4u);
  EXPECT_TRUE(SamePixels(run.canvas(), Retraced(f4)));

  // Delete unmarks, Ctrl+Z marks again in the same place.
  run.Key(gallery->view(), Qt::Key_Delete);
  EXPECT_EQ(Shown(*gallery), (std::vector{f1, f2}));
  EXPECT_FALSE(run.journal().IsFavourite(f4));
  run.Key(gallery->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Shown(*gallery), (std::vector{f1, f4, f2}));
  EXPECT_EQ(gallery->selectedRow(), 1);

  // All: every figure shown, newest first; the one shown from the gallery is the newest.
  gallery->ShowFavourites(false);
  ASSERT_EQ(gallery->rows().size(), 5u);
  EXPECT_EQ(gallery->rows()[0].figure, f4);
  EXPECT_EQ(gallery->rows()[4].figure, f1);

  // Dragged out: a PNG file of the figure, which opens as that figure.
  std::unique_ptr<QMimeData> drag(
      gallery->view()->model()->mimeData({gallery->view()->model()->index(4, 0)}));
  ASSERT_NE(drag, nullptr);
  ASSERT_EQ(drag->urls().size(), 1);
  std::string error;
  const auto opened = run.files.Open(drag->urls()[0].toLocalFile().toStdString(), error);
  ASSERT_TRUE(opened.has_value()) << error;
  EXPECT_EQ(Made(*opened), f1);
  EXPECT_TRUE(run.window.journalLink()->told().isEmpty());
}

TEST(Gallery, TheDateFilterKeepsTodayOrThisWeek) {
  QTemporaryDir dir;
  const QString path = dir.filePath("figures.sqlite");
  KeptRun run(path, 3);
  ASSERT_TRUE(run.journal().AwaitKept(5s));
  // The first figure shown eight days ago, the second at the start of today.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  const qint64 midnight = QDate::currentDate().startOfDay().toSecsSinceEpoch();
  const std::string sql =
      "UPDATE figures SET shown_at = shown_at - 8 * 86400 WHERE id = 1;"
      "UPDATE figures SET shown_at = " +
      std::to_string(midnight) + " WHERE id = 2";
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  EXPECT_FALSE(gallery->showingFavourites()) << "no favourites: all figures";
  EXPECT_EQ(gallery->rows().size(), 3u);
  gallery->SetPeriod(GalleryWindow::Period::Today);
  EXPECT_EQ(Shown(*gallery), (std::vector{Made(run.figure(2)), Made(run.figure(1))}));
  gallery->SetPeriod(GalleryWindow::Period::ThisWeek);
  EXPECT_EQ(gallery->rows().size(), 2u);
  gallery->SetPeriod(GalleryWindow::Period::All);
  EXPECT_EQ(gallery->rows().size(), 3u);
}

TEST(Gallery, TwoSelectedFiguresMakeAMorphFromTheFirstSelectedToTheLast) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 3);
  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  const QString clip = dir.filePath("morph.webm");
  QString error;
  EXPECT_FALSE(gallery->StartMorph(testing::Request(clip, 500, 500, 1, 2), error))
      << "one figure selected";
  // Row 2 (the first figure) selected first, then Ctrl and a click on row 0 (the newest).
  QItemSelectionModel* selection = gallery->view()->selectionModel();
  const QAbstractItemModel* model = gallery->view()->model();
  selection->setCurrentIndex(model->index(2, 0), QItemSelectionModel::ClearAndSelect);
  selection->setCurrentIndex(model->index(0, 0), QItemSelectionModel::Select);
  ASSERT_TRUE(gallery->StartMorph(testing::Request(clip, 500, 500, 1, 2), error))
      << error.toStdString();
  for (int i = 0; i < 3000 && gallery->exports().running(); ++i) QTest::qWait(10);
  std::string why;
  const auto opened = run.files.Open(clip.toStdString(), why);
  ASSERT_TRUE(opened.has_value()) << why;
  EXPECT_EQ(Made(*opened), Made(run.figure(0)));
}

TEST(Gallery, ASecondRunGoesBackIntoTheFirstAndForwardAgain) {
  QTemporaryDir dir;
  const QString path = dir.filePath("figures.sqlite");
  std::vector<QImage> first;
  {
    KeptRun run(path, 2);
    for (std::size_t i = 0; i < 2; ++i) first.push_back(Retraced(run.figure(i)));
  }
  KeptRun run(path, 1);
  const QImage own = run.canvas();
  run.window.GoBack();
  EXPECT_TRUE(SamePixels(run.canvas(), first[1])) << "the first run's last figure";
  QMenu menu;
  run.window.FillContextMenu(menu);
  EXPECT_EQ(menu.actions()[0]->text(), "Earlier run, 1 back");
  run.window.GoBack();
  EXPECT_TRUE(SamePixels(run.canvas(), first[0]));
  run.window.GoBack();  // the oldest of all: nothing happens
  EXPECT_TRUE(SamePixels(run.canvas(), first[0]));
  run.window.GoForward();
  run.window.GoForward();
  EXPECT_TRUE(SamePixels(run.canvas(), own));
  EXPECT_EQ(run.window.form().history().size(), 1u);
}

}  // namespace
}  // namespace stringart
