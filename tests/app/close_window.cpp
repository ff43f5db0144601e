// close_window WINDOW_ID: asks an X window to close the way a window manager does when its close
// button is pressed (a WM_DELETE_WINDOW message), so that the program can end on its own. Plain
// xdotool can only destroy the window or kill its client, which is no close at all.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: close_window WINDOW_ID\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long window = std::strtoul(argv[1], &end, 0);
  if (*argv[1] == '\0' || *end != '\0') {
    std::fprintf(stderr, "close_window: '%s' is not a window id\n", argv[1]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "close_window: cannot open the display\n");
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  if (sent == 0) {
    std::fprintf(stderr, "close_window: could not send to window %lu\n", window);
    return 1;
  }
  return 0;
}
