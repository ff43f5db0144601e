#pragma once

#include <string>
#include <string_view>

namespace stringart {

// Writes `bytes` to `path` all or nothing: into a temporary file beside it, flushed to disk, then
// renamed over the target. On failure no temporary is left and the target is untouched; the
// result is false with `error` set to the system's reason (e.g. "No space left on device").
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace stringart
