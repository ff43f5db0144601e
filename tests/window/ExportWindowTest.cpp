// The window's exports: off its thread, with a progress dialog that cancels, leaving no file
// behind when cancelled; the figure set as the wallpaper.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>

#include "export/FigureFileWriter.h"
#include "runtime/DrawSource.h"
#include "tests/support/WindowDriving.h"
#include "window/ExportNote.h"
#include "window/Form1Window.h"

namespace stringart {
namespace {

QStringList Files(const QTemporaryDir& dir) {
  return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

TEST(Form1WindowExport, RunsBesideTheWindowAndACancelLeavesNoFile) {
  SuppliedDraws draws({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.15f, 0.35f, 0.55f});
  FigureFileWriter files;
  Form1Window window(draws, files);
  window.FormLoad();
  QTemporaryDir dir;
  QString error;

  ASSERT_TRUE(
      window.StartExport(testing::Request(dir.filePath("clip.mp4"), 500, 500, 1, 10), error))
      << error.toStdString();
  EXPECT_TRUE(window.exporting());
  EXPECT_FALSE(window.StartExport(testing::Request(dir.filePath("other.png"), 500, 500), error));
  window.Command1Click();  // the window still answers, and the export keeps its figure
  EXPECT_EQ(window.form().figuresTraced(), 2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.exporting(); }, 60000));
  EXPECT_EQ(Files(dir), QStringList{"clip.mp4"});

  ASSERT_TRUE(window.StartExport(testing::Request(dir.filePath("large.png"), 4000, 4000), error))
      << error.toStdString();
  auto* progress = window.findChild<QProgressDialog*>();
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(progress->isVisible());
  emit progress->canceled();  // as a click on its Cancel button
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.exporting(); }, 60000));
  EXPECT_EQ(Files(dir), QStringList{"clip.mp4"}) << "a cancelled export left a file";
}

// Closing once the file is in place asks nothing, although the export's thread still runs:
// stopping would not unwrite it.
TEST(Form1WindowExport, ClosingOnceTheFileIsInPlaceAsksNothing) {
  SuppliedDraws draws(kExampleDraws);
  testing::TroubledFiles files;
  files.released = false;
  Form1Window window(draws, files);
  window.FormLoad();
  window.show();
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(window.StartExport(testing::Request(dir.filePath("large.png"), 4000, 4000), error))
      << error.toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(dir.filePath("large.png")); }, 60000));
  EXPECT_TRUE(window.exporting());
  bool asked = false;
  testing::WhenShown<QMessageBox>([&asked](QMessageBox* box) {
    asked = true;
    box->reject();
  });
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(asked) << "closing asked to stop a file already written";
  files.released = true;
}

// Ctrl+Shift+W: set on GNOME (its settings in a key file of the test's), and with no desktop of
// ours only drawn, the note saying where to find it.
TEST(Form1WindowExport, SetAsWallpaperTellsWhereThePictureIsWithOrWithoutADesktop) {
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
  qputenv("GSETTINGS_BACKEND", "keyfile");
  SuppliedDraws draws({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.15f, 0.35f, 0.55f});
  FigureFileWriter files;
  Form1Window window(draws, files);
  window.FormLoad();
  window.show();
  const QDir folder(home.filePath("data/stringart/wallpapers"));
  for (const char* desktop : {"", "GNOME"}) {
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    window.activateWindow();  // keys go to the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(window.exporting()) << desktop;
    auto* note = window.findChild<ExportNote*>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return note->isVisible(); }, 60000));
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 1) << desktop;
    EXPECT_TRUE(note->text().contains(folder.entryList(QDir::Files).value(0)))
        << note->text().toStdString();
    EXPECT_EQ(note->text().contains("GNOME"), *desktop != '\0') << note->text().toStdString();
  }
  qunsetenv("XDG_CURRENT_DESKTOP");
}

}  // namespace
}  // namespace stringart
