// The window as a keyboard user, a screen reader and a file manager meet it: shortcuts and the
// menu's keys, the export dialogs and the note that follows, the question before closing during
// an export, and opening the figures named on the command line.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "export/FigureFileWriter.h"
#include "figure/FigureHistory.h"
#include "tests/support/WindowDriving.h"
#include "window/ExportDialog.h"
#include "window/ExportNote.h"
#include "window/Form1Window.h"
#include "window/Picture1View.h"

namespace stringart {
namespace {

// Stands in for the file manager: keeps the address it was asked to open.
class UrlSpy final : public QObject {
  Q_OBJECT
 public slots:
  void Open(const QUrl& url) { opened = url; }

 public:
  QUrl opened;
};

struct Window {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};
  explicit Window(int figures = 1) {
    window.FormLoad();
    for (int i = 1; i < figures; ++i) window.Command1Click();
  }
  QString Name() const { return QString::fromStdString(FigureName(window.form().lastFigure())); }
};

TEST(Keys, EveryMenuActionHasAShortcutAndAMnemonicAndTheMenuAndPrintKeysOpenTheirs) {
  Window run(2);
  QMenu menu;
  run.window.FillContextMenu(menu);
  for (const QAction* action : menu.actions()) {
    if (action->isSeparator() || action->text().startsWith("Figure")) continue;
    // A submenu (Help) opens by its mnemonic alone.
    if (action->menu() == nullptr) {
      EXPECT_FALSE(action->shortcut().isEmpty()) << action->text().toStdString();
    }
    EXPECT_TRUE(action->text().contains('&')) << action->text().toStdString();
  }
  EXPECT_TRUE(run.window.pictureView()->accessibleName().contains(run.Name()));
  EXPECT_TRUE(run.window.pictureView()->accessibleDescription().contains("Figure 2 of 2"));
  EXPECT_TRUE(run.window.command1()->accessibleDescription().contains("Ctrl+N"));

  run.window.activateWindow();  // keys go to the active window
  ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
  run.window.command1()->setFocus();
  QTest::keyClick(&run.window, Qt::Key_Tab);
  EXPECT_TRUE(run.window.pictureView()->hasFocus()) << "Tab does not reach the canvas";
  const QRect canvas(run.window.pictureView()->mapToGlobal(QPoint()), QSize(500, 500));
  for (const QKeyCombination key : {Qt::SHIFT | Qt::Key_F10, QKeyCombination(Qt::Key_Menu)}) {
    QRect opened;
    run.window.activateWindow();  // again, once the last menu has gone
    ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
    testing::WhenShown<QMenu>([&opened](QMenu* shown) {
      opened = shown->geometry();
      shown->close();
    });
    QTest::keyClick(run.window.pictureView(), key.key(), key.keyboardModifiers());
    EXPECT_TRUE(canvas.contains(opened.topLeft()))
        << QKeySequence(key).toString().toStdString() << ": menu at " << opened.x() << ","
        << opened.y();
  }
  // Ctrl+P prints, through the desktop's print dialog; Ctrl+Shift+P saves for paper.
  for (const auto& [keys, kind] :
       {std::pair{"Ctrl+P", "QPrintDialog"}, std::pair{"Ctrl+Shift+P", "stringart::PaperDialog"}}) {
    QString shown;
    testing::WhenShown<QDialog>([&shown](QDialog* dialog) {
      shown = dialog->metaObject()->className();
      dialog->reject();
    });
    run.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
    QTest::keySequence(&run.window, QKeySequence(keys));
    EXPECT_EQ(shown, kind) << keys;
  }
  run.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
  QTest::keyClick(&run.window, Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(run.window.isVisible()) << "Ctrl+W left the window open";
}

TEST(ExportDialogs, ProposeTheFigureInTheLastFolderAndKeepARefusedName) {
  Window run;
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(run.window.SavePicture(dir.filePath("saved.png"), error)) << error.toStdString();
  testing::WhenShown<ExportDialog>([&](ExportDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Save large picture");
    EXPECT_EQ(dialog->path(), dir.filePath("figure-" + run.Name() + "-4000x4000.png"));
    QStringList presets;  // sorted, and with the common screens
    for (int i = 0; i < dialog->presets()->count(); ++i) presets << dialog->presets()->itemText(i);
    EXPECT_EQ(presets.join(", ").toStdString(),
              "500 × 500, 1000 × 1000, 1280 × 720, 1920 × 1080, 2000 × 2000, 2560 × 1440, "
              "3840 × 2160, 4000 × 4000, 5120 × 2880, 7680 × 4320, 8000 × 8000, "
              "16384 × 16384, Other size");
    dialog->widthBox()->selectAll();  // typed too large: told, not cut to 2000
    QTest::keyClicks(dialog->widthBox(), "20000");
    EXPECT_EQ(dialog->widthBox()->value(), 20000);
    EXPECT_TRUE(dialog->problemLabel()->text().contains("16384"))
        << dialog->problemLabel()->text().toStdString();
    dialog->widthBox()->setValue(640);  // a size of one's own, and the name follows it
    EXPECT_TRUE(dialog->problemLabel()->isHidden());
    EXPECT_EQ(dialog->presets()->currentText(), "Other size");
    EXPECT_TRUE(dialog->path().endsWith("-640x4000.png")) << dialog->path().toStdString();
    dialog->fileBox()->setText(dir.filePath("big.jpg"));
    QTest::keyClick(dialog->fileBox(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "a refused name closed the dialog";
    EXPECT_TRUE(dialog->problemLabel()->text().contains(".png"));
    dialog->fileBox()->setText(dir.filePath("big"));
    QTest::keyClick(dialog->fileBox(), Qt::Key_Return);
  });
  run.window.SaveLargePictureAs();
  ASSERT_TRUE(run.window.exporting());
  UrlSpy files;
  const QByteArray path = qgetenv("PATH");
  QDesktopServices::setUrlHandler("file", &files, "Open");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !run.window.exporting(); }, 60000));
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("big.png")));
  ExportNote* note = run.window.exportNote();
  EXPECT_TRUE(note->isVisible() && note->text().contains("big.png")) << note->text().toStdString();
  QTest::mouseClick(note->openFolderButton(), Qt::LeftButton);
  EXPECT_EQ(files.opened, QUrl::fromLocalFile(dir.path()));
  QDesktopServices::unsetUrlHandler("file");
  qputenv("PATH", "");  // no file manager to be found
  QTest::mouseClick(note->openFolderButton(), Qt::LeftButton);
  qputenv("PATH", path);
  EXPECT_TRUE(note->text().contains(dir.filePath("big.png"))) << note->text().toStdString();

  testing::WhenShown<ExportDialog>([&](ExportDialog* dialog) {
    EXPECT_EQ(QFileInfo(dialog->path()).absolutePath(), dir.path()) << "not the last folder";
    EXPECT_TRUE(dialog->path().endsWith("figure-" + run.Name() + ".mp4"));
    dialog->widthBox()->setValue(501);
    dialog->accept();
    EXPECT_TRUE(dialog->problemLabel()->text().contains("even")) << "an odd side was taken";
    dialog->reject();
  });
  run.window.SaveAnimationAs();
  EXPECT_FALSE(run.window.exporting());
}

TEST(CloseDuringExport, CancelKeepsTheWindowAndTheExportAndStoppingLeavesNoFile) {
  Window run;
  run.window.show();
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(
      run.window.StartExport(testing::Request(dir.filePath("kept.png"), 4000, 4000), error));
  QString asked;
  testing::WhenShown<QMessageBox>([&asked](QMessageBox* box) {
    asked = box->text();
    box->button(QMessageBox::Cancel)->click();
  });
  EXPECT_FALSE(run.window.close());
  EXPECT_EQ(asked, "Stop writing kept.png and quit?");
  EXPECT_TRUE(run.window.isVisible() && run.window.exporting());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !run.window.exporting(); }, 60000));
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("kept.png")));

  {
    Window other;
    other.window.show();
    ASSERT_TRUE(
        other.window.StartExport(testing::Request(dir.filePath("stopped.png"), 4000, 4000), error));
    testing::WhenShown<QMessageBox>([](QMessageBox* box) {
      for (QAbstractButton* b : box->buttons()) {
        if (box->buttonRole(b) == QMessageBox::DestructiveRole) b->click();
      }
    });
    other.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other.window));
    QTest::keyClick(&other.window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(other.window.isVisible());
  }  // the window goes, and with it the export
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("stopped.png")));
}

TEST(CommandLine, FilesOpenWithTheFirstShownAndOneLinePerProblem) {
  QTemporaryDir dir;
  QString error;
  Window run(2);
  const FigureRecord second = run.window.form().lastFigure();
  ASSERT_TRUE(run.window.SavePicture(dir.filePath("b.png"), error)) << error.toStdString();
  run.window.GoBack();
  ASSERT_TRUE(run.window.SavePicture(dir.filePath("a.svg"), error)) << error.toStdString();
  run.window.OpenFigureFiles({dir.filePath("b.png"), dir.filePath("missing.png"),
                              dir.filePath("a.svg"), dir.filePath("notes.txt")},
                             true);
  testing::AwaitFilesRead(run.window);
  EXPECT_EQ(run.window.form().history().size(), 4u);
  EXPECT_EQ(run.window.form().history().shown(), 2u);
  EXPECT_EQ(run.window.form().lastFigure().draws, second.draws);
  auto* box = run.window.findChild<QMessageBox*>();
  ASSERT_TRUE(box != nullptr && box->windowTitle() == "Open figure");
  const QStringList lines = box->text().split('\n');
  ASSERT_EQ(lines.size(), 2) << box->text().toStdString();
  for (const QString& line : lines) EXPECT_TRUE(line[0].isUpper()) << line.toStdString();

  run.window.OpenFigure(second);
  EXPECT_EQ(run.window.form().history().shown(), 4u);
  EXPECT_TRUE(testing::SamePixels(WrapPicture(run.window.picture()), testing::Retraced(second)));
}

TEST(SavePicture, ARefusedNameIsToldAndAskedForAgain) {
  Window run;
  QTemporaryDir dir;
  QStringList seen;
  testing::WhenShown<QFileDialog>([&](QFileDialog* first) {
    testing::WhenShown<QMessageBox>([&](QMessageBox* box) {
      seen << box->windowTitle() + ": " + box->text();
      testing::WhenShown<QFileDialog>([&](QFileDialog* again) {
        seen << again->selectedFiles().value(0);
        again->reject();
      });
      box->accept();
    });
    // Typed into the name's box: selectFile leaves the box alone once it has the focus, which it
    // gets only some time after the dialog shows.
    first->setDirectory(dir.path());
    first->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QStringLiteral("figure.jpg"));
    static_cast<QDialog*>(first)->accept();  // as its Save button
  });
  run.window.SavePictureAs();
  ASSERT_EQ(seen.size(), 2) << seen.join(" | ").toStdString();
  EXPECT_TRUE(seen[0].startsWith("Save picture: Cannot save")) << seen[0].toStdString();
  // Asked again where the user was; the dialog puts the chosen type's extension on the name.
  EXPECT_EQ(seen[1].toStdString(), dir.filePath("figure.png").toStdString());
}

// An animation that takes over ten minutes to write says so first; Cancel keeps the dialog.
TEST(ExportDialogs, LongWorkIsToldBeforeItStarts) {
  Window run;
  QTemporaryDir dir;
  testing::WhenShown<ExportDialog>([&](ExportDialog* dialog) {
    dialog->widthBox()->setValue(4096);
    dialog->heightBox()->setValue(4096);
    dialog->secondsBox()->setValue(600);
    dialog->fpsBox()->setValue(120);
    dialog->fileBox()->setText(dir.filePath("long.mp4"));
    QString asked;
    testing::WhenShown<QMessageBox>([&](QMessageBox* question) {
      asked = question->text();
      question->reject();
    });
    dialog->accept();
    EXPECT_TRUE(asked.contains(" h ")) << asked.toStdString();
    EXPECT_TRUE(dialog->isVisible());
    dialog->reject();
  });
  run.window.SaveAnimationAs();
  EXPECT_FALSE(run.window.exporting());
}

// A folder on a read-only mount is refused before the work, with the dialog kept open. Run again
// in a mount namespace of its own, where a folder can be made read-only without privileges.
TEST(ExportDialogs, RefuseAFolderThatCannotBeWritten) {
  const QByteArray readOnly = qgetenv("STRINGART_READ_ONLY");
  if (readOnly.isEmpty()) {
    if (std::system("unshare -rm true 2>/dev/null") != 0) GTEST_SKIP() << "no private mounts here";
    QTemporaryDir dir;
    const QString again = QStringLiteral(
                              "unshare -rm sh -c 'mount -t tmpfs -o ro tmpfs \"%1\" && "
                              "STRINGART_READ_ONLY=\"%1\" exec \"%2\" "
                              "--gtest_filter=ExportDialogs.RefuseAFolderThatCannotBeWritten'")
                              .arg(dir.path(), QCoreApplication::applicationFilePath());
    EXPECT_EQ(std::system(again.toLocal8Bit().constData()), 0);
    return;
  }
  Window run;
  testing::WhenShown<ExportDialog>([&](ExportDialog* dialog) {
    dialog->fileBox()->setText(QString::fromLocal8Bit(readOnly) + "/big.png");
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible()) << "a read-only folder was taken";
    EXPECT_TRUE(dialog->problemLabel()->text().contains("cannot be written"))
        << dialog->problemLabel()->text().toStdString();
    dialog->reject();
  });
  run.window.SaveLargePictureAs();
  EXPECT_FALSE(run.window.exporting());
}

}  // namespace
}  // namespace stringart

#include "KeysAndDialogsTest.moc"
