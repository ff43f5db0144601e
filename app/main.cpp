// stringart: opens the window Form1, traces a figure at once and a fresh one at each "new".
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string_view>

#ifdef STRINGART_PROBE_X
#include <xcb/xcb.h>
#endif

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
