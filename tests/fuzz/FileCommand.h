#pragma once

// Hands the input to the reader of one kind of figure file as a file would reach it: a regular
// file (in memory) opened by its name, then the command found is parsed as opening does.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/CommandReader.h"
#include "options/FigureCommand.h"

inline int ReadAsFile(const std::uint8_t* data, std::size_t size, stringart::FigureFormat format) {
  const int fd = memfd_create("figure", MFD_CLOEXEC);
  if (fd < 0) return 0;
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  std::string error;
  const auto text =
      stringart::ReadFileCommand("/proc/self/fd/" + std::to_string(fd), format, error);
  if (text && text->size() > stringart::kMaxCommandText) __builtin_trap();
  if (text) stringart::ParseRemakeCommand(*text, error);
  close(fd);
  return 0;
}
