#include "saver/SaverScreen.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "figure/Tracer.h"
#include "options/ExportLimits.h"
#include "options/OptionGrammar.h"
#include "text/Quote.h"

namespace stringart {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A figure is traced in as long as an animation of it lasts, at this many frames a second:
// enough to look continuous, few enough to stay light.
constexpr int kFramesPerSecond = 10;
constexpr int kOwnWindowSide = 800;  // pixels

// The last X error, instead of Xlib's default of printing it and exiting.
int lastXError = 0;
int RecordXError(Display*, XErrorEvent* event) {
  lastXError = event->error_code;
  return 0;
}

// The window XSCREENSAVER_WINDOW names, or 0.
Window WindowFromEnvironment() {
  const char* text = std::getenv("XSCREENSAVER_WINDOW");
  if (text == nullptr) return 0;
  return ReadWindowId(text).value_or(0);
}

}  // namespace

SaverScreen::SaverScreen(Display* display, Window window, bool own)
    : display_(display), window_(window), own_(own) {
  deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
}

SaverScreen::~SaverScreen() {
  if (gc_ != nullptr) XFreeGC(display_, gc_);
  if (own_) XDestroyWindow(display_, window_);
  XCloseDisplay(display_);
}

std::unique_ptr<SaverScreen> SaverScreen::Open(const SaverOptions& options, std::string& error) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    error = name != nullptr ? "cannot open display " + Quoted(name)
                            : "cannot open a display: DISPLAY is not set";
    return nullptr;
  }
  XSetErrorHandler(RecordXError);
  Window window = 0;
  bool own = false;
  switch (options.target) {
    case SaverTarget::Root:
      window = WindowFromEnvironment();
      if (window == 0) window = DefaultRootWindow(display);
      break;
    case SaverTarget::WindowId: window = options.windowId; break;
    case SaverTarget::OwnWindow:
      window = WindowFromEnvironment();
      if (window == 0) {
        const int screen = DefaultScreen(display);
        window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kOwnWindowSide,
                                     kOwnWindowSide, 0, BlackPixel(display, screen),
                                     BlackPixel(display, screen));
        XStoreName(display, window, "stringart-saver");
        own = true;
      }
      break;
  }
  std::unique_ptr<SaverScreen> screen(new SaverScreen(display, window, own));
  if (own) {
    XSetWMProtocols(display, window, &screen->deleteWindow_, 1);
    XMapWindow(display, window);
  }
  if (!screen->ReadWindow(error)) return nullptr;
  lastXError = 0;
  XSelectInput(display, window, StructureNotifyMask | ExposureMask);
  screen->gc_ = XCreateGC(display, window, 0, nullptr);
  XSync(display, False);
  if (lastXError != 0) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", window);
    error = std::string("cannot draw on window ") + hex + " (X error " +
            std::to_string(lastXError) + ")";
    return nullptr;
  }
  return screen;
}

bool SaverScreen::ReadWindow(std::string& error) {
  lastXError = 0;
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display_, window_, &attributes) == 0 || lastXError != 0) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", window_);
    error = std::string("there is no window ") + hex + " on this display";
    return false;
  }
  // The picture's 0xFFRRGGBB words go to the window as they are.
  const Visual* v = attributes.visual;
  if ((attributes.depth != 24 && attributes.depth != 32) || v->c_class != TrueColor ||
      v->red_mask != 0xFF0000 || v->green_mask != 0xFF00 || v->blue_mask != 0xFF) {
    error = "the window's visual is not 24-bit true colour (depth " +
            std::to_string(attributes.depth) + ")";
    return false;
  }
  visual_ = attributes.visual;
  depth_ = attributes.depth;
  width_ = std::max(attributes.width, 1);
  height_ = std::max(attributes.height, 1);
  return true;
}

void SaverScreen::NextFigure(DrawSource& random) {
  strokes_.Clear();
  figures_.Next(TakeFigureDraws(random));
  figure_.reset();
  picture_.reset();  // the old picture's memory goes before the new one's is taken
  picture_.emplace(width_, height_);
  figure_.emplace(strokes_.segments());
}

void SaverScreen::Put(const PixelBox& box) {
  if (box.width <= 0 || box.height <= 0 || !picture_) return;
  // Xlib only reads the pixels; the image never owns them.
  XImage* image =
      XCreateImage(display_, visual_, depth_, ZPixmap, 0,
                   reinterpret_cast<char*>(const_cast<std::uint32_t*>(picture_->pixels())),
                   picture_->width(), picture_->height(), 32, picture_->width() * 4);
  if (image == nullptr) return;
  XPutImage(display_, window_, gc_, image, box.left, box.top, box.left, box.top, box.width,
            box.height);
  image->data = nullptr;
  XDestroyImage(image);
}

SaverScreen::Events SaverScreen::TakeEvents() {
  Events events;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == Expose) {
      events.exposed = true;
    } else if (event.type == ConfigureNotify) {
      events.resized = event.xconfigure.width != width_ || event.xconfigure.height != height_;
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
      own_ = false;  // gone already
      events.closed = true;
    } else if (event.type == ClientMessage &&
               static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) {
      events.closed = true;
    }
  }
  return events;
}

bool SaverScreen::SleepUntil(std::chrono::steady_clock::time_point wake, std::string& error) {
  using namespace std::chrono;
  if (XPending(display_) > 0) return true;
  const auto wait = duration_cast<milliseconds>(wake - SteadyClock::now()).count();
  pollfd connection{XConnectionNumber(display_), POLLIN, 0};
  const int status = poll(&connection, 1, static_cast<int>(std::clamp<long long>(wait, 0, 60000)));
  if (status > 0 && (connection.revents & (POLLERR | POLLHUP)) != 0) {
    error = "the X server closed the connection";
    return false;
  }
  return true;
}

int SaverScreen::Run(DrawSource& random, int delaySeconds, std::string& error) {
  using namespace std::chrono;
  const auto drawTime = seconds(kDefaultSeconds);
  const auto frame = milliseconds(1000 / kFramesPerSecond);
  auto started = SteadyClock::now(), heldUntil = SteadyClock::time_point::max();
  auto next = [&] {
    NextFigure(random);
    Put({0, 0, width_, height_});
    started = SteadyClock::now();
    heldUntil = SteadyClock::time_point::max();
  };
  next();
  for (;;) {
    const Events events = TakeEvents();
    if (events.closed) return 0;
    if (events.resized && !ReadWindow(error)) return 1;
    if (events.resized || SteadyClock::now() >= heldUntil) {
      next();
    } else if (events.exposed) {
      Put({0, 0, width_, height_});
    }
    if (!figure_->complete()) {
      const double fraction = duration<double>(SteadyClock::now() - started) / drawTime;
      Put(figure_->DrawUpTo(fraction, *picture_));
      if (figure_->complete()) heldUntil = SteadyClock::now() + seconds(delaySeconds);
    }
    XFlush(display_);
    // Sleep until the next frame, the end of the hold, or an event.
    if (!SleepUntil(figure_->complete() ? heldUntil : SteadyClock::now() + frame, error)) return 1;
  }
}

}  // namespace stringart
