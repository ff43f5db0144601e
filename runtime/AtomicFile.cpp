#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace stringart {

std::optional<std::string> CreateTempBeside(const std::string& path, std::string& error) {
  // Beside the target, so that the rename stays within one file system.
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  // mkstemp makes the file private (0600). Writing over a file keeps its permission bits (the
  // renamed temporary takes its place); a new file gets the mode a new file would get.
  mode_t mode = 0;
  struct stat target {};
  if (stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode)) {
    mode = target.st_mode & 0777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (fchmod(fd, mode) != 0 || close(fd) != 0) {
    error = std::strerror(errno);
    unlink(name.data());
    return std::nullopt;
  }
  return std::string(name.data());
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  const auto temp = CreateTempBeside(path, error);
  if (!temp) return false;
  const int fd = open(temp->c_str(), O_WRONLY | O_CLOEXEC);
  bool written = fd >= 0;
  for (std::size_t done = 0; written && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    // A short write is followed by another try, which reports why (a full disk) if it fails.
    written = n >= 0;
    if (written) done += static_cast<std::size_t>(n);
  }
  if (!written) error = std::strerror(errno);
  if (fd >= 0 && close(fd) != 0 && written) {
    error = std::strerror(errno);
    written = false;
  }
  if (!written) {
    unlink(temp->c_str());
    return false;
  }
  return CommitTemp(*temp, path, error);
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

std::string FolderOf(const std::string& path) {
  const std::filesystem::path file(path);
  return file.has_parent_path() ? file.parent_path().string() : std::string(".");
}

WriteProblem CheckWritable(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return WriteProblem::IsFolder;
  const std::string folder = FolderOf(path);
  if (!std::filesystem::is_directory(folder, ec)) return WriteProblem::NoFolder;
  // access() answers for read-only mounts too, and as the user the program runs as.
  if (access(folder.c_str(), W_OK) != 0) return WriteProblem::FolderReadOnly;
  return WriteProblem::None;
}

}  // namespace stringart
