// The run's figures in the window: back and forward, "new" after going back, the keys and
// buttons that do it, the figure's name and command, and opening saved figures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <vector>

#include "export/FigureFileWriter.h"
#include "options/FigureCommand.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"
#include "window/Picture1View.h"

namespace stringart {
namespace {

using testing::Retraced;
using testing::SamePixels;

struct Figures {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  std::vector<QImage> seen;  // the canvas after each fresh figure, in order

  // Loads the window and presses "new" until there are `figures` figures.
  explicit Figures(int figures) {
    window.FormLoad();
    seen.push_back(canvas());
    while (static_cast<int>(seen.size()) < figures) New();
  }
  void New() {
    QTest::mouseClick(window.command1(), Qt::LeftButton);
    seen.push_back(canvas());
  }
  QImage canvas() const { return WrapPicture(window.picture()).copy(); }
  const FigureHistory& history() const { return window.form().history(); }
  // The context menu's texts, "-" for a separator and "(off)" after a disabled action.
  QStringList menu() const {
    QMenu menu;
    window.FillContextMenu(menu);
    QStringList texts;
    for (const QAction* a : menu.actions()) {
      texts << (a->isSeparator() ? "-" : a->text() + (a->isEnabled() ? "" : " (off)"));
    }
    return texts;
  }
};

TEST(History, BackAndForwardShowEachFigureWithTheSamePixels) {
  Figures run(3);
  EXPECT_EQ(run.menu().mid(0, 4),
            QStringList({"Figure 3 of 3 (off)", "&New figure", "&Back", "&Forward (off)"}));
  const long traced = run.window.form().figuresTraced();
  const int draws = run.random.figuresStarted;

  run.window.GoBack();
  EXPECT_TRUE(SamePixels(run.canvas(), run.seen[1]));
  // The mouse's back button, anywhere on the window.
  QTest::mouseClick(run.window.pictureView(), Qt::BackButton);
  EXPECT_TRUE(SamePixels(run.canvas(), run.seen[0]));
  EXPECT_EQ(run.menu().mid(0, 4),
            QStringList({"Figure 1 of 3 (off)", "&New figure", "&Back (off)", "&Forward"}));
  run.window.GoBack();  // at the first figure: nothing happens
  EXPECT_EQ(run.history().shown(), 0u);

  QTest::mouseClick(run.window.command1(), Qt::ForwardButton);
  EXPECT_TRUE(SamePixels(run.canvas(), run.seen[1]));
  run.window.GoForward();
  EXPECT_TRUE(SamePixels(run.canvas(), run.seen[2]));
  run.window.GoForward();  // at the last figure: nothing happens
  EXPECT_EQ(run.history().shown(), 2u);
  EXPECT_EQ(run.window.form().figuresTraced(), traced) << "going back and forth made figures";
  EXPECT_EQ(run.random.figuresStarted, draws) << "going back and forth took draws";
}

TEST(History, NewAfterBackGoesToTheEndAndStartsFromTheShownFiguresDirections) {
  // Until some figure left other directions than the last one did: only then does it matter
  // which figure "new" goes on from.
  Figures run(2);
  std::size_t differing = 0;
  while (run.seen.size() < 12 && differing == 0) {
    run.New();
    const FigureRecord last = run.history().At(run.history().size() - 1);
    for (std::size_t i = 0; i + 1 < run.history().size(); ++i) {
      if (!(run.history().At(i).end == last.end)) differing = i + 1;
    }
  }
  ASSERT_NE(differing, 0u) << "every figure of 12 left the same directions";
  std::vector<FigureRecord> before;
  for (std::size_t i = 0; i < run.history().size(); ++i) before.push_back(run.history().At(i));

  while (run.history().shown() + 1 > differing) run.window.GoBack();
  run.New();
  const FigureHistory& history = run.history();
  ASSERT_EQ(history.size(), before.size() + 1);
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(history.At(i), before[i]) << i;
  EXPECT_EQ(history.shown(), before.size());
  const FigureRecord added = history.At(before.size());
  EXPECT_EQ(added.start, before[differing - 1].end);
  EXPECT_EQ(added, run.window.form().lastFigure());
  EXPECT_TRUE(SamePixels(run.canvas(), Retraced(added)));
}

TEST(History, KeysPressNewAndGoBackAnywhereInTheWindow) {
  Figures run(1);
  run.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
  run.window.pictureView()->setFocus();
  // A figure from the keys is made once the events queued with them are seen.
  QTest::keyClick(&run.window, Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.window.form().figuresTraced() == 2; }, 20000));
  QTest::keyClick(&run.window, Qt::Key_F5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return run.window.form().figuresTraced() == 3; }, 20000));
  QTest::keyClick(&run.window, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(run.history().shown(), 1u);
  QTest::keyClick(&run.window, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(run.history().shown(), 2u);
  for (const char* shortcut : {"Ctrl+N", "F5"}) {
    EXPECT_TRUE(run.window.command1()->toolTip().contains(shortcut)) << shortcut;
  }
}

TEST(History, CommandAndProposedNameIdentifyTheShownFigure) {
  Figures run(2);
  run.window.CopyFigureCommand();
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
            RemakeCommand(run.window.form().lastFigure()) + " -o figure-" +
                FigureName(run.window.form().lastFigure()) + ".png");
  QTemporaryDir dir;
  const QString second = run.window.ProposedSavePath("png");
  QString error;
  ASSERT_TRUE(run.window.SavePicture(dir.filePath("saved.svg"), error)) << error.toStdString();
  run.window.GoBack();
  const QString first = run.window.ProposedSavePath("png");
  EXPECT_EQ(QFileInfo(first).absolutePath(), dir.path()) << "not the folder last saved to";
  EXPECT_NE(QFileInfo(first).fileName(), QFileInfo(second).fileName());
  EXPECT_TRUE(
      first.endsWith(QString::fromStdString("figure-" + FigureName(run.history().At(0)) + ".png")))
      << first.toStdString();
}

TEST(History, OpeningASavedPngOrSvgAppendsItsFigure) {
  Figures run(2);
  QTemporaryDir dir;
  QString error;
  const FigureRecord saved = run.window.form().lastFigure();
  for (const char* name : {"f.png", "f.svg"}) {
    ASSERT_TRUE(run.window.SavePicture(dir.filePath(name), error)) << error.toStdString();
  }
  run.New();
  run.window.GoBack();
  run.window.GoBack();  // the first figure: "new" would start elsewhere than `saved` did

  // Open the PNG from the menu's way, drop the SVG on the window.
  ASSERT_TRUE(run.window.OpenFigureFile(dir.filePath("f.png"), error)) << error.toStdString();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(dir.filePath("f.svg"))});
  // Qt hands the drop to the widget that took the drag as it entered.
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&run.window, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&run.window, &drop);
  testing::AwaitFilesRead(run.window);

  ASSERT_EQ(run.history().size(), 5u);
  for (std::size_t i : {3u, 4u}) {
    const FigureRecord opened = run.history().At(i);
    EXPECT_EQ(opened.draws, saved.draws) << i;
    EXPECT_EQ(opened.start, saved.start) << i;
    EXPECT_EQ(opened.end, saved.end) << i;
  }
  EXPECT_EQ(run.history().shown(), 4u);
  EXPECT_TRUE(SamePixels(run.canvas(), run.seen[1]));
}

TEST(History, AFileWithoutAGoodCommandChangesNothing) {
  Figures run(2);
  run.window.GoBack();
  QTemporaryDir dir;
  auto write = [&dir](const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  };
  QImage plain(4, 4, QImage::Format_RGB32);
  plain.save(dir.filePath("plain.png"));
  QImage damaged = plain;
  damaged.setText("Comment", "stringart-render --draws 0.1,0.2,x --directions 1,1,1");
  damaged.save(dir.filePath("damaged.png"));
  const QString svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><metadata>%1</metadata></svg>";
  const QStringList files = {
      dir.filePath("plain.png"),
      dir.filePath("damaged.png"),
      write("text.png", "not a picture"),
      write("plain.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"></svg>"),
      write("damaged.svg", svg.arg("stringart-render --draws 0.1 --directions 1,1,1").toUtf8()),
      write("directions.svg", svg.arg("stringart-render --draws 0,0,0,0,0,0,0,0,0,0,0,0 "
                                      "--directions 1,2,1")
                                  .toUtf8()),
      write("notes.txt", "stringart-render --draws 0,0,0,0,0,0,0,0,0,0,0,0"),
      dir.filePath("missing.png"),
  };
  const QImage canvas = run.canvas();
  for (const QString& path : files) {
    QString error;
    EXPECT_FALSE(run.window.OpenFigureFile(path, error)) << path.toStdString();
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(run.history().size(), 2u) << path.toStdString();
    EXPECT_EQ(run.history().shown(), 0u) << path.toStdString();
    EXPECT_TRUE(SamePixels(run.canvas(), canvas)) << path.toStdString();
  }
}

}  // namespace
}  // namespace stringart
