// stringart: opens the window Form1, traces a figure at once and a fresh one at each "new".
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#ifdef STRINGART_PROBE_X
#include <xcb/xcb.h>
#endif

#include "app/FigureFileWriter.h"
#include "app/WaylandProbe.h"
#include "app/WindowOptions.h"
#include "journal/Journal.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"
#include "text/OptionGrammar.h"
#include "text/Quote.h"
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
      const long long launched =
          at != nullptr
              ? stringart::ReadWhole(at, 1, std::numeric_limits<long long>::max()).value_or(0)
              : 0;
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

// Whether an X server answers on DISPLAY and takes the connection: Qt aborts when none does.
bool XServerAnswers() {
#ifdef STRINGART_PROBE_X
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
#else
  return true;
#endif
}

// Whether Qt has its Wayland platform plugin here (Debian's qt6-wayland).
bool WaylandPluginInstalled() {
  const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
  return QFileInfo::exists(plugins + QStringLiteral("/platforms/libqwayland-generic.so"));
}

// The platform to open the window on: the first of QT_QPA_PLATFORM's list (else Wayland, then
// X) that can start here, asked before Qt, which aborts with a long message when its choice
// cannot. Empty, with one line on standard error, when none can.
std::string ChoosePlatform() {
  const char* given = std::getenv("QT_QPA_PLATFORM");
  std::string list = given != nullptr && *given != '\0' ? given : "wayland;xcb";
  std::string waylandSocket, tried;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    const std::string name = list.substr(start, end - start);
    start = end + 1;
    if (name.starts_with("wayland")) {
      if (given == nullptr && !IsSet("WAYLAND_DISPLAY")) continue;
      if (stringart::WaylandAnswers(waylandSocket) && WaylandPluginInstalled()) return name;
      tried += " no Wayland compositor answers on " + stringart::Quoted(waylandSocket) + ";";
    } else if (name.starts_with("xcb")) {
      if (given == nullptr && !IsSet("DISPLAY")) continue;
      if (XServerAnswers()) return name;
      const char* display = std::getenv("DISPLAY");
      tried += " no X server answers on display " +
               (display != nullptr ? stringart::Quoted(display) : std::string("(DISPLAY unset)")) +
               ", or it refuses the connection;";
    } else if (!name.empty()) {
      return name;  // offscreen and the like: nothing to ask
    }
  }
  std::fprintf(stderr,
               "stringart: cannot open the window:%s use stringart-render to make figures without "
               "one\n",
               tried.c_str());
  return {};
}

int Failed(stringart::GuardedApplication& app) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("stringart"),
                  QStringLiteral("stringart stopped after a failure:\n") + app.failure());
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
  // The command line first: --help, --version and mistakes need no display.
  std::string optionError;
  const auto options =
      stringart::ParseWindowOptions(std::vector<std::string>(argv + 1, argv + argc), optionError);
  if (!options) {
    std::fprintf(stderr, "stringart: %s\n", optionError.c_str());
    return 2;
  }
  if (options->help || options->version) {
    std::fputs(
        options->help ? stringart::WindowUsage().c_str() : "stringart " STRINGART_VERSION "\n",
        stdout);
    return EXIT_SUCCESS;
  }
  const bool platformGiven = PlatformGiven(argc, argv);
  if (!platformGiven && !DisplayAvailable()) {
    std::fprintf(stderr,
                 "stringart: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and "
                 "QT_QPA_PLATFORM are unset); use stringart-render to make figures without one\n");
    return EXIT_FAILURE;
  }
  // The platform chosen goes to Qt as "-platform NAME", for this program alone.
  std::vector<char*> args(argv, argv + argc);
  std::string platform;
  if (!platformGiven) {
    platform = ChoosePlatform();
    if (platform.empty()) return EXIT_FAILURE;
    args.insert(args.begin() + 1, {const_cast<char*>("-platform"), platform.data()});
  }
  args.push_back(nullptr);
  int argCount = static_cast<int>(args.size()) - 1;

  stringart::GuardedApplication app(argCount, args.data());
  app.setApplicationName(QStringLiteral("stringart"));
  app.setApplicationVersion(QStringLiteral(STRINGART_VERSION));
  app.setDesktopFileName(QStringLiteral("stringart"));
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
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
    if (options->figure) form1.OpenFigure(*options->figure);
    QStringList files;
    for (const std::string& file : options->files) files << QString::fromLocal8Bit(file);
    if (!files.isEmpty()) form1.OpenFigureFiles(files, true);
  } catch (const std::exception& e) {
    app.ReportFailure(QString::fromLocal8Bit(e.what()));
    return Failed(app);
  } catch (...) {
    app.ReportFailure(QStringLiteral("unknown exception"));
    return Failed(app);
  }

  if (options->slideshowSeconds > 0) form1.ShowFullScreen(options->slideshowSeconds);

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
