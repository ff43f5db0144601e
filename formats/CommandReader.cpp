#include "formats/CommandReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "formats/PngFile.h"
#include "formats/VideoComment.h"
#include "runtime/Interrupted.h"

namespace stringart {
namespace {

// At most `size` bytes of what is open on `fd`: from `offset`, or from where it stands when none.
std::optional<std::string> ReadAt(int fd, std::optional<off_t> offset, std::size_t size,
                                  std::string& error) {
  std::string bytes(size, '\0');
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = RetryInterrupted([&] {
      return offset ? pread(fd, bytes.data() + got, size - got, *offset + static_cast<off_t>(got))
                    : read(fd, bytes.data() + got, size - got);
    });
    if (n < 0) {
      error = std::strerror(errno);
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

}  // namespace

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
  const auto text = ReadAt(fd, std::nullopt, kHead, error);
  if (!text) return std::nullopt;
  const std::string& head = *text;
  const std::size_t got = head.size();
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

std::optional<std::string> ReadHpglCommand(int fd, std::string& error) {
  auto head = ReadAt(fd, 0, kMaxCommandText + 4096, error);
  if (!head) return std::nullopt;
  const std::size_t start = head->find_first_not_of(" \t\r\n");
  if (start == std::string::npos || head->compare(start, 3, "IN;") != 0) {
    error = "it is not an HPGL file";
    return std::nullopt;
  }
  const std::size_t open = head->find("CO\"");
  if (open == std::string::npos) return std::string();
  const std::size_t close = head->find('"', open + 3);
  if (close == std::string::npos) {
    error = "its comment is never closed";
    return std::nullopt;
  }
  return head->substr(open + 3, close - (open + 3));
}

// G-code as stringart writes it: its first line a comment, "; stringart-render ...".
std::optional<std::string> ReadGcodeCommand(int fd, std::string& error) {
  auto head = ReadAt(fd, 0, kMaxCommandText + 4096, error);
  if (!head) return std::nullopt;
  if (!head->starts_with("; ")) return std::string();
  return head->substr(2, head->find('\n') - 2);
}

std::optional<std::string> ReadPdfCommand(int fd, std::string& error) {
  auto head = ReadAt(fd, 0, 5, error);
  if (!head) return std::nullopt;
  if (*head != "%PDF-") {
    error = "it is not a PDF document";
    return std::nullopt;
  }
  // The document information comes after the pages, near the end.
  const off_t size = lseek(fd, 0, SEEK_END);
  const std::size_t tail = kMaxCommandText + 8192;
  const off_t from = size > static_cast<off_t>(tail) ? size - static_cast<off_t>(tail) : 0;
  auto end = ReadAt(fd, from, tail, error);
  if (!end) return std::nullopt;
  constexpr std::string_view kSubject = "/Subject (";
  const std::size_t at = end->rfind(kSubject);
  if (at == std::string::npos) return std::string();
  // A literal string: a backslash escapes the byte after it, and ')' ends it.
  std::string text;
  for (std::size_t i = at + kSubject.size(); i < end->size(); ++i) {
    const char c = (*end)[i];
    if (c == ')') return text;
    if (c == '\\' && i + 1 < end->size()) {
      text += (*end)[++i];
    } else {
      text += c;
    }
  }
  error = "its subject is never closed";
  return std::nullopt;
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
    case FigureFormat::Hpgl: text = ReadHpglCommand(fd, error); break;
    case FigureFormat::Pdf: text = ReadPdfCommand(fd, error); break;
    case FigureFormat::Gcode: text = ReadGcodeCommand(fd, error); break;
  }
  close(fd);
  return text;
}

}  // namespace stringart
