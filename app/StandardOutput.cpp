#include "app/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace stringart {
namespace {

int firstFailure = 0;  // errno of the first write to standard output that failed

}  // namespace

void WriteStandardOutput(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && firstFailure == 0) {
    firstFailure = errno != 0 ? errno : EIO;
  }
}

bool StandardOutputWritten(const char* program) {
  errno = 0;
  std::cout.flush();  // synced with C's stdout: this flushes it, and sets errno when it fails
  const bool flushed = std::fflush(stdout) == 0;
  if (flushed && !std::ferror(stdout) && std::cout.good()) return true;
  const int reason = firstFailure != 0 ? firstFailure : errno != 0 ? errno : EIO;
  std::fprintf(stderr, "%s: cannot write to standard output: %s\n", program, std::strerror(reason));
  return false;
}

}  // namespace stringart
