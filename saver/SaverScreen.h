#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "canvas/SegmentRecorder.h"
#include "figure/FigureSequence.h"
#include "options/SaverOptions.h"
#include "runtime/DrawSource.h"
#include "smooth/LargePicture.h"
#include "smooth/ProgressiveFigure.h"

namespace stringart {

// stringart-saver's screen: an X window that figures are drawn on with Xlib, anti-aliased at the
// window's size, one after another, each traced bit by bit and then held. Between frames it
// sleeps in poll(), so it costs little while it waits.
class SaverScreen {
 public:
  // Opens the display and the window `options` names. Nullopt with `error` set to one line when
  // either cannot be used.
  static std::unique_ptr<SaverScreen> Open(const SaverOptions& options, std::string& error);
  ~SaverScreen();
  SaverScreen(const SaverScreen&) = delete;
  SaverScreen& operator=(const SaverScreen&) = delete;

  // Draws figures from `random` until its own window is closed or destroyed (0) or the display
  // fails (1, with `error` set). Signals end it from outside.
  int Run(DrawSource& random, int delaySeconds, std::string& error);

 private:
  SaverScreen(Display* display, Window window, bool own);
  // Takes the window's current size; false with `error` set when it cannot be drawn on.
  bool ReadWindow(std::string& error);
  // Starts the next figure on a black picture of the window's size.
  void NextFigure(DrawSource& random);
  // Copies `box` of the picture to the window.
  void Put(const PixelBox& box);
  // What the window's events since the last look ask for.
  struct Events {
    bool exposed = false, resized = false, closed = false;
  };
  Events TakeEvents();
  // Sleeps until `wake` or an event; false with `error` set when the server is gone.
  bool SleepUntil(std::chrono::steady_clock::time_point wake, std::string& error);

  Display* display_;
  Window window_;
  bool own_;           // a window this program opened, and closes
  Atom deleteWindow_;  // WM_DELETE_WINDOW, for its own window
  GC gc_ = nullptr;
  Visual* visual_ = nullptr;
  int depth_ = 0, width_ = 0, height_ = 0;
  std::optional<LargePicture> picture_;
  std::optional<ProgressiveFigure> figure_;
  SegmentRecorder strokes_;  // the figure being drawn
  FigureSequence figures_{strokes_};
};

}  // namespace stringart
