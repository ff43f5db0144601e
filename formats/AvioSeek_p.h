#pragma once

// Private to export/: the seek that FFmpeg's I/O contexts over a descriptor of ours share.

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
}

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace stringart {

// Moves `position` (bytes) as an AVIOContext's seek callback is asked to, in a file of `size`
// bytes: the new position, the size for AVSEEK_SIZE, or AVERROR(EINVAL) for a place before the
// start or a `whence` it does not know. A place past the end is allowed, as lseek allows it.
inline std::int64_t SeekAvio(std::int64_t& position, std::int64_t size, std::int64_t offset,
                             int whence) {
  std::int64_t to = offset;
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: break;
    case SEEK_CUR: to += position; break;
    case SEEK_END: to += size; break;
    default: return AVERROR(EINVAL);
  }
  if (to < 0) return AVERROR(EINVAL);
  position = to;
  return to;
}

}  // namespace stringart
