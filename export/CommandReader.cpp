#include "export/CommandReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "export/PngFile.h"
#include "export/VideoComment.h"

namespace stringart {

int OpenRegularFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  struct stat about {};
  if (fstat(fd, &about) != 0) {
    error = std::strerror(errno);
    close(fd);
    return -1;
  }
  if (!S_ISREG(about.st_mode)) {
    error = S_ISDIR(about.st_mode)    ? "it is a folder"
            : S_ISFIFO(about.st_mode) ? "it is a pipe (FIFO), not a file"
            : S_ISSOCK(about.st_mode) ? "it is a socket, not a file"
                                      : "it is a device, not a file";
    close(fd);
    return -1;
  }
  // Regular files never block; reads go on as usual.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::optional<std::string> ReadSvgCommand(int fd, std::string& error) {
  constexpr std::string_view kOpen = "<metadata>", kClose = "</metadata>";
  // SaveFigure puts the command at the top; the rest of the file, megabytes of segments, is not
  // read.
  constexpr std::size_t kHead = kMaxCommandText + 4096;
  std::string head(kHead, '\0');
  std::size_t got = 0;
  while (got < kHead) {
    const ssize_t n = read(fd, head.data() + got, kHead - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  head.resize(got);
  if (head.find("<svg") == std::string::npos) {
    error = "it is not an SVG drawing";
    return std::nullopt;
  }
  const std::size_t open = head.find(kOpen);
  if (open == std::string::npos) return std::string();
  const std::size_t from = open + kOpen.size();
  const std::size_t close = head.find(kClose, from);
  if (close == std::string::npos || close - from > kMaxCommandText) {
    if (got < kHead) {
      error = "its <metadata> is never closed";
    } else {
      error =
          "the text it carries is longer than " + std::to_string(kMaxCommandText / 1024) + " KiB";
    }
    return std::nullopt;
  }
  return head.substr(from, close - from);
}

std::optional<std::string> ReadFileCommand(const std::string& path, FigureFormat format,
                                           std::string& error) {
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> text;
  switch (format) {
    case FigureFormat::Png: text = ReadPngText(fd, "Comment", error); break;
    case FigureFormat::Svg: text = ReadSvgCommand(fd, error); break;
    case FigureFormat::Mp4:
    case FigureFormat::Webm: text = ReadVideoComment(fd, format, error); break;
  }
  close(fd);
  return text;
}

}  // namespace stringart
