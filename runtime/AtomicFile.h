#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stringart {

// Writes `bytes` to `path` all or nothing: into a temporary file beside it, flushed to disk, then
// renamed over the target. On failure no temporary is left and the target is untouched; the
// result is false with `error` set to the system's reason (e.g. "No space left on device").
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// For a writer that streams a large file: creates an empty temporary file beside `path`, with
// the permission bits of the file at `path` when there is one, else the mode a new file gets, and
// returns its name; nullopt with `error` set when it cannot.
std::optional<std::string> CreateTempBeside(const std::string& path, std::string& error);

// Flushes the finished temporary `temp` to disk and renames it over `path`. On failure `temp` is
// removed and `error` holds the system's reason.
bool CommitTemp(const std::string& temp, const std::string& path, std::string& error);

}  // namespace stringart
