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
// returns its name; nullopt with `error` set when it cannot. The temporary is hidden and named as
// ours (".stringart-XXXXXX.tmp"), whatever the length of `path`'s name; those of ours an hour old
// in that folder, left by a run that was killed, are removed. A pipe, a device or a folder at
// `path` is refused; a symbolic link will be replaced, what it points to left as it is.
std::optional<std::string> CreateTempBeside(const std::string& path, std::string& error);

// Why `path` may not be written over, e.g. "it is a pipe (FIFO), not a regular file"; empty
// when nothing is there, or a regular file or a symbolic link.
std::string NotWritableOver(const std::string& path);

// Why a file could not be written at `path`, as far as can be told before writing it, so that
// long work is not done for nothing: nothing in the way, `path` is a folder, its folder does not
// exist, the folder cannot be written (no permission, a read-only mount), or `path` is a pipe, a
// device or a socket.
enum class WriteProblem { None, IsFolder, NoFolder, FolderReadOnly, NotRegularFile };
WriteProblem CheckWritable(const std::string& path);
// The folder a file at `path` goes into: "." for a bare name.
std::string FolderOf(const std::string& path);

// Flushes the finished temporary `temp` to disk and renames it over `path`. On failure `temp` is
// removed and `error` holds the system's reason.
bool CommitTemp(const std::string& temp, const std::string& path, std::string& error);

}  // namespace stringart
