#pragma once

#include <cerrno>
#include <cstddef>
#include <string>

namespace stringart {

// Calls `call` (a read, write, waitpid...) again for as long as a signal interrupts it, that is
// while it returns a negative value with errno EINTR; its last result, errno as that call left it.
template <typename Call>
inline auto RetryInterrupted(Call&& call) {
  for (;;) {
    const auto result = call();
    if (!(result < 0 && errno == EINTR)) return result;
  }
}

// Writes all `size` bytes to `fd`, again after a signal or a short write; false with `error` set
// to the system's reason, or "nothing written" when a write takes nothing.
bool WriteAll(int fd, const void* bytes, std::size_t size, std::string& error);

// Reads `size` bytes from `fd` into `bytes`, again after a signal or a short read; how many it got
// (fewer at the file's end), or -1 with errno set when a read fails.
long ReadAll(int fd, void* bytes, std::size_t size);

}  // namespace stringart
