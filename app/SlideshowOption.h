#pragma once

#include <string>

namespace stringart {

inline constexpr int kDefaultSlideshowSeconds = 10;
inline constexpr int kMaxSlideshowSeconds = 86400;

// Takes "--slideshow [SECONDS]" (or "--slideshow=SECONDS") out of `argv`, so that whatever reads
// the arguments next never sees it. SECONDS is taken when the argument after it starts with a
// digit. Returns 0 when the option is absent, the seconds (default 10) when present, and -1 with
// `error` set to one line when SECONDS is not a whole number from 1 to 86400.
int TakeSlideshowOption(int& argc, char** argv, std::string& error);

}  // namespace stringart
