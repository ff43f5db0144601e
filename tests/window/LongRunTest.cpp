// A long session in the window: a thousand figures in a row, each from a click on "new", with
// memory staying flat and nothing piling up in the window.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "export/FigureFileWriter.h"
#include "tests/support/WindowDriving.h"
#include "window/Form1Window.h"

namespace stringart {
namespace {

using testing::Retraced;
using testing::SamePixels;
using testing::SpyDraws;

// Resident memory of this process in bytes, or -1 if /proc cannot tell.
long ResidentBytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return -1;
  long size = 0, resident = -1;
  if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = -1;
  std::fclose(statm);
  return resident < 0 ? -1 : resident * sysconf(_SC_PAGESIZE);
}

// One click on "new", then the event loop's turn, so the view repaints as it does between
// figures in the program.
void ClickNewAndRepaint(Form1Window& window) {
  QTest::mouseClick(window.command1(), Qt::LeftButton);
  QCoreApplication::processEvents();
}

TEST(LongRun, ThousandFiguresByClicksKeepResidentMemoryFlat) {
#ifdef STRINGART_SANITIZED
  GTEST_SKIP() << "resident memory says nothing under AddressSanitizer, whose quarantine holds "
                  "freed blocks; leak detection covers this build";
#endif
  constexpr long kWarmUp = 20;  // figures before the baseline: caches, fonts, backing store
  constexpr long kFigures = 1000;
  constexpr long kBound = 1 << 20;  // bytes of growth allowed after the warm-up

  SpyDraws random;
  FigureFileWriter files;
  Form1Window window(random, files);
  window.FormLoad();
  while (window.form().figuresTraced() < kWarmUp) ClickNewAndRepaint(window);
  const long baseline = ResidentBytes();
  ASSERT_GT(baseline, 0) << "cannot read /proc/self/statm";

  long peak = baseline;
  while (window.form().figuresTraced() < kFigures) {
    ClickNewAndRepaint(window);
    peak = std::max(peak, ResidentBytes());
  }
  const long last = ResidentBytes();

  EXPECT_EQ(window.form().figuresTraced(), kFigures);
  EXPECT_EQ(random.figuresStarted, kFigures) << "a click traced no figure or more than one";
  EXPECT_LT(last - baseline, kBound)
      << "resident " << baseline / 1024 << " KiB after " << kWarmUp << " figures, " << last / 1024
      << " KiB after " << kFigures << " (peak " << peak / 1024 << " KiB)";
  // The last figure comes out as right as the first did.
  EXPECT_TRUE(SamePixels(WrapPicture(window.picture()), Retraced(window.form().lastFigure())));
}

// Qt keeps every widget in its list of all widgets, so one left behind at each click stays
// reachable and leak detection never reports it; only counting finds it.
TEST(LongRun, FiguresByClicksLeaveNoWidgetsOrObjectsBehind) {
  constexpr int kClicks = 30;
  SpyDraws random;
  FigureFileWriter files;
  Form1Window window(random, files);
  window.FormLoad();
  ClickNewAndRepaint(window);  // anything made once, on first use, is made by now
  const auto widgets = QApplication::allWidgets().size();
  const auto objects = window.findChildren<QObject*>().size();

  for (int click = 0; click < kClicks; ++click) ClickNewAndRepaint(window);

  EXPECT_EQ(window.form().figuresTraced(), 2 + kClicks);
  EXPECT_EQ(QApplication::allWidgets().size(), widgets);
  EXPECT_EQ(window.findChildren<QObject*>().size(), objects);
}

}  // namespace
}  // namespace stringart
