#include "app/Platform.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef STRINGART_PROBE_X
#include <xcb/xcb.h>
#endif

#include "app/WaylandProbe.h"
#include "text/Quote.h"

namespace stringart {
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

// A connection to the X server on DISPLAY when one answers and takes it, else null: Qt aborts
// when none does.
std::shared_ptr<void> ConnectToX() {
#ifdef STRINGART_PROBE_X
  std::shared_ptr<xcb_connection_t> connection(xcb_connect(nullptr, nullptr), xcb_disconnect);
  if (xcb_connection_has_error(connection.get()) != 0) return nullptr;
  return connection;
#else
  return std::make_shared<int>();  // not asked: Qt will say
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
PlatformChoice FirstThatStarts() {
  const char* given = std::getenv("QT_QPA_PLATFORM");
  std::string list = given != nullptr && *given != '\0' ? given : "wayland;xcb";
  std::string waylandSocket, tried;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    const std::string name = list.substr(start, end - start);
    start = end + 1;
    if (name.starts_with("wayland")) {
      if (given == nullptr && !IsSet("WAYLAND_DISPLAY")) continue;
      if (WaylandAnswers(waylandSocket) && WaylandPluginInstalled()) return {name, nullptr};
      tried += " no Wayland compositor answers on " + Quoted(waylandSocket) + ";";
    } else if (name.starts_with("xcb")) {
      if (given == nullptr && !IsSet("DISPLAY")) continue;
      if (auto probe = ConnectToX()) return {name, std::move(probe)};
      const char* display = std::getenv("DISPLAY");
      tried += " no X server answers on display " +
               (display != nullptr ? Quoted(display) : std::string("(DISPLAY unset)")) +
               ", or it refuses the connection;";
    } else if (!name.empty()) {
      return {name, nullptr};  // offscreen and the like: nothing to ask
    }
  }
  std::fprintf(stderr,
               "stringart: cannot open the window:%s use stringart-render to make figures without "
               "one\n",
               tried.c_str());
  return {};
}

}  // namespace

std::optional<PlatformChoice> ChoosePlatform(int argc, char** argv) {
  if (PlatformGiven(argc, argv)) return PlatformChoice{};
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "stringart: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and "
                 "QT_QPA_PLATFORM are unset); use stringart-render to make figures without one\n");
    return std::nullopt;
  }
  PlatformChoice platform = FirstThatStarts();
  if (platform.name.empty()) return std::nullopt;
  return platform;
}

}  // namespace stringart
