// The journal in the window: favourites, the gallery "Figures" and its keys, thumbnails, tiles
// and their stars, notes, removing and undoing, pages read off the window's thread, the date
// filter, dragging a figure out, figures files, and going back into an earlier run.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <fstream>
#include <memory>

#include "canvas/AreaAverage.h"
#include "export/FigureFileWriter.h"
#include "figure/FigureHistory.h"
#include "journal/FiguresFile.h"
#include "options/FigureCommand.h"
#include "tests/support/Figures.h"
#include "tests/support/WindowDriving.h"
#include "window/ExportNote.h"
#include "window/ExportRunner.h"
#include "window/Form1Window.h"
#include "window/GalleryModel.h"
#include "window/GalleryWindow.h"
#include "window/HelpWindow.h"
#include "window/JournalLink.h"
#include "window/MorphButton.h"
#include "window/ThumbnailCache.h"
#include "window/Translations.h"

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

// Runs the event loop until the gallery has read its rows and files (at most 10 s).
void Await(const GalleryWindow& gallery) {
  ASSERT_TRUE(QTest::qWaitFor([&gallery] { return !gallery.loading(); }, 10000))
      << "the gallery never finished reading";
}

// Reads what the gallery has to read and runs what it has posted or timed at once (a layout, a
// message): what would change late has changed.
void Settle(const GalleryWindow& gallery) {
  Await(gallery);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
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
  const qint64 marked = QDateTime::currentSecsSinceEpoch();
  ASSERT_TRUE(QTest::qWaitFor([marked] { return QDateTime::currentSecsSinceEpoch() > marked; }));
  run.Key(&run.window, Qt::Key_D, Qt::ControlModifier);

  run.Key(&run.window, Qt::Key_H, Qt::ControlModifier);
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  ASSERT_NE(gallery, nullptr);
  Await(*gallery);
  EXPECT_EQ(gallery->windowTitle(), "Figures");
  EXPECT_TRUE(gallery->showingFavourites());
  EXPECT_EQ(Shown(*gallery), (std::vector{f1, f4, f2})) << "most recently marked first";
  EXPECT_EQ(gallery->selectedRow(), 0);

  // Thumbnails: the exact figure, area-averaged, traced behind the window.
  ASSERT_TRUE(QTest::qWaitFor([gallery] { return gallery->ScreenTraced(); }));
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

  // Delete takes it out of the gallery, still a favourite; Ctrl+Z brings it back, in its place
  // and alone selected, also after the list was read again.
  for (bool reread : {false, true}) {
    run.Key(gallery->view(), Qt::Key_Delete);
    EXPECT_EQ(Shown(*gallery), (std::vector{f1, f2}));
    EXPECT_EQ(gallery->selectedRows(), std::vector{1}) << "the one after it, alone";
    EXPECT_TRUE(run.journal().IsFavourite(f4));
    if (reread) gallery->Reload();
    Await(*gallery);
    run.Key(gallery->view(), Qt::Key_Z, Qt::ControlModifier);
    Await(*gallery);
    EXPECT_EQ(Shown(*gallery), (std::vector{f1, f4, f2})) << "reread " << reread;
    if (!reread) {
      EXPECT_EQ(gallery->selectedRows(), std::vector{1}) << "one tile selected";
    }
    gallery->view()->selectionModel()->setCurrentIndex(gallery->view()->model()->index(1, 0),
                                                       QItemSelectionModel::ClearAndSelect);
  }

  // All: one row a figure, most recently shown first: the one shown from the gallery.
  gallery->ShowFavourites(false);
  Await(*gallery);
  EXPECT_EQ(Shown(*gallery), (std::vector{f4, Made(run.figure(2)), f2, f1}));

  // Dragged out: a PNG file of the figure, which opens as that figure.
  std::unique_ptr<QMimeData> drag(
      gallery->view()->model()->mimeData({gallery->view()->model()->index(3, 0)}));
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
  Await(*gallery);
  EXPECT_FALSE(gallery->showingFavourites()) << "no favourites: all figures";
  EXPECT_EQ(gallery->rows().size(), 3u);
  gallery->SetPeriod(GalleryWindow::Period::Today);
  Await(*gallery);
  EXPECT_EQ(Shown(*gallery), (std::vector{Made(run.figure(2)), Made(run.figure(1))}));
  gallery->SetPeriod(GalleryWindow::Period::ThisWeek);
  Await(*gallery);
  EXPECT_EQ(gallery->rows().size(), 2u);
  gallery->SetPeriod(GalleryWindow::Period::All);
  Await(*gallery);
  EXPECT_EQ(gallery->rows().size(), 3u);
}

TEST(Gallery, TwoSelectedFiguresMakeAMorphFromTheFirstSelectedToTheLast) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 3);
  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  Await(*gallery);
  const QString clip = dir.filePath("morph.webm");
  QString error;
  EXPECT_FALSE(gallery->StartMorph(testing::Request(clip, 500, 500, 1, 2), error))
      << "one figure selected";
  // Row 2 (the first figure) selected first, then Ctrl and a click on row 0 (the newest).
  QItemSelectionModel* selection = gallery->view()->selectionModel();
  const QAbstractItemModel* model = gallery->view()->model();
  selection->setCurrentIndex(model->index(2, 0), QItemSelectionModel::ClearAndSelect);
  selection->setCurrentIndex(model->index(0, 0), QItemSelectionModel::Select);
  QString proposed;
  testing::WhenShown<QFileDialog>([&](QFileDialog* ask) {
    proposed = ask->selectedFiles().value(0);
    ask->reject();
  });
  QTest::mouseClick(gallery->saveMorphButton(), Qt::LeftButton);
  EXPECT_EQ(QFileInfo(proposed).fileName().toStdString(),
            "figure-" + FigureName(run.figure(0)) + "-to-" + FigureName(run.figure(2)) + ".mp4");
  ASSERT_TRUE(gallery->StartMorph(testing::Request(clip, 500, 500, 1, 2), error))
      << error.toStdString();
  ASSERT_TRUE(QTest::qWaitFor([gallery] { return !gallery->exporting(); }, 60000));
  std::string why;
  const auto opened = run.files.Open(clip.toStdString(), why);
  ASSERT_TRUE(opened.has_value()) << why;
  EXPECT_EQ(Made(*opened), Made(run.figure(0)));
  const ExportNote* note = gallery->saveMorphButton()->note();
  EXPECT_TRUE(note->isVisible() && note->text().contains("morph.webm")) << "finished silently";
}

TEST(Gallery, TilesTellFiguresApartAndTheirStarsNotesSearchAndMenuWork) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 3);
  const FigureRecord f[] = {Made(run.figure(0)), Made(run.figure(1)), Made(run.figure(2))};
  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  Await(*gallery);
  QListView* view = gallery->view();
  const QAbstractItemModel* model = view->model();
  // Shown in the same minute, each tile still says which figure it is: its name.
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(model->index(i, 0).data().toString().startsWith(
        QString::fromStdString(FigureName(f[2 - i]))))
        << model->index(i, 0).data().toString().toStdString();
  }
  // The star marks and unmarks its figure alone, without selecting it; the main window follows.
  const QPoint star = GalleryTile::StarRect(view->visualRect(model->index(2, 0))).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, star);
  EXPECT_TRUE(run.journal().IsFavourite(f[0]));
  EXPECT_TRUE(run.favouriteChecked() == false) << "the main window shows the third figure";
  EXPECT_EQ(gallery->selectedRows(), std::vector{0});
  // Ctrl+D on two selected marks both; Ctrl+Z takes back that and nothing else.
  QItemSelectionModel* selection = view->selectionModel();
  selection->select(model->index(1, 0), QItemSelectionModel::Select);
  run.Key(view, Qt::Key_D, Qt::ControlModifier);
  EXPECT_TRUE(run.journal().IsFavourite(f[2]) && run.journal().IsFavourite(f[1]));
  EXPECT_TRUE(run.favouriteChecked()) << "the figure on the canvas is marked now";
  run.Key(view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(run.journal().IsFavourite(f[2]) || run.journal().IsFavourite(f[1]));
  EXPECT_TRUE(run.journal().IsFavourite(f[0]));
  // F2 writes the note in the tile; Ctrl+F finds it, whatever its letters' case.
  selection->setCurrentIndex(model->index(1, 0), QItemSelectionModel::ClearAndSelect);
  run.Key(view, Qt::Key_F2);
  auto* editor = view->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr) << "F2 opened no note";
  QTest::keyClicks(editor, "Tide pool");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the item view takes the note after the key
  EXPECT_TRUE(model->index(1, 0).data().toString().endsWith(": Tide pool"));
  gallery->Search("TIDE");
  Await(*gallery);
  EXPECT_EQ(Shown(*gallery), std::vector{f[1]});
  EXPECT_EQ(gallery->rows()[0].note, "Tide pool");
  gallery->Search("");
  Await(*gallery);
  // A selected tile is framed; its thumbnail keeps the figure's colours, pixel for pixel.
  gallery->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(gallery));
  selection->setCurrentIndex(model->index(0, 0), QItemSelectionModel::ClearAndSelect);
  // The view lays its items out late: until then no cell meets the viewport, and every thumbnail
  // on the screen has been traced.
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return view->visualRect(model->index(0, 0)).intersects(view->viewport()->rect()) &&
           gallery->ScreenTraced();
  }));
  const QRect cell = view->visualRect(model->index(0, 0));
  const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage thumbnail = model->index(0, 0).data(Qt::DecorationRole).value<QImage>();
  const QRect at = GalleryTile::ThumbnailRect(cell);
  int differ = 0;
  for (int y = 0; y < at.height(); ++y) {
    for (int x = 0; x < at.width(); ++x) {
      if (!GalleryTile::StarRect(cell).adjusted(-1, -1, 1, 1).contains(at.x() + x, at.y() + y)) {
        differ += shot.pixel(at.x() + x, at.y() + y) != thumbnail.pixel(x, y);
      }
    }
  }
  EXPECT_EQ(differ, 0) << "pixels of the selected thumbnail changed";
  QMenu menu;
  gallery->FillContextMenu(menu);
  QStringList entries;
  for (const QAction* action : menu.actions()) entries << action->text();
  EXPECT_EQ(entries, (QStringList{"&Open", "&Favourite", "&Note\u2026", "", "Save &picture\u2026",
                                  "Save f&igures\u2026", "", "&Remove"}));
}

TEST(Gallery, FiguresFilesCarryTheSelectionOrTheFavouritesAndOpenIntoTheJournal) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 3);
  run.journal().SetFavourite(Made(run.figure(0)), true);
  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  gallery->ShowFavourites(false);
  Await(*gallery);
  QItemSelectionModel* selection = gallery->view()->selectionModel();
  selection->select(gallery->view()->model()->index(1, 0), QItemSelectionModel::Select);
  const QString chosen = dir.filePath("figures-chosen.json");
  gallery->SaveFigures(chosen);
  Await(*gallery);
  selection->clearSelection();
  const QString favourites = dir.filePath("figures-favourites.json");
  gallery->SaveFigures(favourites);
  Await(*gallery);
  std::string error;
  const auto two = ReadFiguresFile(chosen.toStdString(), error);
  ASSERT_TRUE(two.has_value()) << error;
  ASSERT_EQ(two->size(), 2u);
  EXPECT_EQ((*two)[0].figure, Made(run.figure(2)));
  EXPECT_EQ((*two)[1].figure, Made(run.figure(1)));
  const auto one = ReadFiguresFile(favourites.toStdString(), error);
  ASSERT_TRUE(one.has_value() && one->size() == 1u) << error;
  EXPECT_TRUE((*one)[0].favourite);
  EXPECT_EQ((*one)[0].figure, Made(run.figure(0)));

  // One figure kept already and one new: one row more. A file that is not one adds nothing.
  const QString mixed = dir.filePath("mixed.json");
  std::ofstream(mixed.toStdString())
      << FormatFiguresFile({(*one)[0], {testing::DrawnFigure(7), false, 1000, "from afar"}});
  gallery->ImportFigures(mixed);
  Await(*gallery);
  std::ofstream(dir.filePath("bad.json").toStdString()) << "[{\"draws\": 1}]";
  gallery->ImportFigures(dir.filePath("bad.json"));
  Await(*gallery);
  ASSERT_EQ(gallery->told().size(), 4);
  EXPECT_TRUE(gallery->told()[0].startsWith("Saved 2 figure")) << gallery->told()[0].toStdString();
  EXPECT_TRUE(gallery->told()[2].startsWith("Added 1 figure")) << gallery->told()[2].toStdString();
  EXPECT_TRUE(gallery->told()[3].contains("was not opened")) << gallery->told()[3].toStdString();
  EXPECT_EQ(gallery->rows().size(), 4u);
}

// 3,000 figures: Ctrl+H returns before a row is read, then a screenful and one more come, and
// more as the view is scrolled to the end.
TEST(Gallery, PagesAreReadOffTheWindowsThreadAScreenfulAhead) {
  QTemporaryDir dir;
  const QString path = dir.filePath("figures.sqlite");
  KeptRun run(path, 1);
  ASSERT_TRUE(run.journal().AwaitKept(5s));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (int i = 0; i < 3000; ++i) {
    const std::string sql =
        "INSERT INTO figures (draws) VALUES ('" + FormatDraws(testing::DrawnFigure(i).draws) + "')";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  EXPECT_TRUE(gallery->loading()) << "read on the window's thread";
  EXPECT_TRUE(gallery->rows().empty());
  Await(*gallery);
  const std::size_t first = gallery->rows().size();
  EXPECT_GE(first, 20u);
  EXPECT_LE(first, 400u) << "far more than a screenful read";
  QScrollBar* bar = gallery->view()->verticalScrollBar();
  bar->setValue(bar->maximum());
  EXPECT_TRUE(QTest::qWaitFor([&] { return gallery->rows().size() > first; }, 10000))
      << "nothing more read at the end";
  Await(*gallery);
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

namespace stringart {
namespace {

// The rows the journal at `path` holds.
long long Rows(const QString& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.toUtf8().constData(), &db);
  sqlite3_stmt* count = nullptr;
  sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM figures", -1, &count, nullptr);
  const long long rows = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int64(count, 0) : -1;
  sqlite3_finalize(count);
  sqlite3_close(db);
  return rows;
}

// `stringart --draws ...` and `stringart FILE...` show the figures asked for and no random one
// before them; files that carry no figure leave the random figure after all.
TEST(Gallery, AStartThatNamesItsFiguresShowsAndKeepsOnlyThem) {
  QTemporaryDir dir;
  const FigureRecord named{kExampleDraws, {1, -1, 1}, {}};
  const QString saved = dir.filePath("named.svg"), empty = dir.filePath("empty.png");
  QFile(empty).open(QIODevice::WriteOnly);
  std::string error;
  ASSERT_TRUE(FigureFileWriter().Save(saved.toStdString(), Picture1(), named, error)) << error;
  for (const int start : {0, 1, 2}) {
    const QString path = dir.filePath(QStringLiteral("figures-%1.sqlite").arg(start));
    testing::SpyDraws random;
    FigureFileWriter files;
    Form1Window window(random, files);
    window.KeepFigures(path.toStdString());
    if (start == 0) window.FormLoad(named);
    if (start > 0) window.FormLoad(start == 1 ? QStringList{empty, saved} : QStringList{empty});
    testing::AwaitFilesRead(window);
    ASSERT_TRUE(window.journalLink()->journal().AwaitKept(5s));
    EXPECT_EQ(window.form().history().size(), 1u) << "start " << start;
    EXPECT_EQ(Rows(path), 1) << "start " << start;
    EXPECT_EQ(random.figuresStarted, start == 2 ? 1 : 0) << "start " << start;
    if (start < 2) {
      EXPECT_EQ(Made(window.form().lastFigure()), named) << "start " << start;
    }
  }
}

}  // namespace
}  // namespace stringart

namespace stringart {
namespace {

// The gallery on all figures: the run's own, newest, then `notes.size()` (or `count`) figures
// imported as another program would, the first of them oldest, each with its note.
GalleryWindow* OpenOver(KeptRun& run, int count, std::vector<std::string> notes = {}) {
  notes.resize(std::max(notes.size(), static_cast<std::size_t>(count)));
  std::vector<TravellingFigure> figures;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    figures.push_back({testing::DrawnFigure(100 + i), false, 1000 + static_cast<int>(i), notes[i]});
  }
  EXPECT_TRUE(run.journal().Import(figures).ok);
  run.window.journalLink()->OpenGallery();
  GalleryWindow* gallery = run.window.journalLink()->galleryWindow();
  gallery->ShowFavourites(false);
  Await(*gallery);
  return gallery;
}

QLineEdit* SearchLine(GalleryWindow& gallery) {
  for (auto* line : gallery.findChildren<QLineEdit*>()) {
    if (line->placeholderText() == "Search notes") return line;
  }
  return nullptr;
}

TEST(Gallery, EscAndCtrlWCloseItOnceNoNoteOrSearchTakesTheKey) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  const struct {
    const char* where;  // tiles, search, note
    int key;
    Qt::KeyboardModifiers modifiers;
    bool closes;
  } cases[] = {{"tiles", Qt::Key_Escape, {}, true},
               {"tiles", Qt::Key_W, Qt::ControlModifier, true},
               {"search", Qt::Key_W, Qt::ControlModifier, true},
               {"search", Qt::Key_Escape, {}, false},  // it clears the search
               {"note", Qt::Key_Escape, {}, false}};   // it leaves the note
  for (const auto& c : cases) {
    QPointer<GalleryWindow> gallery = OpenOver(run, 1, {"sea"});
    QWidget* to = gallery->view();
    if (c.where == std::string("search")) {
      gallery->Search("sea");
      to = SearchLine(*gallery);
      to->setFocus();
    } else if (c.where == std::string("note")) {
      run.Key(to, Qt::Key_F2);
      to = gallery->view()->findChild<QLineEdit*>();
      ASSERT_NE(to, nullptr);
    }
    run.Key(to, c.key, c.modifiers);
    const std::string what = std::string(c.where) + " " + std::to_string(c.key);
    EXPECT_EQ(gallery.isNull() || !gallery->isVisible(), c.closes) << what;
    if (!c.closes) {
      EXPECT_TRUE(SearchLine(*gallery)->text().isEmpty()) << what;
      EXPECT_EQ(gallery->rows()[1].note, "sea") << what;
      gallery->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// 300 figures, a screenful read: End (Shift+End) goes to the very last, the scroll bar at its end
// and staying there.
TEST(Gallery, EndGoesToTheLastFigureOfAllNotOfThoseReadSoFar) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  GalleryWindow* gallery = OpenOver(run, 300);
  for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
    gallery->Open();
    Await(*gallery);
    ASSERT_LT(gallery->rows().size(), 301u);
    run.Key(gallery->view(), Qt::Key_End, modifiers);
    EXPECT_TRUE(QTest::qWaitFor([gallery] { return gallery->selectedRow() == 300; }, 10000));
    Await(*gallery);
    EXPECT_EQ(gallery->selectedRow(), 300);
    EXPECT_EQ(gallery->selectedRows().size(), modifiers == Qt::NoModifier ? 1u : 301u);
    const QScrollBar* bar = gallery->view()->verticalScrollBar();
    const std::pair end{bar->value(), bar->maximum()};
    Settle(*gallery);
    EXPECT_EQ(std::pair(bar->value(), bar->maximum()), end) << "the scroll bar moved after End";
    const QRect last = gallery->view()->visualRect(gallery->view()->model()->index(300, 0));
    EXPECT_TRUE(gallery->view()->viewport()->rect().contains(last)) << "the last tile not shown";
  }
}

TEST(Gallery, SearchFindsNotesWhateverTheCaseOfTheirLetters) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  GalleryWindow* gallery =
      OpenOver(run, 0, {"GRÜN wie Gras", "Été indien", "ΣΟΦΊΑ", "Tide pool", "Straße"});
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"grün", {"GRÜN wie Gras"}}, {"ÉTÉ", {"Été indien"}}, {"σοφία", {"ΣΟΦΊΑ"}},
      {"TIDE", {"Tide pool"}},     {"STRAẞE", {"Straße"}},  {"grun", {}}};
  for (const auto& [search, found] : cases) {
    gallery->Search(QString::fromUtf8(search));
    Await(*gallery);
    std::vector<std::string> notes;
    for (const JournalRow& row : gallery->rows()) notes.push_back(row.note);
    EXPECT_EQ(notes, found) << search;
  }
}

// A figure `stringart --import` adds (another connection to the file) shows while the gallery is
// open, once a note being written is kept, the selected figure still selected.
TEST(Gallery, FiguresAddedElsewhereShowWhileItIsOpen) {
  QTemporaryDir dir;
  const QString path = dir.filePath("figures.sqlite");
  KeptRun run(path, 2);
  GalleryWindow* gallery = OpenOver(run, 0);
  run.Key(gallery->view(), Qt::Key_Right);
  const JournalRow selected = gallery->rows()[1];
  run.Key(gallery->view(), Qt::Key_F2);
  auto* editor = gallery->view()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "half written");
  const std::int64_t now = QDateTime::currentSecsSinceEpoch();
  Journal(path.toStdString()).Import({{testing::DrawnFigure(7), false, now, ""}});
  // The gallery looks for others' figures once a second, the thumbnails traced meanwhile too.
  QSignalSpy looked(gallery->findChild<QTimer*>(QStringLiteral("watch")), &QTimer::timeout);
  ASSERT_TRUE(looked.wait(10000));
  Settle(*gallery);
  EXPECT_EQ(gallery->rows().size(), 2u) << "read again under the note being written";
  EXPECT_EQ(editor->text(), "half written");
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([gallery] { return gallery->rows().size() >= 3; }, 10000));
  ASSERT_EQ(gallery->rows().size(), 3u) << "the new figure never showed";
  EXPECT_EQ(gallery->rows()[0].figure, Made(testing::DrawnFigure(7)));
  EXPECT_EQ(gallery->selectedRows(), std::vector{2});
  EXPECT_EQ(gallery->rows()[2].id, selected.id);
  EXPECT_EQ(gallery->rows()[2].note, "half written");
}

// A long note is told whole in the tooltip, and the tile shows its beginning.
TEST(Gallery, ALongNoteIsWholeInTheTooltip) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  std::string note = "Begins here.";
  while (note.size() < 1000) note += " and on";
  note += " Ends here.";
  GalleryWindow* gallery = OpenOver(run, 0, {note});
  const QModelIndex tile = gallery->view()->model()->index(1, 0);
  EXPECT_TRUE(tile.data(Qt::ToolTipRole).toString().contains(QString::fromStdString(note)));
  const QString shown = GalleryTile::ElidedLine(tile.data(GalleryModel::NoteRole).toString(), true,
                                                gallery->view()->fontMetrics(), 120);
  EXPECT_TRUE(shown.startsWith("Begins") && shown.endsWith(QChar(0x2026))) << shown.toStdString();
}

// "Save picture": a bare name takes the type's extension, a file it meets is replaced only when
// the person says so, and the next picture is proposed in the folder saved to.
TEST(Gallery, SavePictureAddsTheExtensionAsksBeforeReplacingAndRemembersTheFolder) {
  QTemporaryDir dir, elsewhere;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  GalleryWindow* gallery = OpenOver(run, 0);
  const QString saved = elsewhere.filePath("mine.png");
  QStringList proposed, asked;
  for (const bool replace : {true, false}) {
    testing::WhenShown<QFileDialog>([&](QFileDialog* ask) {
      proposed << QFileInfo(ask->selectedFiles().value(0)).absolutePath();
      testing::WhenShown<QMessageBox>([&](QMessageBox* box) {
        asked << box->text();
        testing::WhenShown<QFileDialog>([](QFileDialog* again) { again->reject(); });
        box->reject();
      });
      ask->setDirectory(elsewhere.path());
      ask->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("mine");
      static_cast<QDialog*>(ask)->accept();
    });
    if (!replace) std::ofstream(saved.toStdString()) << "kept";
    gallery->SavePictureAs();
    std::string why;
    EXPECT_EQ(run.files.Open(saved.toStdString(), why).has_value(), replace) << why;
  }
  EXPECT_EQ(asked.size(), 1) << "asked before replacing mine.png once";
  ASSERT_EQ(proposed.size(), 2);
  EXPECT_EQ(proposed[1], elsewhere.path()) << "the folder saved to";
}

// Undo, then Redo (Ctrl+Shift+Z or Ctrl+Y) makes a mark, a note or a removal again, in the list
// and the journal; a change made since leaves nothing to redo.
TEST(Gallery, RedoDoesAgainWhatUndoTookBackUntilSomethingNewIsDone) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  GalleryWindow* gallery = OpenOver(run, 3);
  QListView* view = gallery->view();
  const auto second = [&] {
    view->selectionModel()->setCurrentIndex(view->model()->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect);
  };
  const auto state = [&] {
    std::vector<std::tuple<std::int64_t, bool, std::string>> rows;
    for (const JournalRow& r : gallery->rows()) rows.emplace_back(r.id, r.favourite, r.note);
    return rows;
  };
  const std::function<void()> changes[] = {
      [&] { run.Key(view, Qt::Key_D, Qt::ControlModifier); },
      [&] { view->model()->setData(view->currentIndex(), "written"); },
      [&] { run.Key(view, Qt::Key_Delete); }};
  for (const auto& change : changes) {
    for (const QKeySequence& redo : {QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}) {
      second();
      const auto before = state();
      change();
      const auto after = state();
      ASSERT_NE(after, before);
      run.Key(view, Qt::Key_Z, Qt::ControlModifier);
      EXPECT_EQ(state(), before);
      QTest::keySequence(view, redo);
      EXPECT_EQ(state(), after) << redo.toString().toStdString();
      gallery->Reload();
      Await(*gallery);
      EXPECT_EQ(state(), after) << "not in the journal";
      second();
      run.Key(view, Qt::Key_Z, Qt::ControlModifier);
      Await(*gallery);
      EXPECT_EQ(state(), before);
      run.Key(view, Qt::Key_D, Qt::ControlModifier);  // a new change: nothing left to redo
      const auto marked = state();
      QTest::keySequence(view, redo);
      EXPECT_EQ(state(), marked);
      run.Key(view, Qt::Key_Z, Qt::ControlModifier);
    }
  }
}

// Saved and opened figures are told in the gallery's status line, no box to click away, in a
// sentence whose plural fits the number, in English and German.
TEST(Gallery, FiguresFilesAreToldInTheStatusLineWithTheirPlural) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  GalleryWindow* gallery = OpenOver(run, 2);
  const struct {
    QLocale::Language language;
    int figures;
    const char* told;
  } cases[] = {{QLocale::English, 1, "Saved 1 figure to"},
               {QLocale::English, 3, "Saved 3 figures to"},
               {QLocale::German, 1, "1 Figur in"},
               {QLocale::German, 3, "3 Figuren in"}};
  for (const auto& c : cases) {
    Translations language{QLocale(c.language)};
    language.Install();
    QItemSelectionModel* selection = gallery->view()->selectionModel();
    selection->clear();
    for (int i = 0; i < c.figures; ++i) {
      selection->select(gallery->view()->model()->index(i, 0), QItemSelectionModel::Select);
    }
    gallery->SaveFigures(dir.filePath("figures.json"));
    Settle(*gallery);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.told;
    EXPECT_TRUE(gallery->findChildren<QMessageBox*>().isEmpty()) << c.told;
    QStringList shown;
    for (const QLabel* label : gallery->findChildren<QLabel*>()) {
      if (label->isVisible()) shown << label->text();
    }
    EXPECT_TRUE(shown.contains(gallery->told().last())) << shown.join(" | ").toStdString();
    EXPECT_TRUE(gallery->told().last().startsWith(c.told)) << gallery->told().last().toStdString();
  }
}

// Every key the gallery answers to is in the help, in a section of its own.
TEST(Gallery, TheHelpListsTheGallerysKeys) {
  QTemporaryDir dir;
  KeptRun run(dir.filePath("figures.sqlite"), 1);
  GalleryWindow* gallery = OpenOver(run, 0);
  HelpWindow help({}, nullptr);
  const QString page = help.page()->toPlainText();
  const qsizetype section = page.indexOf("Keys in the gallery");
  ASSERT_GE(section, 0) << page.toStdString();
  QList<QAction*> actions = gallery->actions() + gallery->view()->actions();
  for (QAction* action : actions) {
    for (const QKeySequence& keys : action->shortcuts()) {
      EXPECT_GT(page.indexOf(keys.toString(QKeySequence::NativeText), section), section)
          << action->text().toStdString() << ": " << keys.toString().toStdString();
    }
  }
  EXPECT_GT(page.indexOf("Esc", section), section);
}

}  // namespace
}  // namespace stringart
