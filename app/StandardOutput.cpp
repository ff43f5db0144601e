#include "app/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace stringart {

bool StandardOutputWritten(const char* program) {
  errno = 0;
  std::cout.flush();  // synced with C's stdout: this flushes it, and sets errno when it fails
  const bool flushed = std::fflush(stdout) == 0;
  if (flushed && !std::ferror(stdout) && std::cout.good()) return true;
  std::fprintf(stderr, "%s: cannot write to standard output: %s\n", program,
               std::strerror(errno != 0 ? errno : EIO));
  return false;
}

}  // namespace stringart
