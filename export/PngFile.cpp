#include "export/PngFile.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "export/AtomicFile.h"

namespace stringart {
namespace {

// Where libpng's bytes go, and why it stopped: the system's reason when a write fails.
struct PngSink {
  int fd = -1;
  std::string error;
};

void WritePngBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  for (png_size_t done = 0; done < size;) {
    const ssize_t n = write(sink->fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sink->error = n < 0 ? std::strerror(errno) : "nothing written";
      png_error(png, "write failed");
    }
    done += static_cast<png_size_t>(n);
  }
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
  if (options.quickFilters) png_set_filter(png, 0, PNG_FILTER_SUB | PNG_FILTER_UP);
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

// What reading met: libpng's error, and whether it passed over a chunk it would not hold.
struct PngSource {
  std::string error;
  bool tooLarge = false;
};

void OnReadError(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  if (source->error.empty()) source->error = message;
  png_longjmp(png, 1);
}

// libpng passes over a chunk larger than its allocation limit with a warning, and carries on.
void OnReadWarning(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  const std::string_view text = message;
  if (text.find("too large") != std::string_view::npos ||
      text.find("memory") != std::string_view::npos ||
      text.find("exceeds") != std::string_view::npos) {
    source->tooLarge = true;
  }
}

// Reads the chunks ahead of the pixels. Free of objects with destructors, as Encode above.
bool ReadHead(png_structp png, png_infop info, std::FILE* file) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::optional<std::string> ReadPngText(const std::string& path, std::string_view key,
                                       std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rbe"));
  if (!file) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  png_byte signature[8] = {};
  if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
      png_sig_cmp(signature, 0, sizeof signature) != 0) {
    error = "it is not a PNG picture";
    return std::nullopt;
  }
  std::rewind(file.get());
  PngSource source;
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnReadError, OnReadWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "out of memory";
    return std::nullopt;
  }
  // Room for the keyword and the text, and no more: a larger chunk is passed over unread.
  png_set_chunk_malloc_max(png, kMaxPngText + 128);
  std::optional<std::string> text;
  if (!ReadHead(png, info, file.get())) {
    error = "it is not a PNG picture that can be read (" + source.error + ")";
  } else {
    png_textp texts = nullptr;
    int count = 0;
    png_get_text(png, info, &texts, &count);
    text.emplace();
    for (int i = 0; i < count; ++i) {
      if (key != texts[i].key) continue;
      const std::size_t length = texts[i].compression == PNG_ITXT_COMPRESSION_NONE ||
                                         texts[i].compression == PNG_ITXT_COMPRESSION_zTXt
                                     ? texts[i].itxt_length
                                     : texts[i].text_length;
      text->assign(texts[i].text, length);
      break;
    }
    if ((text->empty() && source.tooLarge) || text->size() > kMaxPngText) {
      error = "the text it carries is longer than " + std::to_string(kMaxPngText / 1024) + " KiB";
      text.reset();
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return text;
}

}  // namespace stringart
