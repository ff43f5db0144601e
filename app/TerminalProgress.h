#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "text/Translatable.h"

namespace stringart {

// A progress bar for long work on a terminal: "label [#####-----]  50 %  0:12 left", redrawn in
// place, the time left in the person's language. It appears once the work has run for a second,
// so quick work shows nothing, and never when `out` is not a terminal.
class TerminalProgress {
 public:
  TerminalProgress(std::FILE* out, std::string label, Translate translate = {});
  ~TerminalProgress() { Finish(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // `done`: the fraction of the work done, 0 to 1. Redraws at most ten times a second.
  void Update(double done);
  // Ends the bar's line, if one was drawn.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  std::FILE* out_;
  std::string label_;
  Translate translate_;
  bool terminal_;
  bool shown_ = false;
  Clock::time_point start_, lastDrawn_;
};

}  // namespace stringart
