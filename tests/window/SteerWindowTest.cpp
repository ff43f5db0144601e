// Steering the figure from the windows Variations and Adjust: what each tile holds, choosing one,
// going back, and the sliders, texts and toggles of the twelve draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "canvas/AreaAverage.h"
#include "export/FigureFileWriter.h"
#include "figure/Variation.h"
#include "options/FigureCommand.h"
#include "runtime/FloatText.h"
#include "tests/support/WindowDriving.h"
#include "window/AdjustWindow.h"
#include "window/ExportNote.h"
#include "window/Form1Window.h"
#include "window/MorphButton.h"
#include "window/VariationsWindow.h"

namespace stringart {
namespace {

using testing::Retraced;
using testing::SamePixels;

struct Steered {
  testing::SpyDraws random;
  FigureFileWriter files;
  Form1Window window{random, files};

  Steered() {
    window.FormLoad();
    QTest::mouseClick(window.command1(), Qt::LeftButton);  // directions other than the first's
    Activate(window);
  }
  // Keys go to the active window, as the window system gives them.
  static void Activate(QWidget& w) {
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
  }
  QImage canvas() const { return WrapPicture(window.picture()).copy(); }
  const FigureHistory& history() const { return window.form().history(); }
  const FigureRecord& shown() const { return window.form().lastFigure(); }
  // Whether the canvas shows `figure` exactly and the copied command makes it again.
  ::testing::AssertionResult ShowsExactly(const FigureRecord& figure) const {
    window.CopyFigureCommand();
    // The command as copied, less the " -o FILE" that makes it run as pasted.
    std::string command = QGuiApplication::clipboard()->text().toStdString();
    command.resize(command.rfind(" -o "));
    std::string error;
    const auto remade = ParseRemakeCommand(command, error);
    if (shown().draws != figure.draws || shown().start != figure.start)
      return ::testing::AssertionFailure() << "shown " << DescribeFigure(shown());
    if (!remade || remade->draws != figure.draws || remade->start != figure.start)
      return ::testing::AssertionFailure() << "command " << command;
    if (!SamePixels(canvas(), Retraced(figure)))
      return ::testing::AssertionFailure() << "other pixels for " << DescribeFigure(figure);
    return ::testing::AssertionSuccess();
  }
};

TEST(Variations, TilesVaryTheFigureWithinTheStrengthAndOneOpensExactly) {
  Steered s;
  const FigureRecord start = s.shown();
  const std::size_t figures = s.history().size();
  QTest::keyClick(&s.window, Qt::Key_E, Qt::ControlModifier);
  auto* v = s.window.findChild<VariationsWindow*>();
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(v->windowTitle(), "Variations");
  EXPECT_EQ(v->selected(), VariationsWindow::kCentre);
  EXPECT_EQ(v->strength(), kDefaultStrength);
  EXPECT_EQ(v->figure(VariationsWindow::kCentre), start);
  for (int i = 0; i < VariationsWindow::kTiles; ++i) {
    const FigureRecord& f = v->figure(i);
    EXPECT_EQ(f.start, start.start) << "tile " << i;
    for (std::size_t d = 0; d < kFigureDraws; ++d) {
      EXPECT_LE(std::fabs(double(f.draws[d]) - start.draws[d]), kDefaultStrength) << i << "," << d;
    }
    // What is chosen is what appears: the tile is the figure's own raster scaled down.
    Picture1 picture;
    TraceAgain(f, picture);
    std::vector<std::uint32_t> tile(160 * 160);
    AreaAverage(picture.pixels(), 500, 500, 500, tile.data(), 160, 160, 160);
    EXPECT_EQ(v->tile(i), tile) << "tile " << i;
  }
  EXPECT_NE(v->figure(0).draws, v->figure(8).draws);

  // Down, then left: the tile below-left of the centre, chosen with Enter.
  QTest::keyClick(v, Qt::Key_Down);
  QTest::keyClick(v, Qt::Key_Left);
  ASSERT_EQ(v->selected(), 6);
  const FigureRecord chosen = v->figure(6);
  QTest::keyClick(v, Qt::Key_Return);
  EXPECT_EQ(s.history().size(), figures + 1);
  EXPECT_TRUE(s.ShowsExactly(chosen));
  EXPECT_EQ(v->figure(VariationsWindow::kCentre).draws, chosen.draws);  // centred on it
  EXPECT_EQ(v->selected(), VariationsWindow::kCentre);

  // Space: eight others around the same centre; Enter on the centre adds nothing.
  const FigureRecord before = v->figure(0);
  QTest::keyClick(v, Qt::Key_Space);
  EXPECT_NE(v->figure(0).draws, before.draws);
  QTest::keyClick(v, Qt::Key_Return);
  EXPECT_EQ(s.history().size(), figures + 1);

  // Back returns to the figure it started from, and the grid follows.
  Steered::Activate(s.window);
  QTest::keyClick(&s.window, Qt::Key_Left, Qt::AltModifier);
  EXPECT_TRUE(s.ShowsExactly(start));
  EXPECT_EQ(v->figure(VariationsWindow::kCentre), start);
}

TEST(Variations, SaveMorphWritesFromTheCentreToTheSelectedFigureOffTheThread) {
  Steered s;
  ShowVariationsWindow(s.window.stage());
  auto* v = s.window.findChild<VariationsWindow*>();
  QTemporaryDir dir;
  const QString path = dir.filePath("morph.webm");
  QString error;
  EXPECT_FALSE(v->StartMorph(testing::Request(path, 500, 500, 1, 2), error))
      << "the centre into itself";
  v->Select(2);
  ASSERT_TRUE(v->StartMorph(testing::Request(path, 500, 500, 1, 2), error)) << error.toStdString();
  EXPECT_TRUE(v->exporting());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !v->exporting(); }, 60000));
  EXPECT_TRUE(QFileInfo(path).size() > 0) << "no morph written";
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"morph.webm"}) << "left over";
  const ExportNote* note = v->saveMorphButton()->note();
  EXPECT_TRUE(note->text().contains("morph.webm")) << "finished silently";
  const QRect place(note->mapTo(v, QPoint()), note->size());
  EXPECT_TRUE(note->isVisible() && v->rect().contains(place) &&
              place.top() >= 3 * (VariationsWindow::kTileSide + VariationsWindow::kGap))
      << "the note covers the tiles or is cut off";
}

TEST(Adjust, ASliderMovesOnlyItsDrawAndTheFigureJoinsTheHistoryAtRest) {
  Steered s;
  const FigureRecord start = s.shown();
  std::size_t figures = s.history().size();
  QTest::keyClick(&s.window, Qt::Key_J, Qt::ControlModifier);
  auto* a = s.window.findChild<AdjustWindow*>();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->windowTitle(), "Adjust");
  EXPECT_EQ(a->focusWidget(), a->slider(0));
  for (std::size_t d = 0; d < kFigureDraws; ++d) {
    EXPECT_EQ(a->text(d)->text().toStdString(), FloatToText(start.draws[d])) << "draw " << d;
  }

  for (std::size_t d : {std::size_t{0}, std::size_t{5}, std::size_t{11}}) {
    const FigureRecord before = s.shown();
    QTest::keyClick(a->slider(d), d == 5 ? Qt::Key_Left : Qt::Key_Right);
    FigureRecord expected = before;
    expected.draws[d] =
        static_cast<float>(a->slider(d)->value() / double(AdjustWindow::kPositions));
    EXPECT_NE(expected.draws[d], before.draws[d]) << "draw " << d;
    EXPECT_NEAR(expected.draws[d], before.draws[d], 0.0011) << "draw " << d;
    EXPECT_TRUE(s.ShowsExactly(expected)) << "draw " << d;
    EXPECT_EQ(s.history().size(), figures) << "kept before it rested, draw " << d;
    // Still for half a second: kept.
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.history().size() == figures + 1; }, 20000));
    EXPECT_EQ(s.history().At(figures).draws, expected.draws);
    EXPECT_EQ(s.history().shown(), figures);
    ++figures;
  }

  // The exact value as text, kept at once; text that is not a draw changes nothing and says so.
  QLineEdit* text = a->text(7);
  for (const char* bad : {"1", "-0.1", "0.5x", "nan", "1.5"}) {
    const float kept = s.shown().draws[7];
    text->setText(bad);
    emit text->editingFinished();
    EXPECT_EQ(text->text().toStdString(), bad) << "the typing was lost";
    EXPECT_TRUE(a->problem().contains(bad) && a->problem().contains("blue step"))
        << bad << ": " << a->problem().toStdString();
    EXPECT_EQ(s.shown().draws[7], kept) << bad;
    EXPECT_EQ(s.history().size(), figures) << bad;
  }
  text->setText("0.123456789");
  emit text->editingFinished();
  EXPECT_EQ(s.shown().draws[7], 0.123456789f);
  EXPECT_EQ(s.history().size(), figures + 1);
  EXPECT_TRUE(a->problem().isEmpty());

  // A start direction, kept at once.
  const FigureRecord before = s.shown();
  a->direction(1)->click();
  FigureRecord flipped = before;
  flipped.start.green = static_cast<std::int16_t>(-before.start.green);
  EXPECT_TRUE(s.ShowsExactly(flipped));
  EXPECT_EQ(s.history().size(), figures + 2);

  a->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(a));
  QTest::keyClick(a->text(3), Qt::Key_Escape);
  EXPECT_FALSE(a->isVisible()) << "Escape left Adjust open";
}

// Where the locale writes a decimal comma, the draws are shown with one and read with one, or
// with a point as a command line writes them.
TEST(Adjust, DrawsAreWrittenAndReadWithTheLocalesDecimalPoint) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Steered s;
  ShowAdjustWindow(s.window.stage());
  auto* a = s.window.findChild<AdjustWindow*>();
  EXPECT_EQ(a->text(0)->text(),
            QString::fromStdString(FloatToText(s.shown().draws[0])).replace('.', ','));
  for (const auto& [typed, draw] : {std::pair{"0,25", 0.25f}, std::pair{"0.5", 0.5f}}) {
    a->text(3)->setText(typed);
    emit a->text(3)->editingFinished();
    EXPECT_EQ(s.shown().draws[3], draw) << typed << ": " << a->problem().toStdString();
  }
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace stringart
