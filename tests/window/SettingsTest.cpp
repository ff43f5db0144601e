// What the program remembers from one run to the next: the window's place (unless it is on no
// screen now), the folder last saved to, the variations' strength and the gallery's tab and order.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "export/FigureFileWriter.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"
#include "window/GalleryWindow.h"
#include "window/JournalLink.h"
#include "window/Settings.h"
#include "window/VariationsWindow.h"

namespace stringart {
namespace {

// One run of the program keeping its figures in `journal`.
struct ProgramRun {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  explicit ProgramRun(const QString& journal) {
    window.KeepFigures(journal.toStdString());
    window.FormLoad();
  }
  VariationsWindow* variations() {
    ShowVariationsWindow(window.stage());
    return window.findChild<VariationsWindow*>();
  }
  GalleryWindow* gallery() {
    window.journalLink()->OpenGallery();
    GalleryWindow* shown = window.journalLink()->galleryWindow();
    EXPECT_TRUE(QTest::qWaitFor([shown] { return !shown->loading(); }, 10000));
    return shown;
  }
};

TEST(Settings, ThePlaceFolderStrengthAndGalleryOutliveARestart) {
  QTemporaryDir dir;
  const QString journal = dir.filePath("figures.sqlite");
  const QPoint place(130, 70);
  {
    ProgramRun first(journal);
    first.window.move(place);
    QString error;
    ASSERT_TRUE(first.window.SavePicture(dir.filePath("saved.png"), error)) << error.toStdString();
    first.variations()->SetStrength(0.2);
    GalleryWindow* gallery = first.gallery();
    gallery->ShowFavourites(false);
    gallery->SetOrder(GalleryQuery::Order::Marked);
    first.window.close();
  }
  ProgramRun second(journal);
  EXPECT_EQ(second.window.pos(), place);
  EXPECT_TRUE(second.window.ProposedSavePath("png").startsWith(dir.path() + "/"))
      << second.window.ProposedSavePath("png").toStdString();
  EXPECT_NEAR(second.variations()->strength(), 0.2, 0.2 * 0.02);  // the slider's step
  GalleryWindow* gallery = second.gallery();
  EXPECT_FALSE(gallery->showingFavourites());
  EXPECT_EQ(gallery->order(), GalleryQuery::Order::Marked);
  gallery->ShowFavourites(true);
  EXPECT_EQ(gallery->order(), GalleryQuery::Order::Marked) << "the favourites' own order";
  second.window.close();

  // A screen unplugged since, or a file written by hand: the window opens where it can be seen.
  settings::SetWindowPlace(QPoint(-20000, -20000));
  settings::SetVariationStrength(-1);
  ProgramRun third(journal);
  EXPECT_NE(third.window.pos(), QPoint(-20000, -20000));
  EXPECT_GT(third.variations()->strength(), 0);
}

}  // namespace
}  // namespace stringart
