// Opening files in the window: every file the window writes opens again, by Open and by a drop,
// and whatever a file's name or contents hold is shown as plain text.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "export/FigureFileWriter.h"
#include "runtime/DrawSource.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"

namespace stringart {
namespace {

struct Window {
  SuppliedDraws draws{kExampleDraws};
  FigureFileWriter files;
  Form1Window window{draws, files};
  Window() { window.FormLoad(); }

  // Drops `paths` on the window as a file manager would.
  void Drop(const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted()) << paths.join(' ').toStdString();
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    testing::AwaitFilesRead(window);
  }
};

TEST(OpenFigures, EveryFileTheWindowWritesOpensAgain) {
  Window run;
  const FigureRecord figure = run.window.form().lastFigure();
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(run.window.SavePicture(dir.filePath("saved.png"), error)) << error.toStdString();
  ASSERT_TRUE(run.window.SavePicture(dir.filePath("saved.svg"), error)) << error.toStdString();
  // "Save large picture…" and "Save animation…" as the window runs them, off its thread.
  for (const auto& [name, seconds] :
       {std::pair{"large.png", 0}, std::pair{"clip.mp4", 1}, std::pair{"clip.webm", 1}}) {
    ASSERT_TRUE(
        run.window.StartExport(testing::Request(dir.filePath(name), 600, 500, seconds, 2), error))
        << name << ": " << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !run.window.exporting(); }, 60000));
  }
  // And a plotter's G-code, which carries its figure as the other files do.
  std::string problem;
  const auto gcode =
      ExportRequest::ForPaper(dir.filePath("plot.gcode").toStdString(), PaperSettings{}, problem);
  ASSERT_TRUE(gcode && run.window.StartExport(*gcode, error)) << problem << error.toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !run.window.exporting(); }, 60000));
  const QStringList names = {"saved.png", "saved.svg", "large.png",
                             "clip.mp4",  "clip.webm", "plot.gcode"};
  EXPECT_TRUE(run.window.OpenFigureFile(dir.filePath("clip.webm"), error)) << error.toStdString();
  QStringList all;
  for (const QString& name : names) all << dir.filePath(name);
  run.Drop(all);
  const FigureHistory& history = run.window.form().history();
  ASSERT_EQ(history.size(), 2u + names.size());
  for (std::size_t i = 1; i < history.size(); ++i) {
    EXPECT_EQ(history.At(i).draws, figure.draws) << i;
    EXPECT_EQ(history.At(i).start, figure.start) << i;
  }
  EXPECT_EQ(run.window.findChild<QMessageBox*>(), nullptr);
}

TEST(OpenFigures, NamesAndContentsAreShownAsPlainText) {
  Window run;
  QTemporaryDir dir;
  const QString markup = dir.filePath("<h1>big<br><a href=\"mailto:me\">link.png");
  QFile file(markup);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a picture");
  file.close();
  const QString fifo = dir.filePath("fifo.svg");
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  // And 23 more files without a figure: the message lists 20 and counts the rest.
  QStringList dropped = {markup, fifo};
  for (int i = 0; i < 23; ++i) {
    dropped << dir.filePath(QStringLiteral("empty-%1.png").arg(i));
    QFile(dropped.back()).open(QIODevice::WriteOnly);
  }
  run.Drop(dropped);  // returns at once: a FIFO is not waited on

  auto* box = run.window.findChild<QMessageBox*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_TRUE(box->text().contains("<h1>big<br>")) << box->text().toStdString();
  EXPECT_TRUE(box->text().contains("fifo.svg': it is a pipe")) << box->text().toStdString();
  EXPECT_EQ(box->text().count('\n'), 20) << box->text().toStdString();
  EXPECT_TRUE(box->text().endsWith("and 5 more")) << box->text().toStdString();
  EXPECT_EQ(run.window.form().history().size(), 1u);
}

}  // namespace
}  // namespace stringart
