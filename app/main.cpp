// stringart: opens the window Form1, traces a figure at once and a fresh one at each "new".
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>

#ifdef STRINGART_PROBE_X
#include <xcb/xcb.h>
#endif

#include "app/FigureFileWriter.h"
#include "journal/Journal.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"
#include "window/Form1Window.h"
#include "window/GuardedApplication.h"
#include "window/Picture1View.h"

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Without any of these Qt has nowhere to open a window and aborts with a long message; a plain
// line that names the way out is kinder.
bool DisplayAvailable() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

bool PlatformGiven(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
      return true;
    }
  }
  return false;
}

// With STRINGART_TIMING set (tools/first-figure.sh sets it), the program reports on standard error
// how long the load handler took and when the first figure reached the screen, counted from
// STRINGART_LAUNCHED_AT_NS (the launcher's wall clock in nanoseconds), then quits.
class FirstFigureTimer final : public QObject {
 public:
  FirstFigureTimer(QWidget& canvas, double loadMilliseconds, double traceMilliseconds)
      : canvas_(canvas),
        loadMilliseconds_(loadMilliseconds),
        traceMilliseconds_(traceMilliseconds) {
    canvas_.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint || reported_) return false;
    reported_ = true;
    // After this paint has been flushed to the screen.
    QTimer::singleShot(0, this, [this] {
      const char* at = std::getenv("STRINGART_LAUNCHED_AT_NS");
      const long long launched = at != nullptr ? std::atoll(at) : 0;
      const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
      std::fprintf(stderr,
                   "stringart: load handler %.1f ms, tracing %.1f ms, first figure on screen "
                   "%.1f ms after launch\n",
                   loadMilliseconds_, traceMilliseconds_,
                   launched > 0 ? (now - launched) / 1e6 : -1.0);
      QCoreApplication::quit();
    });
    return false;
  }

 private:
  QWidget& canvas_;
  double loadMilliseconds_, traceMilliseconds_;
  bool reported_ = false;
};

// Notes when the first figure starts: at the second reseed, the tracer's own after the load
// handler's.
class FigureStartClock final : public stringart::DrawSource {
 public:
  explicit FigureStartClock(stringart::DrawSource& inner) : inner_(inner) {}
  void Reseed() override {
    if (++reseeds_ == 2) figureStart = std::chrono::steady_clock::now();
    inner_.Reseed();
  }
  float Next() override { return inner_.Next(); }

  std::chrono::steady_clock::time_point figureStart;

 private:
  stringart::DrawSource& inner_;
  int reseeds_ = 0;
};

// When Qt would open the window on X11 and no X server answers, or one refuses the connection,
// Qt aborts; asking first turns that into one line and a plain failure status.
bool XServerAnswers() {
#ifdef STRINGART_PROBE_X
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool x11 = platform != nullptr && *platform != '\0'
                       ? std::string_view(platform).starts_with("xcb")
                       : !IsSet("WAYLAND_DISPLAY");  // Qt might prefer Wayland when it is there
  if (!x11) return true;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  if (!answers) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "stringart: cannot open the window: no X server answers on display '%s', or it "
                 "refuses the connection; use stringart-render to make figures without one\n",
                 display != nullptr ? display : "(DISPLAY unset)");
  }
  return answers;
#else
  return true;
#endif
}

int Failed(stringart::GuardedApplication& app) {
  QMessageBox::critical(nullptr, QStringLiteral("Form1"),
                        QStringLiteral("stringart stopped after a failure:\n") + app.failure());
  return EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
  const bool platformGiven = PlatformGiven(argc, argv);
  if (!platformGiven && !DisplayAvailable()) {
    std::fprintf(stderr,
                 "stringart: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and "
                 "QT_QPA_PLATFORM are unset); use stringart-render to make figures without one\n");
    return EXIT_FAILURE;
  }
  if (!platformGiven && !XServerAnswers()) return EXIT_FAILURE;

  stringart::GuardedApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("stringart"));
  app.setApplicationVersion(QStringLiteral(STRINGART_VERSION));
  app.setDesktopFileName(QStringLiteral("stringart"));
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  }
  app.setWindowIcon(icon);  // the window's _NET_WM_ICON

  stringart::RandomSource source;
  stringart::SystemClock clock;
  stringart::ClockedRandom random(source, clock);
  stringart::FigureFileWriter files;
  FigureStartClock timedRandom(random);
  const bool timing = IsSet("STRINGART_TIMING");
  stringart::Form1Window form1(timing ? static_cast<stringart::DrawSource&>(timedRandom) : random,
                               files);
  form1.KeepFigures(stringart::Journal::DefaultPath());
  const auto loadStart = std::chrono::steady_clock::now();
  try {
    form1.FormLoad();
  } catch (const std::exception& e) {
    app.ReportFailure(QString::fromLocal8Bit(e.what()));
    return Failed(app);
  } catch (...) {
    app.ReportFailure(QStringLiteral("unknown exception"));
    return Failed(app);
  }

  std::unique_ptr<FirstFigureTimer> timer;
  if (timing) {
    const auto loaded = std::chrono::steady_clock::now();
    const std::chrono::duration<double, std::milli> load = loaded - loadStart;
    const std::chrono::duration<double, std::milli> trace = loaded - timedRandom.figureStart;
    timer = std::make_unique<FirstFigureTimer>(*form1.pictureView(), load.count(), trace.count());
  }
  const int status = app.exec();
  if (!app.failure().isEmpty()) return Failed(app);
  return status;
}
