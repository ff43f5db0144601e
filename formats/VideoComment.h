#pragma once

#include <optional>
#include <string>

#include "options/FigureCommand.h"

namespace stringart {

// The container's comment tag of the MP4 or WebM open on `fd` (`format` says which), read with
// libavformat through the descriptor alone: no file name reaches FFmpeg, no other file is
// opened, at most a few MiB are read and nothing is decoded. Empty when there is none; nullopt
// with `error` set to one line when the file cannot be read as that container or the comment is
// longer than kMaxCommandText.
std::optional<std::string> ReadVideoComment(int fd, FigureFormat format, std::string& error);

}  // namespace stringart
