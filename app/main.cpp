// stringart: opens the window Form1, traces a figure at once and a fresh one at each "new".
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "app/FigureFile.h"
#include "app/GuardedApplication.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "runtime/RandomSource.h"
#include "window/Form1Window.h"

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Without any of these Qt has nowhere to open a window and aborts with a long message; a plain
// line that names the way out is kinder.
bool DisplayAvailable(int argc, char** argv) {
  if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM")) return true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
      return true;
    }
  }
  return false;
}

int Failed(stringart::GuardedApplication& app) {
  QMessageBox::critical(nullptr, QStringLiteral("Form1"),
                        QStringLiteral("stringart stopped after a failure:\n") + app.failure());
  return EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable(argc, argv)) {
    std::fprintf(stderr,
                 "stringart: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and "
                 "QT_QPA_PLATFORM are unset); use stringart-render to make figures without one\n");
    return EXIT_FAILURE;
  }

  stringart::GuardedApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("stringart"));
  app.setApplicationVersion(QStringLiteral(STRINGART_VERSION));
  app.setDesktopFileName(QStringLiteral("stringart"));
  app.setWindowIcon(QIcon::fromTheme(QStringLiteral("stringart")));

  stringart::RandomSource source;
  stringart::SystemClock clock;
  stringart::ClockedRandom random(source, clock);
  stringart::FigureFileWriter files;
  stringart::Form1Window form1(random, files);
  try {
    form1.FormLoad();
  } catch (const std::exception& e) {
    app.ReportFailure(QString::fromLocal8Bit(e.what()));
    return Failed(app);
  } catch (...) {
    app.ReportFailure(QStringLiteral("unknown exception"));
    return Failed(app);
  }

  const int status = app.exec();
  if (!app.failure().isEmpty()) return Failed(app);
  return status;
}
