// stringart: opens the window Form1, traces a figure at once and a fresh one at each "new".
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/LazyFigureFiles.h"
#include "app/Platform.h"
#include "app/QuitOnSignals.h"
#include "app/StandardOutput.h"
#include "form/FirstFigureAhead.h"
#include "journal/ImportCommand.h"
#include "journal/Journal.h"
#include "options/OptionGrammar.h"
#include "options/WindowOptions.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"
#include "text/Reasons.h"
#include "window/Form1Window.h"
#include "window/GuardedApplication.h"
#include "window/Translations.h"

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Runs `then` once, on the event loop, after the program's first paint has been flushed to the
// screen.
class AfterFirstPaint final : public QObject {
 public:
  explicit AfterFirstPaint(std::function<void()> then) : QObject(qApp), then_(std::move(then)) {
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && then_) {
      qApp->removeEventFilter(this);
      QTimer::singleShot(0, this, std::exchange(then_, {}));
    }
    return false;
  }

 private:
  std::function<void()> then_;
};

// With STRINGART_TIMING set (tools/first-figure.sh sets it), the program reports on standard error
// how long the load handler took and when the first figure reached the screen, counted from
// STRINGART_LAUNCHED_AT_NS (the launcher's wall clock in nanoseconds), then quits.
void ReportFirstFigure(double loadMilliseconds, double traceMilliseconds) {
  const char* at = std::getenv("STRINGART_LAUNCHED_AT_NS");
  const long long launched =
      at != nullptr ? stringart::ReadWhole(at, 1, std::numeric_limits<long long>::max()).value_or(0)
                    : 0;
  const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
  std::fprintf(stderr,
               "stringart: load handler %.1f ms, tracing %.1f ms, first figure on screen "
               "%.1f ms after launch\n",
               loadMilliseconds, traceMilliseconds, launched > 0 ? (now - launched) / 1e6 : -1.0);
  QCoreApplication::quit();
}

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

int Failed(stringart::GuardedApplication& app) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("stringart"),
                  QCoreApplication::translate("main", "stringart stopped after a failure:") + '\n' +
                      app.failure());
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return EXIT_FAILURE;
}

// The program's names and icon, by which a desktop links its window to its entry. The icon comes
// once the first figure is on the screen: decoding its seven pictures is a sixth of the window's
// thread's work before that.
void NameApplication(QApplication& app) {
  app.setApplicationName(QStringLiteral("stringart"));
  app.setApplicationVersion(QStringLiteral(STRINGART_VERSION));
  app.setDesktopFileName(QStringLiteral("stringart"));
  new AfterFirstPaint([&app] {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
      icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    }
    app.setWindowIcon(icon);  // the window's _NET_WM_ICON
  });
}

// The load handler, then the figures the command line names; false, with `app` told why, when
// any of it failed.
bool Load(stringart::Form1Window& form1, const stringart::WindowOptions& options,
          stringart::FirstFigureAhead* ahead, stringart::GuardedApplication& app) {
  try {
    // Only the figures asked for: no random one first, for nobody to see.
    QStringList files;
    for (const std::string& file : options.files) files << QString::fromLocal8Bit(file);
    if (options.figure) {
      form1.FormLoad(*options.figure);
    } else if (!files.isEmpty()) {
      form1.FormLoad(files);
    } else {
      form1.FormLoad(*ahead);
    }
    return true;
  } catch (const std::exception& e) {
    app.ReportFailure(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    app.ReportFailure(QStringLiteral("unknown exception"));
  }
  return false;
}

// --help, --version and --import, which need no display: the program's exit status, or nullopt
// when the options ask for the window.
std::optional<int> AnswerWithoutDisplay(const stringart::WindowOptions& options,
                                        const stringart::Translations& translations) {
  if (options.help || options.version) {
    std::fputs(options.help ? stringart::WindowUsage(translations.ForText()).c_str()
                            : "stringart " STRINGART_VERSION "\n",
               stdout);
    return stringart::StandardOutputWritten("stringart") ? EXIT_SUCCESS : EXIT_FAILURE;
  }
  if (!options.import.empty()) {
    const int status =
        stringart::ImportFiguresCommand(options.import, stringart::Journal::DefaultPath(),
                                        std::cout, std::cerr, translations.ForText());
    return stringart::StandardOutputWritten("stringart") ? status : EXIT_FAILURE;
  }
  return std::nullopt;
}

// The command line as Qt is to see it, ending in a null pointer as argv does: the platform chosen
// goes to Qt as "-platform NAME", for this program alone.
std::vector<char*> QtArguments(int argc, char** argv, std::string& platform) {
  std::vector<char*> args(argv, argv + argc);
  if (!platform.empty()) {
    args.insert(args.begin() + 1, {const_cast<char*>("-platform"), platform.data()});
  }
  args.push_back(nullptr);
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  // In the person's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), where there is a translation.
  stringart::Translations translations;
  // The command line first: --help, --version and mistakes need no display.
  std::string optionError;
  const auto options =
      stringart::ParseWindowOptions(std::vector<std::string>(argv + 1, argv + argc), optionError);
  if (!options) {
    std::fprintf(stderr, "stringart: %s\n",
                 stringart::InLanguage(optionError, translations.ForText()).c_str());
    return 2;
  }
  if (const auto status = AnswerWithoutDisplay(*options, translations)) return *status;
  std::optional<stringart::PlatformChoice> platform = stringart::ChoosePlatform(argc, argv);
  if (!platform) return EXIT_FAILURE;
  std::vector<char*> args = QtArguments(argc, argv, platform->name);
  int argCount = static_cast<int>(args.size()) - 1;

  stringart::RandomSource source;
  stringart::SystemClock clock;
  stringart::ClockedRandom random(source, clock);
  FigureStartClock timedRandom(random);
  const bool timing = IsSet("STRINGART_TIMING");
  stringart::DrawSource& draws = timing ? static_cast<stringart::DrawSource&>(timedRandom) : random;
  // A start that names no figure traces its random one beside Qt's start and the window's
  // making, rather than after them.
  std::optional<stringart::FirstFigureAhead> ahead;
  if (!options->figure && options->files.empty()) ahead.emplace(draws);

  stringart::GuardedApplication app(argCount, args.data());
  platform->probe.reset();  // Qt holds its own connection now
  NameApplication(app);
  translations.Install();
  // Declared before the window, so that the window and its exports end before the signals are
  // given back their default.
  stringart::QuitOnSignals quitOnSignals;

  stringart::LazyFigureFiles files(stringart::LazyFigureFiles::ModulePath());
  stringart::Form1Window form1(draws, files);
  form1.SetOptionsHelp(
      QString::fromStdString(stringart::WindowOptionsHelp(stringart::ApplicationTranslate())));
  form1.KeepFigures(stringart::Journal::DefaultPath());
  const auto loadStart = std::chrono::steady_clock::now();
  if (!Load(form1, *options, ahead ? &*ahead : nullptr, app)) return Failed(app);

  if (options->slideshowSeconds > 0) form1.ShowFullScreen(options->slideshowSeconds);

  if (timing) {
    const auto loaded = std::chrono::steady_clock::now();
    const std::chrono::duration<double, std::milli> load = loaded - loadStart;
    const double trace =
        ahead ? ahead->traceMilliseconds()
              : std::chrono::duration<double, std::milli>(loaded - timedRandom.figureStart).count();
    new AfterFirstPaint([load, trace] { ReportFirstFigure(load.count(), trace); });
  }
  ahead.reset();  // its raster, shown
  const int status = app.exec();
  // A handler that failed ended the event loop (GuardedApplication::notify): say why.
  if (!app.failure().isEmpty()) return Failed(app);
  return status;
}
