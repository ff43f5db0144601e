#include "runtime/Interrupted.h"

#include <unistd.h>

#include <cstring>

namespace stringart {

bool WriteAll(int fd, const void* bytes, std::size_t size, std::string& error) {
  const auto* from = static_cast<const char*>(bytes);
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = RetryInterrupted([&] { return write(fd, from + done, size - done); });
    if (n <= 0) {
      error = n < 0 ? std::strerror(errno) : "nothing written";
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

long ReadAll(int fd, void* bytes, std::size_t size) {
  auto* into = static_cast<char*>(bytes);
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = RetryInterrupted([&] { return read(fd, into + got, size - got); });
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<long>(got);
}

}  // namespace stringart
