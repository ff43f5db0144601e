// "Save for paper": the line at the top and the proposed name follow the choices, pens of one's
// own are kept, a sheet with no room is refused, and Save writes the plot beside the window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPixmap>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "export/FigureFileWriter.h"
#include "figure/FigureHistory.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"
#include "window/PaperDialog.h"

namespace stringart {
namespace {

// The metres with the pen down that the line at the top tells.
double PenDown(const QLabel* summary) {
  const QString text = summary->text();
  const int at = text.indexOf("pen-down ");
  return at < 0 ? -1 : QLocale().toDouble(text.mid(at + 9, text.indexOf(" m", at) - at - 9));
}

int ShownSwatches(const PaperDialog& dialog) {
  int shown = 0;
  for (const QToolButton* swatch : dialog.swatches()) shown += !swatch->isHidden();
  return shown;
}

TEST(PaperDialog, FollowsTheChoicesAndSaveWritesThePlot) {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window(random, files);
  window.FormLoad();
  const QString name = QString::fromStdString(FigureName(window.form().lastFigure()));
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(window.SavePicture(dir.filePath("saved.png"), error)) << error.toStdString();
  std::vector<Colour> own;  // the pens of one's own chosen
  QMenu menu;
  window.FillContextMenu(menu);
  bool listed = false;
  for (const QAction* action : menu.actions()) {
    listed |= action->text() == "Save for &paper\u2026" &&
              action->shortcut() == QKeySequence("Ctrl+Shift+P");
  }
  EXPECT_TRUE(listed) << "no Save for paper with Ctrl+Shift+P in the menu";

  testing::WhenShown<PaperDialog>([&](PaperDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Save for paper");
    EXPECT_EQ(dialog->path(), dir.filePath("figure-" + name + "-a3.svg"));
    const QLabel* summary = dialog->summaryLabel();
    EXPECT_TRUE(summary->text().startsWith("6 pens, pen-down ")) << summary->text().toStdString();
    EXPECT_EQ(ShownSwatches(*dialog), 6);
    // The plot the file will draw: one line a step, thinned to the pen and two hours.
    const double a3 = PenDown(summary);
    ASSERT_GT(a3, 10) << summary->text().toStdString();
    ASSERT_LE(a3, 2 * 3600 * 25 / 1000.0) << summary->text().toStdString();

    dialog->pensBox()->setValue(2);
    EXPECT_TRUE(summary->text().startsWith("2 pens, ")) << summary->text().toStdString();
    EXPECT_EQ(ShownSwatches(*dialog), 2);
    dialog->SetPenColour(0, PackColour(255, 0, 0));
    EXPECT_EQ(dialog->settings().pens.colours,
              (std::vector<Colour>{PackColour(255, 0, 0), dialog->pens()[1]}));
    // A smaller square, or a wider pen, leaves out more of the lines.
    dialog->orientationBox()->setCurrentIndex(1);
    dialog->marginBox()->setValue(58.5);  // a square of 180 mm rather than 267
    const double a3Smaller = PenDown(summary);
    EXPECT_LT(a3Smaller, a3) << summary->text().toStdString();
    dialog->penWidthBox()->setValue(1);
    EXPECT_LT(PenDown(summary), a3Smaller * 0.6) << summary->text().toStdString();
    dialog->penWidthBox()->setValue(0.3);
    EXPECT_TRUE(dialog->path().endsWith("-a3-landscape.svg")) << dialog->path().toStdString();
    // G-code tells each pen's part too; the preview is the sheet in its colour.
    dialog->kindBox()->setCurrentIndex(static_cast<int>(PaperDialog::Kind::Gcode));
    EXPECT_TRUE(dialog->path().endsWith("-a3-landscape.gcode")) << dialog->path().toStdString();
    EXPECT_TRUE(summary->text().contains("\npen 2: ")) << summary->text().toStdString();
    dialog->SetPaperColour(PackColour(0, 0, 64));
    dialog->plotTimeBox()->setValue(90);
    EXPECT_EQ(dialog->previewLabel()->pixmap().toImage().pixel(0, 0), qRgb(0, 0, 64));
    own = dialog->pens();
    dialog->kindBox()->setCurrentIndex(static_cast<int>(PaperDialog::Kind::PlotterSvg));

    dialog->kindBox()->setCurrentIndex(static_cast<int>(PaperDialog::Kind::Png));
    EXPECT_TRUE(dialog->path().endsWith("-a3-landscape-300dpi.png"));
    EXPECT_TRUE(
        summary->text().startsWith(QString("%1 \u00d7 %2 pixels at 300 dpi")
                                       .arg(QLocale().toString(4961), QLocale().toString(3508))))
        << summary->text().toStdString();
    dialog->marginBox()->setValue(150);
    EXPECT_TRUE(summary->text().startsWith("A margin of 150 mm leaves no room"))
        << summary->text().toStdString();
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible()) << "a sheet without room was taken";
    EXPECT_FALSE(dialog->problemLabel()->isHidden());

    dialog->marginBox()->setValue(58.5);
    dialog->kindBox()->setCurrentIndex(static_cast<int>(PaperDialog::Kind::PlotterSvg));
    dialog->fileBox()->setText(dir.filePath("plot.pdf"));
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible()) << "a PDF name was taken for a plotter's SVG";
    dialog->fileBox()->setText(dir.filePath("plot"));
    QTest::keyClick(dialog->fileBox(), Qt::Key_Return);
  });
  window.SaveForPaperAs();
  ASSERT_TRUE(window.exporting());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.exporting(); }, 60000));
  QFile plot(dir.filePath("plot.svg"));
  ASSERT_TRUE(plot.open(QIODevice::ReadOnly));
  const QByteArray head = plot.read(4096);
  EXPECT_TRUE(head.contains(" --paper A3 --landscape --margin 58.5 "))
      << head.left(600).toStdString();
  EXPECT_TRUE(head.contains(" --pens=#ff0000,#")) << head.left(600).toStdString();
  EXPECT_EQ(head.count("inkscape:groupmode=\"layer\""), 1) << "the second layer is not first";

  // Opened again, it offers every choice it saved with: one's own pens too.
  testing::WhenShown<PaperDialog>([&](PaperDialog* dialog) {
    const PaperSettings kept = dialog->settings();
    EXPECT_EQ(std::tuple(dialog->kind(), kept.paper, kept.landscape, kept.margin, kept.pens,
                         kept.plotMinutes, kept.paperColour),
              std::tuple(PaperDialog::Kind::PlotterSvg, PaperSize{297, 420}, true, 58.5f,
                         PenChoice{2, own}, 90.0f, std::optional(PackColour(0, 0, 64))));
    dialog->reject();
  });
  window.SaveForPaperAs();
}

}  // namespace
}  // namespace stringart
