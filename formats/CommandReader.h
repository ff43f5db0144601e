#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "options/FigureCommand.h"

namespace stringart {

// Reading the stringart-render command a figure file carries, from a file anyone may hand over:
// only regular files, never waiting on one, never more than a bounded head of it.

// The longest command text read from a file, bytes.
inline constexpr std::size_t kMaxCommandText = 64 * 1024;

// Opens `path` for reading without waiting for a writer (a FIFO would block), and keeps it only
// when it is a regular file; a descriptor, or -1 with `error` set to one line without the path.
int OpenRegularFile(const std::string& path, std::string& error);

// The text of the <metadata> of the SVG open on `fd`, from the first kMaxCommandText bytes and a
// little more: empty when there is none. nullopt with `error` set when the file is no SVG or the
// metadata runs on past that.
std::optional<std::string> ReadSvgCommand(int fd, std::string& error);

// The command an HPGL file open on `fd` carries in its first comment (CO"..."), from the first
// kMaxCommandText bytes and a little more: empty when there is none. Nullopt with `error` set
// when the file does not start as HPGL does, with IN;.
std::optional<std::string> ReadHpglCommand(int fd, std::string& error);
// The command a PDF open on `fd` carries as its subject, from the document information near
// its end: empty when there is none. Nullopt with `error` set when the file is no PDF.
std::optional<std::string> ReadPdfCommand(int fd, std::string& error);

// The command text a file of `format` at `path` carries: the PNG's Comment text, the SVG's
// <metadata>, the video container's comment tag, the HPGL's comment, the PDF's subject; empty
// when there is none. nullopt with `error` set to one line, without the path, when the file
// cannot be read.
std::optional<std::string> ReadFileCommand(const std::string& path, FigureFormat format,
                                           std::string& error);

}  // namespace stringart
