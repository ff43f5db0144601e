// keep_figures N: the window Form1, offscreen, keeping its figures in the journal at the usual
// place (XDG_DATA_HOME). It shows its first figure and then N more by clicking "new" (for ever
// when N is 0), and once each has been painted prints "shown DRAWS DIRECTIONS" and flushes; at
// the end it prints "told TEXT" for everything the window told about the journal. The journal
// tests run it, kill it and run two at once.
#include <QCoreApplication>
#include <QEvent>
#include <cstdio>
#include <cstdlib>

#include "export/FigureFileWriter.h"
#include "journal/Journal.h"
#include "options/FigureCommand.h"
#include "runtime/Clock.h"
#include "runtime/RandomSource.h"
#include "window/Form1Window.h"
#include "window/GuardedApplication.h"
#include "window/JournalLink.h"
#include "window/Picture1View.h"

namespace {

class PaintSeen final : public QObject {
 public:
  bool seen = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) seen = true;
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  stringart::GuardedApplication app(argc, argv);
  const long figures = argc > 1 ? std::atol(argv[1]) : 0;
  stringart::RandomSource source;
  stringart::SystemClock clock;
  stringart::ClockedRandom random(source, clock);
  stringart::FigureFileWriter files;
  stringart::Form1Window window(random, files);
  window.KeepFigures(stringart::Journal::DefaultPath());
  PaintSeen paint;
  // Installed after the journal's own watch, so it sees the paint first; the paint is over
  // once the event loop returns with it seen.
  window.pictureView()->installEventFilter(&paint);
  window.FormLoad();
  for (long shown = 0; figures == 0 || shown <= figures; ++shown) {
    if (shown > 0) window.Command1Click();
    paint.seen = false;
    for (int pass = 0; !paint.seen && pass < 10000; ++pass) QCoreApplication::processEvents();
    if (!paint.seen) return 3;
    const stringart::FigureRecord& figure = window.form().lastFigure();
    std::printf("shown %s %s\n", stringart::FormatDraws(figure.draws).c_str(),
                stringart::FormatDirections(figure.start).c_str());
    std::fflush(stdout);
  }
  window.journalLink()->journal().AwaitKept(std::chrono::seconds(10));
  QCoreApplication::processEvents();
  for (const QString& text : window.journalLink()->told()) {
    std::printf("told %s\n", qPrintable(text));
  }
  return 0;
}
