#include "app/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "text/Reasons.h"
#include "text/TimeLeft.h"

namespace stringart {

TerminalProgress::TerminalProgress(std::FILE* out, std::string label, Translate translate)
    : out_(out),
      label_(std::move(label)),
      translate_(std::move(translate)),
      terminal_(isatty(fileno(out)) == 1),
      start_(Clock::now()),
      lastDrawn_(start_) {}

void TerminalProgress::Update(double done) {
  if (!terminal_) return;
  const Clock::time_point now = Clock::now();
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  if (elapsed < 1.0 || (shown_ && now - lastDrawn_ < std::chrono::milliseconds(100))) return;
  lastDrawn_ = now;
  shown_ = true;
  done = std::clamp(done, 0.0, 1.0);
  constexpr int kWidth = 30;  // characters of the bar
  const int filled = static_cast<int>(done * kWidth);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kWidth - filled), '-');
  const std::string left =
      InLanguage(TimeLeft(elapsed, done).value_or("--:--") + " left", translate_);
  // Padded, so that a shorter line covers a longer one before it.
  std::fprintf(out_, "\r%s [%s] %3d %%  %s   ", label_.c_str(), bar.c_str(),
               static_cast<int>(done * 100), left.c_str());
  std::fflush(out_);
}

void TerminalProgress::Finish() {
  if (!shown_) return;
  shown_ = false;
  std::fputc('\n', out_);
  std::fflush(out_);
}

}  // namespace stringart
