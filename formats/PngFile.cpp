#include "formats/PngFile.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "formats/CommandReader.h"
#include "runtime/AtomicFile.h"
#include "runtime/Interrupted.h"

namespace stringart {
namespace {

// Where libpng's bytes go, and why it stopped: the system's reason when a write fails.
struct PngSink {
  int fd = -1;
  std::string error;
};

void WritePngBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  if (!WriteAll(sink->fd, data, size, sink->error)) png_error(png, "write failed");
}

void FlushPng(png_structp) {}

void OnPngError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  if (sink->error.empty()) sink->error = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Encodes row by row. Kept free of objects with destructors, since libpng reports errors by a
// long jump back into it.
ExportResult Encode(png_structp png, png_infop info, const std::uint32_t* pixels, int width,
                    int height, std::ptrdiff_t stride, const PngOptions& options, png_textp texts,
                    int textCount, const ExportProgress& progress) {
  if (setjmp(png_jmpbuf(png))) return ExportResult::Failed;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (options.pixelsPerMetre > 0) {
    const auto ppm = static_cast<png_uint_32>(options.pixelsPerMetre);
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  }
  if (textCount > 0) png_set_text(png, info, texts, textCount);
  png_write_info(png, info);
  // Rows are 0xFFRRGGBB words: bytes B, G, R, 0xFF in memory on this little-endian machine.
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  const double from = options.progressFrom;
  for (int y = 0; y < height; ++y) {
    png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + y * stride));
    if ((y & 63) == 63 && progress && !progress(from + (1 - from) * (y + 1) / height)) {
      return ExportResult::Cancelled;
    }
  }
  png_write_end(png, info);
  return ExportResult::Written;
}

}  // namespace

ExportResult WritePngFile(const std::string& path, const std::uint32_t* pixels, int width,
                          int height, std::ptrdiff_t stride, const PngOptions& options,
                          const ExportProgress& progress, std::string& error) {
  const auto temp = CreateTempBeside(path, error);
  if (!temp) return ExportResult::Failed;
  PngSink sink;
  sink.fd = open(temp->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (sink.fd < 0) {
    error = std::strerror(errno);
    unlink(temp->c_str());
    return ExportResult::Failed;
  }
  // libpng keeps pointers to the keys and texts until the end of the writing.
  std::vector<PngText> owned = options.texts;
  std::vector<png_text> texts(owned.size());
  for (std::size_t i = 0; i < owned.size(); ++i) {
    texts[i].compression =
        owned[i].compressed ? PNG_TEXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
    texts[i].key = owned[i].key.data();
    texts[i].text = owned[i].text.data();
    texts[i].text_length = owned[i].text.size();
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  ExportResult result = ExportResult::Failed;
  if (info != nullptr) {
    png_set_write_fn(png, &sink, WritePngBytes, FlushPng);
    result = Encode(png, info, pixels, width, height, stride, options, texts.data(),
                    static_cast<int>(texts.size()), progress);
  } else {
    sink.error = "out of memory";
  }
  png_destroy_write_struct(&png, &info);
  if (close(sink.fd) != 0 && result == ExportResult::Written) {
    sink.error = std::strerror(errno);
    result = ExportResult::Failed;
  }
  if (result != ExportResult::Written) {
    unlink(temp->c_str());
    if (result == ExportResult::Failed) error = sink.error;
    return result;
  }
  return CommitTemp(*temp, path, error) ? ExportResult::Written : ExportResult::Failed;
}

namespace {

// At most this much of a file is read ahead of its pixels: a stringart PNG's text chunks take a
// few hundred bytes, another program's a few kilobytes; more is taken for a file made to stall.
constexpr std::size_t kMaxPngHead = 4 * 1024 * 1024;

// What reading met: libpng's error, whether a text chunk was too long to hold, and the text.
struct PngSource {
  int fd = -1;
  std::size_t read = 0;  // bytes read so far
  std::string_view key;
  char chunk[5] = {};  // the type of the chunk being read
  std::string error;
  bool tooLarge = false;
  bool found = false;
  std::string text;
};

void ReadPngBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (source->read + size > kMaxPngHead) {
    source->error =
        "more than " + std::to_string(kMaxPngHead / (1024 * 1024)) + " MiB before its pixels";
    png_error(png, "too long");
  }
  const long got = ReadAll(source->fd, data, size);
  if (got != static_cast<long>(size)) {
    source->error = got < 0 ? std::strerror(errno) : "the file ends early";
    png_error(png, "read failed");
  }
  source->read += size;
  // libpng reads each chunk's length and type in one go.
  if (size == 8) std::memcpy(source->chunk, data + 4, 4);
}

void OnReadError(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  if (source->error.empty()) source->error = message;
  png_longjmp(png, 1);
}

// libpng only warns of a chunk larger than its allocation limit, then reads through it. A text
// chunk that large is refused there, before any of it is read; another is passed over, within
// the bytes read ahead of the pixels.
void OnReadWarning(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  const std::string_view text = message, chunk = source->chunk;
  if (text.find("too large") != std::string_view::npos &&
      (chunk == "tEXt" || chunk == "zTXt" || chunk == "iTXt")) {
    source->tooLarge = true;
    png_error(png, message);
  }
}

// Inflates `in` into `out`, stopping as soon as it would pass kMaxPngText; false when the data
// is damaged, or too long with `tooLarge` set.
bool Inflate(std::string_view in, std::string& out, bool& tooLarge) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  out.resize(kMaxPngText + 1);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  inflateEnd(&z);
  if (out.size() > kMaxPngText) tooLarge = true;
  return status == Z_STREAM_END && !tooLarge;
}

// Takes the first text chunk named `key`, whole: libpng's own text reading stops at a NUL and
// would hand over a command cut short without a word.
int OnTextChunk(png_structp png, png_unknown_chunkp chunk) {
  auto* source = static_cast<PngSource*>(png_get_user_chunk_ptr(png));
  const std::string_view name(reinterpret_cast<const char*>(chunk->name), 4);
  const std::string_view data(reinterpret_cast<const char*>(chunk->data), chunk->size);
  if (source->found || (name != "tEXt" && name != "zTXt" && name != "iTXt")) return 1;
  const std::size_t end = data.find('\0');
  if (end == std::string_view::npos || data.substr(0, end) != source->key) return 1;
  source->found = true;
  std::string_view rest = data.substr(end + 1);
  bool compressed = name == "zTXt";
  if (name == "iTXt") {
    // Compression flag and method, then a language tag and a translated keyword, each ended
    // by a NUL.
    if (rest.size() < 2) return -1;
    compressed = rest[0] != 0;
    rest.remove_prefix(2);
    for (int field = 0; field < 2; ++field) {
      const std::size_t nul = rest.find('\0');
      if (nul == std::string_view::npos) return -1;
      rest.remove_prefix(nul + 1);
    }
  } else if (compressed) {
    if (rest.empty() || rest[0] != 0) return -1;  // the only compression method
    rest.remove_prefix(1);
  }
  if (!compressed) {
    if (rest.size() > kMaxPngText) source->tooLarge = true;
    source->text.assign(rest.substr(0, kMaxPngText));
    return 1;
  }
  if (!Inflate(rest, source->text, source->tooLarge)) return source->tooLarge ? 1 : -1;
  return 1;
}

// Reads the chunks ahead of the pixels. Free of objects with destructors, as Encode above.
bool ReadHead(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  return true;
}

}  // namespace

std::optional<std::string> ReadPngText(int fd, std::string_view key, std::string& error) {
  png_byte signature[8] = {};
  if (ReadAll(fd, signature, sizeof signature) != static_cast<long>(sizeof signature) ||
      png_sig_cmp(signature, 0, sizeof signature) != 0) {
    error = "it is not a PNG picture";
    return std::nullopt;
  }
  PngSource source;
  source.fd = fd;
  source.key = key;
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnReadError, OnReadWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "out of memory";
    return std::nullopt;
  }
  png_set_read_fn(png, &source, ReadPngBytes);
  png_set_sig_bytes(png, sizeof signature);
  // Room for the keyword and the text, and no more: a larger chunk is refused unread.
  png_set_chunk_malloc_max(png, kMaxPngText + 128);
  // The text chunks come to OnTextChunk as they are, NULs and all.
  static const png_byte kTextChunks[] = "tEXt\0zTXt\0iTXt";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, kTextChunks, 3);
  png_set_read_user_chunk_fn(png, &source, OnTextChunk);
  std::optional<std::string> text;
  const bool read = ReadHead(png, info);
  if (source.tooLarge) {
    error = "the text it carries is longer than " + std::to_string(kMaxPngText / 1024) + " KiB";
  } else if (!read) {
    error = "it is not a PNG picture that can be read (" + source.error + ")";
  } else {
    text = std::move(source.text);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return text;
}

std::optional<std::string> ReadPngText(const std::string& path, std::string_view key,
                                       std::string& error) {
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return std::nullopt;
  auto text = ReadPngText(fd, key, error);
  close(fd);
  return text;
}

}  // namespace stringart
