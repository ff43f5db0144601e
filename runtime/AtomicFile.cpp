#include "runtime/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>
#include <vector>

#include "runtime/Interrupted.h"

namespace stringart {
namespace {

// Every temporary of ours is ".stringart-" + mkstemps' six letters or digits + ".tmp": hidden,
// saying whose it is, short whatever the target's name (a name of 255 bytes is the file
// system's limit, with no room for more), and a form no user's file is likely to have.
constexpr std::string_view kTempPrefix = ".stringart-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr std::size_t kTempLetters = 6;
// A temporary older than this is one a killed run left: a live writer keeps writing to it.
constexpr auto kStaleTempSeconds = 60 * 60;

bool IsOurTemporary(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempLetters + kTempSuffix.size() ||
      !name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) {
    return false;
  }
  const std::string_view letters = name.substr(kTempPrefix.size(), kTempLetters);
  return std::all_of(letters.begin(), letters.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

// Removes the temporaries an hour old that killed runs left in `folder`: regular files of this
// user's only, never followed through a link. Whatever cannot be removed stays.
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const time_t now = time(nullptr);
  while (const dirent* entry = readdir(dir)) {
    if (!IsOurTemporary(entry->d_name)) continue;
    struct stat about {};
    if (fstatat(dirfd(dir), entry->d_name, &about, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(about.st_mode) && about.st_uid == geteuid() &&
        now - about.st_mtime >= kStaleTempSeconds) {
      unlinkat(dirfd(dir), entry->d_name, 0);
    }
  }
  closedir(dir);
}

}  // namespace

std::string NotWritableOver(const std::string& path) {
  struct stat about {};
  // A link is replaced by the file and what it points to left alone, so only its own kind counts.
  if (lstat(path.c_str(), &about) != 0 || S_ISREG(about.st_mode) || S_ISLNK(about.st_mode)) {
    return "";
  }
  return S_ISDIR(about.st_mode)    ? "it is a folder, not a regular file"
         : S_ISFIFO(about.st_mode) ? "it is a pipe (FIFO), not a regular file"
         : S_ISSOCK(about.st_mode) ? "it is a socket, not a regular file"
                                   : "it is a device, not a regular file";
}

std::optional<std::string> CreateTempBeside(const std::string& path, std::string& error) {
  // Renaming the temporary over a pipe or a device would replace it with a file.
  if (std::string why = NotWritableOver(path); !why.empty()) {
    error = std::move(why);
    return std::nullopt;
  }
  // Beside the target, so that the rename stays within one file system.
  const std::string folder = FolderOf(path);
  std::string pattern = folder + "/" + std::string(kTempPrefix) + std::string(kTempLetters, 'X') +
                        std::string(kTempSuffix);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemps(name.data(), static_cast<int>(kTempSuffix.size()));
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  RemoveStaleTemporaries(folder);
  // mkstemps makes the file private (0600). Writing over a file keeps its permission bits (the
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
  if (!written) error = std::strerror(errno);
  written = written && WriteAll(fd, bytes.data(), bytes.size(), error);
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
  // Checked again: a pipe may have been made at the path while the file was written.
  if (std::string why = NotWritableOver(path); !why.empty()) {
    error = std::move(why);
    unlink(temp.c_str());
    return false;
  }
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
  if (!NotWritableOver(path).empty()) return WriteProblem::NotRegularFile;
  const std::string folder = FolderOf(path);
  if (!std::filesystem::is_directory(folder, ec)) return WriteProblem::NoFolder;
  // access() answers for read-only mounts too, and as the user the program runs as.
  if (access(folder.c_str(), W_OK) != 0) return WriteProblem::FolderReadOnly;
  return WriteProblem::None;
}

}  // namespace stringart
