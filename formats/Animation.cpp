#include "formats/Animation.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "figure/Variation.h"
#include "formats/AvioSeek_p.h"
#include "runtime/AtomicFile.h"
#include "runtime/Interrupted.h"
#include "smooth/LargePicture.h"

namespace stringart {
namespace {

enum class AnimationCodec {
  H264Mp4,  // H.264 (libx264), yuv420p, in MP4 with the index at the front
  Vp9Webm,  // VP9 (libvpx-vp9), yuv420p, in WebM
};

// The pictures of an animation, in order: `width` x `height` 0xFFRRGGBB words each, rows top
// to bottom with no padding.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // How many frames there are.
  virtual long frames() const = 0;
  // Frame `k`, asked for from 0 upwards, one at a time: valid until the next call. Null, with
  // `error` set to one line, when it cannot be made.
  virtual const std::uint32_t* Frame(long k, std::string& error) = 0;
};

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// The temporary file as FFmpeg sees it: our own descriptor at a position of its own. Its name
// never reaches FFmpeg, which would take a name like "pipe:x.webm" for a protocol to open.
struct FileSink {
  int fd = -1;
  std::int64_t position = 0, size = 0;
  bool writable = true;
};

int WriteToSink(void* opaque, std::uint8_t* data, int size) {
  auto* sink = static_cast<FileSink*>(opaque);
  for (int done = 0; done < size;) {
    const ssize_t n = RetryInterrupted([&] {
      return pwrite(sink->fd, data + done, static_cast<std::size_t>(size - done), sink->position);
    });
    // A short write is followed by another try, which reports why (a full disk) if it fails.
    if (n < 0) return AVERROR(errno);
    done += static_cast<int>(n);
    sink->position += n;
  }
  sink->size = std::max(sink->size, sink->position);
  return size;
}

int ReadFromSink(void* opaque, std::uint8_t* data, int size) {
  auto* sink = static_cast<FileSink*>(opaque);
  const ssize_t n = RetryInterrupted(
      [&] { return pread(sink->fd, data, static_cast<std::size_t>(size), sink->position); });
  if (n < 0) return AVERROR(errno);
  if (n == 0) return AVERROR_EOF;
  sink->position += n;
  return static_cast<int>(n);
}

std::int64_t SeekInSink(void* opaque, std::int64_t offset, int whence) {
  auto* sink = static_cast<FileSink*>(opaque);
  if (!sink->writable) {
    // A reader of the file sees what was written to it so far.
    struct stat about {};
    if (fstat(sink->fd, &about) == 0) sink->size = about.st_size;
  }
  return SeekAvio(sink->position, sink->size, offset, whence);
}

constexpr int kSinkBuffer = 256 * 1024;

// An AVIOContext over `sink`; null when there is not memory enough.
AVIOContext* SinkContext(FileSink* sink) {
  auto* buffer = static_cast<unsigned char*>(av_malloc(kSinkBuffer));
  if (buffer == nullptr) return nullptr;
  AVIOContext* io =
      avio_alloc_context(buffer, kSinkBuffer, sink->writable ? 1 : 0, sink, ReadFromSink,
                         sink->writable ? WriteToSink : nullptr, SeekInSink);
  if (io == nullptr) av_free(buffer);
  return io;
}

void FreeSinkContext(AVIOContext*& io) {
  if (io == nullptr) return;
  av_freep(&io->buffer);
  avio_context_free(&io);
}

// MP4's index is moved to the front at the end by reading the file back: the muxer asks for a
// second context on the same file, which it gets over the same descriptor.
int OpenSinkAgain(AVFormatContext* format, AVIOContext** io, const char*, int flags,
                  AVDictionary**) {
  if (flags & AVIO_FLAG_WRITE) return AVERROR(EPERM);
  const auto* writing = static_cast<const FileSink*>(format->pb->opaque);
  auto* sink = new (std::nothrow) FileSink{writing->fd, 0, writing->size, false};
  *io = sink != nullptr ? SinkContext(sink) : nullptr;
  if (*io == nullptr) {
    delete sink;
    return AVERROR(ENOMEM);
  }
  return 0;
}

int CloseSinkAgain(AVFormatContext*, AVIOContext* io) {
  delete static_cast<FileSink*>(io->opaque);
  FreeSinkContext(io);
  return 0;
}

// Everything FFmpeg hands out for one file, released in the right order however the work ends.
struct Encoder {
  FileSink sink;
  AVIOContext* io = nullptr;
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  SwsContext* convert = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;

  Encoder() = default;
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  ~Encoder() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    sws_freeContext(convert);
    avcodec_free_context(&codec);
    // The context is ours (AVFMT_FLAG_CUSTOM_IO): FFmpeg leaves it open.
    avformat_free_context(format);
    FreeSinkContext(io);
  }

  // Sends `picture` (or the end of the stream when null) and writes out every packet ready.
  // Returns 0 or FFmpeg's error.
  int Send(const AVFrame* picture) {
    int status = avcodec_send_frame(codec, picture);
    if (status < 0) return status;
    while ((status = avcodec_receive_packet(codec, packet)) >= 0) {
      // Every frame lasts one tick, the last one too, so that the clip lasts as long as asked.
      if (packet->duration == 0) packet->duration = 1;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      status = av_interleaved_write_frame(format, packet);
      if (status < 0) return status;
      if (format->pb->error < 0) return format->pb->error;
    }
    return status == AVERROR(EAGAIN) || status == AVERROR_EOF ? 0 : status;
  }
};

// The most memory the frames an encoder holds in flight may take: its lookahead's, its B-frames'
// and its threads' beyond the one it needs to encode at all.
constexpr double kFramesInFlightBytes = 400e6;
// What libx264's veryfast pipeline (3 B-frames, a lookahead of 10 and one as long again to keep
// its threads fed) holds in flight, bytes a pixel of the frame: 1.27 GB at 4096 x 4096.
constexpr double kX264PipelineBytesPerPixel = 76;
// A pipeline of no B-frames and a lookahead of 3 holds 22 bytes a pixel: 370 MB at the largest
// frame. On the figures' clips it is no slower and its files no larger.
constexpr char kX264ShortPipeline[] = "bframes=0:rc-lookahead=3:sync-lookahead=0";

// Settings of each encoder, chosen for clips of thin strokes on black, for frames of `pixels`.
void SetEncoderOptions(bool mp4, double pixels, AVDictionary** options) {
  if (mp4) {
    // Fast enough to make a clip in less time than it plays on two cores; thin strokes on
    // black keep their edges at this quality.
    av_dict_set(options, "preset", "veryfast", 0);
    av_dict_set(options, "crf", "20", 0);
    if (pixels * kX264PipelineBytesPerPixel > kFramesInFlightBytes) {
      av_dict_set(options, "x264-params", kX264ShortPipeline, 0);
    }
  } else {
    // libvpx's fastest "good" speeds with rows in parallel: about real time on two cores.
    av_dict_set(options, "deadline", "realtime", 0);
    av_dict_set(options, "cpu-used", "8", 0);
    av_dict_set(options, "row-mt", "1", 0);
    av_dict_set(options, "tile-columns", "2", 0);
    av_dict_set(options, "crf", "30", 0);
    av_dict_set(options, "b", "0", 0);
    // In real time libvpx looks at no frame ahead: the 25 it would otherwise hold (690 MB at
    // 4096 x 4096) change nothing in the clip.
    av_dict_set(options, "lag-in-frames", "0", 0);
  }
}

// Opens the encoder of `codec` for frames of `width` x `height` at `fps` into a new stream of
// the container; an empty string or what failed.
std::string OpenEncoder(Encoder& e, const AVCodec* codec, int width, int height, int fps) {
  e.stream = avformat_new_stream(e.format, nullptr);
  e.codec = avcodec_alloc_context3(codec);
  if (e.stream == nullptr || e.codec == nullptr) return "out of memory";
  AVCodecContext* c = e.codec;
  c->width = width;
  c->height = height;
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  c->time_base = AVRational{1, fps};
  c->framerate = AVRational{fps, 1};
  c->gop_size = 2 * fps;  // a key frame every two seconds, for seeking
  c->thread_count = 0;    // as many as the machine has
  // Tagged as converted below: BT.709, limited range.
  c->color_range = AVCOL_RANGE_MPEG;
  c->colorspace = AVCOL_SPC_BT709;
  c->color_primaries = AVCOL_PRI_BT709;
  c->color_trc = AVCOL_TRC_BT709;
  if (e.format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = nullptr;
  SetEncoderOptions(std::strcmp(codec->name, "libx264") == 0, static_cast<double>(width) * height,
                    &options);
  int status = avcodec_open2(c, codec, &options);
  av_dict_free(&options);
  if (status < 0)
    return "cannot open the " + std::string(codec->name) + " encoder: " + AvError(status);
  status = avcodec_parameters_from_context(e.stream->codecpar, c);
  if (status < 0) return AvError(status);
  e.stream->time_base = c->time_base;
  return {};
}

// The frame the encoder takes and the conversion of our pictures into it; an empty string or
// what failed.
std::string PrepareFrames(Encoder& e, int width, int height) {
  e.frame = av_frame_alloc();
  e.packet = av_packet_alloc();
  if (e.frame == nullptr || e.packet == nullptr) return "out of memory";
  e.frame->format = e.codec->pix_fmt;
  e.frame->width = width;
  e.frame->height = height;
  const int status = av_frame_get_buffer(e.frame, 0);
  if (status < 0) return AvError(status);
  // The picture's 0xFFRRGGBB words are B, G, R, A bytes in memory.
  e.convert = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                             SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (e.convert == nullptr) return "cannot convert pictures to yuv420p";
  sws_setColorspaceDetails(e.convert, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                           sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
  return {};
}

// Writes the container's header, with `remakeCommand` in its comment tag, to the file open on
// `fd`; an empty string or what failed.
std::string StartContainer(Encoder& e, bool mp4, const std::string& remakeCommand, int fd) {
  av_dict_set(&e.format->metadata, "comment", remakeCommand.c_str(), 0);
  e.sink.fd = fd;
  e.io = SinkContext(&e.sink);
  if (e.io == nullptr) return "out of memory";
  e.format->pb = e.io;
  e.format->flags |= AVFMT_FLAG_CUSTOM_IO;
  e.format->io_open = OpenSinkAgain;
  e.format->io_close2 = CloseSinkAgain;
  AVDictionary* muxing = nullptr;
  // The index at the front, so that the clip plays while it downloads.
  if (mp4) av_dict_set(&muxing, "movflags", "+faststart", 0);
  const int status = avformat_write_header(e.format, &muxing);
  av_dict_free(&muxing);
  return status < 0 ? AvError(status) : std::string();
}

// Opens the encoder and the container on the file open on `fd`; an empty string or what failed.
std::string Open(Encoder& e, AnimationCodec kind, int width, int height, int fps,
                 const std::string& remakeCommand, int fd) {
  const bool mp4 = kind == AnimationCodec::H264Mp4;
  const char* encoderName = mp4 ? "libx264" : "libvpx-vp9";
  const AVCodec* codec = avcodec_find_encoder_by_name(encoderName);
  if (codec == nullptr) return std::string("this FFmpeg has no ") + encoderName + " encoder";
  const int status =
      avformat_alloc_output_context2(&e.format, nullptr, mp4 ? "mp4" : "webm", nullptr);
  if (status < 0) return AvError(status);
  std::string error = OpenEncoder(e, codec, width, height, fps);
  if (error.empty()) error = PrepareFrames(e, width, height);
  if (error.empty()) error = StartContainer(e, mp4, remakeCommand, fd);
  return error;
}

// The figure being traced: frame k of `traced` shows the first k / traced of its strokes, counted
// from 1, and the frames after those hold it complete.
class TracingFrames final : public FrameSource {
 public:
  TracingFrames(const FigureRecord& figure, LargePicture& picture, long traced, long held)
      : picture_(picture), traced_(traced), held_(held) {
    TraceAgain(figure, drawing_);
  }
  long frames() const override { return traced_ + held_; }
  const std::uint32_t* Frame(long k, std::string&) override {
    const std::vector<Segment>& segments = drawing_.segments();
    const std::size_t upTo = static_cast<std::size_t>(static_cast<double>(segments.size()) *
                                                      std::min(k + 1, traced_) / traced_);
    picture_.Draw(std::span(segments).subspan(shown_, upTo - shown_));
    shown_ = upTo;
    return picture_.pixels();
  }

 private:
  LargePicture& picture_;
  SegmentRecorder drawing_;
  long traced_, held_;
  std::size_t shown_ = 0;
};

// A complete figure a frame, its draws moving from one figure's to another's. Each frame's
// figure is traced on a thread of its own while the one before is converted and encoded, work of
// one core that would leave the other idle.
class MorphFrames final : public FrameSource {
 public:
  MorphFrames(const FigureRecord& from, const FigureDraws& to, LargePicture& picture, long morphing,
              long held)
      : from_(from), to_(to), picture_(picture), morphing_(morphing), held_(held) {}
  MorphFrames(const MorphFrames&) = delete;
  MorphFrames& operator=(const MorphFrames&) = delete;
  ~MorphFrames() override { Wait(); }

  long frames() const override { return morphing_ + held_; }
  const std::uint32_t* Frame(long k, std::string&) override {
    if (k < morphing_) {  // the held frames repeat the last one as it stands
      Wait();
      SegmentRecorder& drawing = drawings_[k % 2];
      if (traced_ != k) Trace(k, drawing);
      picture_.DrawWholeOnBlack(drawing.segments());
      if (k + 1 < morphing_) {
        SegmentRecorder& next = drawings_[(k + 1) % 2];
        try {
          tracing_ = std::thread([this, k, &next] {
            try {
              Trace(k + 1, next);
            } catch (const std::bad_alloc&) {
              // Traced again when it is asked for, where running out of memory is told.
            }
          });
        } catch (const std::system_error&) {
          // No thread to be had: the next frame is traced when it is asked for.
        }
      }
    }
    return picture_.pixels();
  }

 private:
  // Traces frame k's figure onto `drawing`, reusing its storage: memory stays as it is.
  void Trace(long k, SegmentRecorder& drawing) {
    TraceAgain({MorphDraws(from_.draws, to_, k, morphing_), from_.start, {}}, drawing);
    traced_ = k;
  }
  void Wait() {
    if (tracing_.joinable()) tracing_.join();
  }

  FigureRecord from_;
  FigureDraws to_;
  LargePicture& picture_;
  long morphing_, held_;
  SegmentRecorder drawings_[2];  // this frame's and the next's
  long traced_ = -1;             // the frame whose figure was traced last
  std::thread tracing_;
};

// Sends every frame of `source` through the open encoder `e`, then ends the stream and the
// container. `progress` hears of every frame and may cancel.
ExportResult EncodeFrames(Encoder& e, FrameSource& source, int width, int height,
                          const ExportProgress& progress, std::string& error) {
  const long frames = source.frames();
  int status = 0;
  for (long k = 0; k < frames && status >= 0; ++k) {
    const std::uint32_t* pixels = source.Frame(k, error);
    if (pixels == nullptr) return ExportResult::Failed;
    status = av_frame_make_writable(e.frame);
    if (status < 0) break;
    const auto* rgb = reinterpret_cast<const std::uint8_t*>(pixels);
    const int stride = 4 * width;
    sws_scale(e.convert, &rgb, &stride, 0, height, e.frame->data, e.frame->linesize);
    e.frame->pts = k;
    status = e.Send(e.frame);
    if (status >= 0 && progress && !progress(static_cast<double>(k + 1) / frames)) {
      return ExportResult::Cancelled;
    }
  }
  if (status >= 0) status = e.Send(nullptr);
  if (status >= 0) status = av_write_trailer(e.format);
  if (status >= 0) {
    avio_flush(e.format->pb);
    status = e.format->pb->error;
  }
  if (status >= 0) return ExportResult::Written;
  error = AvError(status);
  return ExportResult::Failed;
}

// Encodes every frame of `source` at `fps` frames a second into `path`, through a temporary
// file beside it renamed at the end, with `remakeCommand` in the container's comment tag.
ExportResult EncodeAnimation(FrameSource& source, AnimationCodec codec, int width, int height,
                             int fps, const std::string& remakeCommand, const std::string& path,
                             const ExportProgress& progress, std::string& error) {
  // Failures are told in one line of our own; FFmpeg's chatter would drown it.
  av_log_set_level(AV_LOG_QUIET);
  const auto temp = CreateTempBeside(path, error);
  if (!temp) return ExportResult::Failed;
  const int fd = open(temp->c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    unlink(temp->c_str());
    return ExportResult::Failed;
  }
  ExportResult result = ExportResult::Failed;
  {
    Encoder e;
    error = Open(e, codec, width, height, fps, remakeCommand, fd);
    if (error.empty()) result = EncodeFrames(e, source, width, height, progress, error);
  }
  if (close(fd) != 0 && result == ExportResult::Written) {
    error = std::strerror(errno);
    result = ExportResult::Failed;
  }
  // A cancel that comes while the clip is closed still leaves the older file as it was.
  if (result == ExportResult::Written && progress && !progress(1.0))
    result = ExportResult::Cancelled;
  if (result != ExportResult::Written) {
    unlink(temp->c_str());
    return result;
  }
  return CommitTemp(*temp, path, error) ? ExportResult::Written : ExportResult::Failed;
}

}  // namespace

ExportResult SaveAnimation(const FigureRecord& figure, const ExportRequest& request,
                           const ExportProgress& progress, std::string& error) {
  const auto [width, height] = request.size;
  std::optional<LargePicture> picture = LargePicture::Make(width, height, error);
  if (!picture) return ExportResult::Failed;
  const long moving = static_cast<long>(request.seconds) * request.fps, held = request.fps;
  std::optional<TracingFrames> tracing;
  std::optional<MorphFrames> morphing;
  FrameSource& frames = request.morphTo ? static_cast<FrameSource&>(morphing.emplace(
                                              figure, *request.morphTo, *picture, moving, held))
                                        : tracing.emplace(figure, *picture, moving, held);
  const AnimationCodec codec =
      request.format == FigureFormat::Webm ? AnimationCodec::Vp9Webm : AnimationCodec::H264Mp4;
  return EncodeAnimation(frames, codec, width, height, request.fps, RemakeCommand(figure, request),
                         request.path, progress, error);
}

}  // namespace stringart
