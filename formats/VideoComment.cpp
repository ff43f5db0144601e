#include "formats/VideoComment.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "formats/AvioSeek_p.h"
#include "formats/CommandReader.h"
#include "runtime/Interrupted.h"

namespace stringart {
namespace {

// The most of a video file read to find its tags: the header of a clip written with its index
// at the front takes kilobytes; a file that asks for more is made to stall.
constexpr std::int64_t kMaxVideoRead = 4 * 1024 * 1024;

// The descriptor FFmpeg reads, at a position of its own.
struct VideoSource {
  int fd = -1;
  std::int64_t position = 0, size = 0, read = 0;
};

int ReadVideo(void* opaque, std::uint8_t* buffer, int size) {
  auto* source = static_cast<VideoSource*>(opaque);
  if (source->read >= kMaxVideoRead) return AVERROR_EOF;
  const ssize_t n = RetryInterrupted(
      [&] { return pread(source->fd, buffer, static_cast<std::size_t>(size), source->position); });
  if (n < 0) return AVERROR(errno);
  if (n == 0) return AVERROR_EOF;
  source->position += n;
  source->read += n;
  return static_cast<int>(n);
}

std::int64_t SeekVideo(void* opaque, std::int64_t offset, int whence) {
  auto* source = static_cast<VideoSource*>(opaque);
  return SeekAvio(source->position, source->size, offset, whence);
}

// A demuxer must not open anything else a file names (references, playlists).
int RefuseOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
  return AVERROR(EPERM);
}

}  // namespace

std::optional<std::string> ReadVideoComment(int fd, FigureFormat format, std::string& error) {
  av_log_set_level(AV_LOG_QUIET);
  struct stat about {};
  if (fstat(fd, &about) != 0) {
    error = "the file cannot be read";
    return std::nullopt;
  }
  VideoSource source{fd, 0, static_cast<std::int64_t>(about.st_size), 0};
  const AVInputFormat* demuxer = av_find_input_format(format == FigureFormat::Mp4 ? "mp4" : "webm");
  constexpr int kBuffer = 64 * 1024;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBuffer));
  AVIOContext* io = buffer != nullptr ? avio_alloc_context(buffer, kBuffer, 0, &source, ReadVideo,
                                                           nullptr, SeekVideo)
                                      : nullptr;
  AVFormatContext* context = io != nullptr ? avformat_alloc_context() : nullptr;
  if (demuxer == nullptr || context == nullptr) {
    if (io != nullptr) {
      av_freep(&io->buffer);
      avio_context_free(&io);
    } else {
      av_free(buffer);
    }
    avformat_free_context(context);
    error = demuxer == nullptr ? "this FFmpeg cannot read the container" : "out of memory";
    return std::nullopt;
  }
  context->pb = io;
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  context->io_open = RefuseOpen;
  std::optional<std::string> text;
  // avformat_open_input frees the context when it fails.
  const int status = avformat_open_input(&context, nullptr, demuxer, nullptr);
  if (status < 0) {
    char why[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(status, why, sizeof why);
    error = std::string("it is not a video that can be read (") + why + ")";
  } else {
    const AVDictionaryEntry* comment = av_dict_get(context->metadata, "comment", nullptr, 0);
    const std::string_view value = comment != nullptr ? comment->value : "";
    if (value.size() > kMaxCommandText) {
      error =
          "the text it carries is longer than " + std::to_string(kMaxCommandText / 1024) + " KiB";
    } else {
      text.emplace(value);
    }
    avformat_close_input(&context);
  }
  av_freep(&io->buffer);
  avio_context_free(&io);
  return text;
}

}  // namespace stringart
