// The ways through the window that end in a dialog or a message: files chosen in file dialogs,
// menus opened with the mouse and the keyboard, exports that fail or are refused and what they
// say, the full screen's and the variations' mouse and keys, and closing while dropped files are
// read.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <chrono>
#include <fstream>
#include <memory>

#include "journal/FiguresFile.h"
#include "options/FigureCommand.h"
#include "tests/support/Figures.h"
#include "tests/support/WindowDriving.h"
#include "window/ExportDialog.h"
#include "window/ExportNote.h"
#include "window/Form1Window.h"
#include "window/FullScreenView.h"
#include "window/GalleryWindow.h"
#include "window/JournalLink.h"
#include "window/MorphButton.h"
#include "window/PaperDialog.h"
#include "window/Picture1View.h"
#include "window/VariationsWindow.h"

namespace stringart {
namespace {

using testing::DrawnFigure;
using testing::WhenAskedForAFile;

FigureRecord Made(const FigureRecord& figure) {
  return {figure.draws, figure.start, {}};
}

// A user's window with `figures` figures made, keeping them in a journal and its wallpapers in a
// folder of the run's own.
struct Desk {
  QTemporaryDir dir;
  testing::SpyDraws random;
  testing::TroubledFiles files;
  std::unique_ptr<Form1Window> window = std::make_unique<Form1Window>(random, files);

  explicit Desk(int figures = 2) {
    for (const char* place : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      qputenv(place, dir.filePath(place).toUtf8());
    }
    qputenv("GSETTINGS_BACKEND", "keyfile");
    window->KeepFigures(path("figures.sqlite").toStdString());
    window->FormLoad();
    while (static_cast<int>(history().size()) < figures) window->Command1Click();
  }
  QString path(const char* name) const { return dir.filePath(name); }
  const FigureHistory& history() const { return window->form().history(); }
  FigureRecord shown() const { return Made(window->form().lastFigure()); }
  // A key pressed in the window of `to`, made the active one first as a user's click would.
  void Key(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    to->window()->show();
    to->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(to->window(), 20000));
    QTest::keyClick(to, key, modifiers);
  }
  // The figure a file carries, or a failure.
  FigureRecord Carried(const QString& file) {
    std::string error;
    const auto figure = files.Open(file.toStdString(), error);
    if (figure) return Made(*figure);
    ADD_FAILURE() << file.toStdString() << ": " << error;
    return {};
  }
  // A PNG of figure `i` of the known ones, written as the program writes it.
  QString WrittenFigure(std::uint64_t i, const char* name) {
    Picture1 picture;
    TraceAgain(DrawnFigure(i), picture);
    std::string error;
    EXPECT_TRUE(files.Save(path(name).toStdString(), picture, DrawnFigure(i), error)) << error;
    return path(name);
  }
};

// An export, a plot or a wallpaper that fails or is refused: each is told in a box titled by what
// was asked for that says why; an export already being written goes on to its end.
struct Trouble {
  const char* name;
  bool busy;  // refused while another file is being written, else failed as on a full disk
  std::function<void(Desk&)> ask;
  const char* title;
};

void SaveFromExportDialog(Desk& r, const char* name, void (Form1Window::*ask)()) {
  testing::WhenShown<ExportDialog>([file = r.path(name)](ExportDialog* dialog) {
    dialog->fileBox()->setText(file);
    dialog->accept();
  });
  (r.window.get()->*ask)();
}

void SaveForPaper(Desk& r) {
  testing::WhenShown<PaperDialog>([file = r.path("plot.svg")](PaperDialog* dialog) {
    dialog->fileBox()->setText(file);
    dialog->accept();
  });
  r.window->SaveForPaperAs();
}

const Trouble kTroubles[] = {
    {"large_picture_fails", false,
     [](Desk& r) { SaveFromExportDialog(r, "large.png", &Form1Window::SaveLargePictureAs); },
     "Save large picture"},
    {"animation_fails", false,
     [](Desk& r) { SaveFromExportDialog(r, "clip.mp4", &Form1Window::SaveAnimationAs); },
     "Save animation"},
    {"paper_fails", false, SaveForPaper, "Save for paper"},
    {"wallpaper_fails", false,
     [](Desk& r) { r.Key(r.window.get(), Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier); },
     "Set as wallpaper"},
    {"large_picture_refused", true,
     [](Desk& r) { SaveFromExportDialog(r, "large.png", &Form1Window::SaveLargePictureAs); },
     "Save large picture"},
    {"paper_refused", true, SaveForPaper, "Save for paper"},
    {"wallpaper_refused", true, [](Desk& r) { r.window->SetAsWallpaper(); }, "Set as wallpaper"},
};

void PrintTo(const Trouble& trouble, std::ostream* out) {
  *out << trouble.name;
}

class ExportTroubles : public ::testing::TestWithParam<Trouble> {};

TEST_P(ExportTroubles, AreToldInABoxSayingWhy) {
  const Trouble& trouble = GetParam();
  Desk r;
  r.window->show();
  QString error;
  if (trouble.busy) {
    r.files.released = false;
    ASSERT_TRUE(r.window->StartExport(testing::Request(r.path("busy.png"), 600, 500), error))
        << error.toStdString();
  } else {
    r.files.failure = "no room left on the disk";
  }
  const auto said = testing::WhenTold();
  trouble.ask(r);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !said->isEmpty(); }, 60000));
  EXPECT_TRUE(said->startsWith(QString(trouble.title) + ": ")) << said->toStdString();
  EXPECT_TRUE(said->contains(trouble.busy ? "being written" : "No room left on the disk."))
      << said->toStdString();
  r.files.released = true;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !r.window->exporting(); }, 60000));
  // The note tells of the file written, if any, never of the one refused or failed.
  const ExportNote* note = r.window->exportNote();
  if (trouble.busy) {
    EXPECT_EQ(r.Carried(r.path("busy.png")), r.shown());
    EXPECT_TRUE(note->isVisible() && note->text().contains("busy.png"))
        << note->text().toStdString();
  } else {
    EXPECT_FALSE(note->isVisible()) << note->text().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Window, ExportTroubles, ::testing::ValuesIn(kTroubles),
                         [](const auto& info) { return std::string(info.param.name); });

// Ctrl+O opens the figure of the file chosen; About, from the Help submenu of the menu that
// Shift+F10 opens, names the journal the figures are kept in.
TEST(WindowDialogs, CtrlOOpensTheFileChosenAndAboutNamesTheJournal) {
  Desk r;
  WhenAskedForAFile(r.WrittenFigure(3, "chosen.png"));
  r.Key(r.window.get(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.history().size() == 3u; }, 20000));
  EXPECT_EQ(r.shown(), Made(DrawnFigure(3)));

  const auto said = testing::WhenTold();
  testing::ChooseFromMenu({"Help", "About"});
  r.Key(r.window->pictureView(), Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !said->isEmpty(); }, 20000));
  EXPECT_TRUE(said->startsWith("About stringart: ")) << said->toStdString();
  EXPECT_TRUE(said->contains(QDir::toNativeSeparators(r.path("figures.sqlite"))))
      << said->toStdString();
}

// The mouse's back and forward buttons go through the figures in the window and in the full
// screen alike; in a slideshow (Shift+F11) a click ends it.
TEST(WindowDialogs, MouseBackAndForwardButtonsWorkInTheWindowAndFullScreen) {
  Desk r(3);
  r.window->show();
  for (const bool fullScreen : {false, true}) {
    QWidget* target = r.window.get();
    if (fullScreen) {
      r.Key(r.window.get(), Qt::Key_F11);
      target = r.window->fullScreenView();
      ASSERT_NE(target, nullptr);
    }
    // In the window, on the canvas, which leaves them to the window.
    QWidget* under = fullScreen ? target : r.window->pictureView();
    for (const auto& [button, place] :
         {std::pair{Qt::BackButton, 1u}, {Qt::BackButton, 0u}, {Qt::ForwardButton, 1u}}) {
      QTest::mouseClick(under, button);
      EXPECT_EQ(r.history().shown(), place) << (fullScreen ? "full screen" : "window");
    }
    QTest::mouseClick(under, Qt::ForwardButton);
    if (fullScreen) {
      EXPECT_EQ(r.window->fullScreenView(), target) << "the buttons closed it";
    }
  }
  r.Key(r.window->fullScreenView(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.window->fullScreenView() == nullptr; }, 20000));

  r.Key(r.window.get(), Qt::Key_F11, Qt::ShiftModifier);
  FullScreenView* slideshow = r.window->fullScreenView();
  ASSERT_NE(slideshow, nullptr);
  EXPECT_EQ(slideshow->windowTitle(), "Form1 slideshow");
  QTest::mouseClick(slideshow, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.window->fullScreenView() == nullptr; }, 20000));
}

// Files dropped on the window are read off its thread; closing the window meanwhile waits for the
// reading to end rather than tearing the reader down under it (which aborts the program).
TEST(WindowDialogs, ClosingWhileDroppedFilesAreReadWaitsForTheReading) {
  Desk r;
  const QString file = r.WrittenFigure(4, "dropped.png");
  r.files.readable = false;
  QMimeData dropped;
  dropped.setUrls({QUrl::fromLocalFile(file)});
  // As the window system brings a drop: the drag comes in, then is let go.
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(r.window.get(), &enter);
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(r.window.get(), &drop);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.files.reading.load(); }, 20000));
  EXPECT_TRUE(r.window->readingFiles());
  r.window->close();
  // The file becomes readable as the window goes: its reader is still at work.
  r.files.readable = true;
  r.window.reset();
}

// The tiles' menu, from a right click or Shift+F10, saves a picture and a figures file through
// their dialogs; Ctrl+O adds a figures file's figures; Ctrl+F searches the notes and Escape
// clears the search; the order box sorts by marking; Save morph… asks for its file and tells a
// failure.
TEST(GalleryDialogs, MenusKeysAndDialogsReachTheirFiles) {
  Desk r(3);
  r.window->journalLink()->OpenGallery();
  GalleryWindow* gallery = r.window->journalLink()->galleryWindow();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !gallery->loading() && gallery->rows().size() == 3; }, 20000));
  QListView* view = gallery->view();
  ASSERT_TRUE(QTest::qWaitForWindowActive(gallery, 20000));

  // A right click on the newest tile, as the window system delivers it: Save picture.
  const QPoint tile = view->visualRect(view->model()->index(0, 0)).center();
  WhenAskedForAFile(r.path("tile"));
  testing::ChooseFromMenu({"Save picture"});
  QContextMenuEvent click(QContextMenuEvent::Mouse, tile, view->viewport()->mapToGlobal(tile));
  QCoreApplication::sendEvent(view->viewport(), &click);
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(r.path("tile.png")); }, 20000));
  EXPECT_EQ(r.Carried(r.path("tile.png")), Made(gallery->rows()[0].figure));

  // Shift+F10: Save figures, the selected one.
  WhenAskedForAFile(r.path("kept.json"));
  testing::ChooseFromMenu({"Save figures"});
  r.Key(view, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return gallery->told().size() == 1; }, 20000));
  EXPECT_TRUE(gallery->told()[0].contains("kept.json")) << gallery->told()[0].toStdString();
  std::string error;
  const auto saved = ReadFiguresFile(r.path("kept.json").toStdString(), error);
  ASSERT_TRUE(saved) << error;
  ASSERT_EQ(saved->size(), 1u);
  EXPECT_EQ(Made((*saved)[0].figure), Made(gallery->rows()[0].figure));

  // Ctrl+O: a figures file of another figure, with a note.
  std::ofstream(r.path("more.json").toStdString())
      << FormatFiguresFile({{DrawnFigure(5), false, 1000, "sea green"}});
  WhenAskedForAFile(r.path("more.json"));
  r.Key(view, Qt::Key_O, Qt::ControlModifier);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return gallery->told().size() == 2 && !gallery->loading(); }, 20000));
  EXPECT_TRUE(gallery->told()[1].contains("more.json")) << gallery->told()[1].toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return gallery->rows().size() == 4u; }, 20000));

  // Ctrl+F, typing: the noted figure alone; Escape empties the search and the gallery stays.
  r.Key(view, Qt::Key_F, Qt::ControlModifier);
  QLineEdit* search = nullptr;
  for (QLineEdit* line : gallery->findChildren<QLineEdit*>()) {
    if (line->placeholderText() == "Search notes") search = line;
  }
  ASSERT_TRUE(search != nullptr && search->hasFocus());
  QTest::keyClicks(search, "green");
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !gallery->loading() && gallery->rows().size() == 1; }, 20000));
  EXPECT_EQ(Made(gallery->rows()[0].figure), Made(DrawnFigure(5)));
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_TRUE(search->text().isEmpty());
  EXPECT_TRUE(gallery->isVisible());
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !gallery->loading() && gallery->rows().size() == 4; }, 20000));

  // The order box: the oldest figure, marked, comes first among those latest marked.
  const FigureRecord oldest = Made(gallery->rows()[3].figure);
  view->setCurrentIndex(view->model()->index(3, 0));
  r.Key(view, Qt::Key_D, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return gallery->rows()[3].favourite; }, 20000));
  ASSERT_TRUE(r.window->journalLink()->journal().AwaitKept(std::chrono::seconds(20)));
  QComboBox* order = nullptr;
  for (QComboBox* box : gallery->findChildren<QComboBox*>()) {
    if (box->itemText(0) == "Newest shown first") order = box;
  }
  ASSERT_NE(order, nullptr);
  QTest::keyClick(order, Qt::Key_Down);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return !gallery->loading() && Made(gallery->rows()[0].figure) == oldest; }, 20000));

  // Save morph… with two selected: asked for a file, then told that the writing failed.
  r.files.failure = "no room left on the disk";
  QItemSelectionModel* selection = view->selectionModel();
  selection->setCurrentIndex(view->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
  selection->setCurrentIndex(view->model()->index(2, 0), QItemSelectionModel::Select);
  WhenAskedForAFile(r.path("morph.webm"));
  const auto said = testing::WhenTold();
  QTest::mouseClick(gallery->saveMorphButton(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !said->isEmpty(); }, 60000));
  EXPECT_TRUE(said->startsWith("Save morph: ") && said->contains("No room left on the disk"))
      << said->toStdString();
  EXPECT_FALSE(gallery->saveMorphButton()->note()->isVisible());
}

// Browse proposes the kind's file type and names a bare choice with it; a click on a pen's swatch
// gives it the colour chosen in the colour dialog.
TEST(PaperDialogs, BrowseNamesTheFileAndASwatchTakesTheColourChosen) {
  Desk r(1);
  PaperDialog dialog(r.window->form().lastFigure(), r.dir.path(), r.window.get());
  dialog.show();
  WhenAskedForAFile(r.path("chosen"));
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == "&Browse\u2026") QTest::mouseClick(button, Qt::LeftButton);
  }
  EXPECT_EQ(dialog.fileBox()->text(), r.path("chosen.svg"));

  testing::WhenShown<QColorDialog>([](QColorDialog* colours) {
    colours->setCurrentColor(QColor(10, 20, 30));
    colours->accept();
  });
  QTest::mouseClick(dialog.swatches()[1], Qt::LeftButton);
  EXPECT_EQ(dialog.pens()[1], PackColour(10, 20, 30));
}

// A click on a tile shows its figure; the arrows move the selection around the grid, staying on
// it, and Escape closes the window.
TEST(VariationsDialogs, AClickShowsTheTileAndTheArrowsMoveOnTheGrid) {
  Desk r(1);
  r.window->show();
  r.Key(r.window.get(), Qt::Key_E, Qt::ControlModifier);
  auto* variations = r.window->findChild<VariationsWindow*>();
  ASSERT_NE(variations, nullptr);
  const FigureRecord corner = Made(variations->figure(8));
  const int step = VariationsWindow::kTileSide + VariationsWindow::kGap;
  QTest::mouseClick(
      variations, Qt::LeftButton, {},
      QPoint(VariationsWindow::kGap + 2 * step + 5, VariationsWindow::kGap + 2 * step + 5));
  EXPECT_EQ(r.shown(), corner);
  EXPECT_EQ(r.history().size(), 2u);

  const struct {
    Qt::Key key;
    int selected;
  } moves[] = {{Qt::Key_Up, 1},    {Qt::Key_Up, 1},   {Qt::Key_Right, 2},
               {Qt::Key_Right, 2}, {Qt::Key_Down, 5}, {Qt::Key_Left, 4}};
  for (const auto& move : moves) {
    r.Key(variations, move.key);
    EXPECT_EQ(variations->selected(), move.selected) << QTest::toString(move.key);
  }
  r.Key(variations, Qt::Key_Escape);
  EXPECT_FALSE(variations->isVisible());
}

}  // namespace
}  // namespace stringart
