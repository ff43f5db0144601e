#include "app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace stringart {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  // Beside the target, so that the rename stays within one file system.
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  auto fail = [&] {
    error = std::strerror(errno);
    close(fd);
    unlink(name.data());
    return false;
  };
  // mkstemp makes the file private (0600); give it the mode a new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0) return fail();
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail();
    // A short write is followed by another try, which reports why (a full disk) if it fails.
    done += static_cast<std::size_t>(n);
  }
  if (fsync(fd) != 0) return fail();
  if (close(fd) != 0) {
    error = std::strerror(errno);
    unlink(name.data());
    return false;
  }
  if (rename(name.data(), path.c_str()) != 0) {
    error = std::strerror(errno);
    unlink(name.data());
    return false;
  }
  return true;
}

std::optional<std::string> CreateTempBeside(const std::string& path, std::string& error) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0 || close(fd) != 0) {
    error = std::strerror(errno);
    unlink(name.data());
    return std::nullopt;
  }
  return std::string(name.data());
}

bool CommitTemp(const std::string& temp, const std::string& path, std::string& error) {
  const int fd = open(temp.c_str(), O_RDONLY | O_CLOEXEC);
  bool done = fd >= 0 && fsync(fd) == 0;
  if (!done) error = std::strerror(errno);
  if (fd >= 0 && close(fd) != 0 && done) {
    error = std::strerror(errno);
    done = false;
  }
  if (done && rename(temp.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    done = false;
  }
  if (!done) unlink(temp.c_str());
  return done;
}

}  // namespace stringart
