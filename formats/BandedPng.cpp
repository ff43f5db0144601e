#include "formats/BandedPng.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

#include "runtime/AtomicFile.h"
#include "runtime/Cpus.h"
#include "runtime/Interrupted.h"
#include "runtime/OnThreads.h"

namespace stringart {
namespace {

// Both compressors at level 6: files a tenth smaller than libpng's Sub and Up filters at zlib's
// default level, the figure's flat strokes repeating whole pixels unfiltered.
constexpr int kLevel = 6;
// How many bytes libdeflate deflates in the time zlib takes for one, at kLevel, on the figures.
constexpr double kLibdeflateSpeed = 2.2;
// zlib is fed this many bytes at a time, so that progress and cancelling are heard between.
constexpr std::size_t kPiece = 1 << 20;
// The most bytes of one IDAT chunk.
constexpr std::size_t kIdatBytes = 1 << 20;

using Bytes = std::vector<std::uint8_t>;

// A band of rows, packed in place into PNG's scanlines (a filter byte, then R, G, B a pixel) and
// deflated into `deflated`; `adler` is the zlib checksum of the scanlines.
struct Band {
  int first = 0, last = 0;  // rows
  bool byLibdeflate = false;
  const std::uint8_t* scanlines = nullptr;
  std::size_t size = 0;  // bytes of scanlines
  Bytes deflated;
  std::uint32_t adler = 1;
  bool failed = false;
};

// Packs rows [first, last) of `pixels` into scanlines where the band's first row begins: each
// scanline is shorter than the row it comes from, so none overwrites a row not yet packed.
void Pack(std::uint32_t* pixels, int width, Band& band) {
  auto* out =
      reinterpret_cast<std::uint8_t*>(pixels + static_cast<std::size_t>(band.first) * width);
  band.scanlines = out;
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(width) + 1;
  Bytes line(rowBytes);  // a row packed apart first: reading and writing never alias
  for (int y = band.first; y < band.last; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
    line[0] = 0;  // no filter
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = row[x];
      line[1 + 3 * x] = static_cast<std::uint8_t>(p >> 16);
      line[2 + 3 * x] = static_cast<std::uint8_t>(p >> 8);
      line[3 + 3 * x] = static_cast<std::uint8_t>(p);
    }
    std::memmove(out, line.data(), rowBytes);
    out += rowBytes;
  }
  band.size = rowBytes * static_cast<std::size_t>(band.last - band.first);
}

// Deflates the band with zlib, a piece at a time, ending the stream when `last` and otherwise
// stopping at a byte boundary (a full flush), so that the next band's deflate data follows on.
// `heard` is told the fraction done after each piece and may stop it.
bool DeflateByZlib(Band& band, bool last, const std::function<bool(double)>& heard) {
  z_stream z{};
  if (deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  bool good = true;
  std::size_t used = 0, at = 0;
  do {
    const std::size_t piece = std::min(kPiece, band.size - at);
    const int flush = at + piece < band.size ? Z_NO_FLUSH : last ? Z_FINISH : Z_FULL_FLUSH;
    z.next_in = const_cast<std::uint8_t*>(band.scanlines + at);
    z.avail_in = static_cast<uInt>(piece);
    for (;;) {
      constexpr std::size_t kRoom = 256 * 1024;  // output space kept free for zlib
      if (band.deflated.size() - used < kRoom) band.deflated.resize(used + 2 * kRoom + used / 4);
      z.next_out = band.deflated.data() + used;
      z.avail_out = static_cast<uInt>(band.deflated.size() - used);
      const int status = deflate(&z, flush);
      used = band.deflated.size() - z.avail_out;
      good = status != Z_STREAM_ERROR;
      // Done with the piece once zlib leaves output space unused, or has ended the stream.
      if (!good || (flush == Z_FINISH ? status == Z_STREAM_END : z.avail_out != 0)) break;
    }
    at += piece;
    if (good && heard) good = heard(band.size > 0 ? static_cast<double>(at) / band.size : 1.0);
  } while (good && at < band.size);
  deflateEnd(&z);
  band.deflated.resize(used);
  return good;
}

// Deflates the band, the stream's last, with libdeflate in one call; into a buffer an eighth of
// the band's size at first, by zlib when even that does not hold it.
bool DeflateByLibdeflate(Band& band) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(kLevel);
  if (compressor == nullptr) return false;
  const std::size_t bound = libdeflate_deflate_compress_bound(compressor, band.size);
  band.deflated.resize(std::min(bound, std::max<std::size_t>(band.size / 8, 1 << 20)));
  const std::size_t size = libdeflate_deflate_compress(compressor, band.scanlines, band.size,
                                                       band.deflated.data(), band.deflated.size());
  libdeflate_free_compressor(compressor);
  if (size == 0) {
    band.deflated.clear();
    return DeflateByZlib(band, true, {});
  }
  band.deflated.resize(size);
  return true;
}

// Row at which band `b` of `bands` starts: every band's share of the rows weighs its
// compressor's speed, the last one's being libdeflate's.
int BandStart(int b, int bands, int height) {
  const double total = (bands - 1) + kLibdeflateSpeed;
  const double share = b < bands ? b / total : 1.0;
  return b == bands ? height : static_cast<int>(height * share);
}

void PutBig32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Appends a chunk: its length, type and data, and the CRC of type and data.
void PutChunk(Bytes& out, const char type[5], const std::uint8_t* data, std::size_t size) {
  PutBig32(out, static_cast<std::uint32_t>(size));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  PutBig32(out, static_cast<std::uint32_t>(
                    crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// Everything before the pixels: the signature, IHDR, the text chunks and pHYs.
Bytes Head(int width, int height, const PngOptions& options) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes out(std::begin(kSignature), std::end(kSignature));
  Bytes header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filters, no interlace
  PutChunk(out, "IHDR", header.data(), header.size());
  for (const PngText& text : options.texts) {
    Bytes data(text.key.begin(), text.key.end());
    data.push_back(0);
    if (text.compressed) {
      data.push_back(0);  // deflate
      uLongf size = compressBound(static_cast<uLong>(text.text.size()));
      const std::size_t at = data.size();
      data.resize(at + size);
      compress2(data.data() + at, &size, reinterpret_cast<const Bytef*>(text.text.data()),
                static_cast<uLong>(text.text.size()), Z_BEST_COMPRESSION);
      data.resize(at + size);
    } else {
      data.insert(data.end(), text.text.begin(), text.text.end());
    }
    PutChunk(out, text.compressed ? "zTXt" : "tEXt", data.data(), data.size());
  }
  if (options.pixelsPerMetre > 0) {
    Bytes physical;
    PutBig32(physical, static_cast<std::uint32_t>(options.pixelsPerMetre));
    PutBig32(physical, static_cast<std::uint32_t>(options.pixelsPerMetre));
    physical.push_back(1);  // per metre
    PutChunk(out, "pHYs", physical.data(), physical.size());
  }
  return out;
}

// Writes one chunk, its data where it lies.
bool WriteChunk(int fd, const char type[5], const std::uint8_t* data, std::size_t size,
                std::string& error) {
  Bytes head;
  PutBig32(head, static_cast<std::uint32_t>(size));
  head.insert(head.end(), type, type + 4);
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, head.data() + 4, 4));
  // Not with no data: zlib answers a null buffer with the CRC's starting value.
  if (size > 0) crc = static_cast<std::uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
  Bytes tail;
  PutBig32(tail, crc);
  return WriteAll(fd, head.data(), head.size(), error) && WriteAll(fd, data, size, error) &&
         WriteAll(fd, tail.data(), tail.size(), error);
}

// Writes the PNG of the deflated bands to `fd`: its head, then the zlib stream in IDAT chunks
// (the stream's header, every band's deflate data, the checksum of all the scanlines), then the
// end.
bool WriteFile(int fd, int width, int height, const PngOptions& options,
               const std::vector<Band>& bands, std::string& error) {
  const Bytes head = Head(width, height, options);
  if (!WriteAll(fd, head.data(), head.size(), error)) return false;
  static constexpr std::uint8_t kZlibHeader[] = {0x78, 0x9C};  // deflate, a 32 KiB window
  if (!WriteChunk(fd, "IDAT", kZlibHeader, sizeof kZlibHeader, error)) return false;
  std::uint32_t adler = 1;
  for (const Band& band : bands) {
    for (std::size_t at = 0; at < band.deflated.size(); at += kIdatBytes) {
      const std::size_t size = std::min(kIdatBytes, band.deflated.size() - at);
      if (!WriteChunk(fd, "IDAT", band.deflated.data() + at, size, error)) return false;
    }
    adler = static_cast<std::uint32_t>(
        adler32_combine(adler, band.adler, static_cast<z_off_t>(band.size)));
  }
  Bytes checksum;
  PutBig32(checksum, adler);
  return WriteChunk(fd, "IDAT", checksum.data(), checksum.size(), error) &&
         WriteChunk(fd, "IEND", nullptr, 0, error);
}

}  // namespace

ExportResult WriteBandedPng(const std::string& path, std::uint32_t* pixels, int width, int height,
                            const PngOptions& options, const ExportProgress& progress,
                            std::string& error) {
  const int count = std::clamp(UsableCpus(), 1, std::max(1, height));
  std::vector<Band> bands(static_cast<std::size_t>(count));
  for (int b = 0; b < count; ++b) {
    bands[b].first = BandStart(b, count, height);
    bands[b].last = BandStart(b + 1, count, height);
    bands[b].byLibdeflate = b + 1 == count;
  }
  std::atomic<bool> stop{false};
  auto work = [&](Band& band, const std::function<bool(double)>& heard) {
    try {
      Pack(pixels, width, band);
      band.adler = libdeflate_adler32(1, band.scanlines, band.size);
      band.failed =
          !(band.byLibdeflate ? DeflateByLibdeflate(band) : DeflateByZlib(band, false, heard));
    } catch (const std::bad_alloc&) {
      band.failed = true;
    }
    if (band.failed) stop = true;
  };
  // The calling thread deflates the first band and tells of it: the bands end together.
  const double from = options.progressFrom;
  bool cancelled = false;
  OnThreads(count, [&](int b) {
    if (b == 0) {
      work(bands[0], [&](double done) {
        cancelled = cancelled || (progress && !progress(from + (1 - from) * done));
        if (cancelled) stop = true;
        return !stop;
      });
    } else {
      work(bands[b], [&stop](double) { return !stop; });
    }
  });
  if (cancelled) return ExportResult::Cancelled;
  if (stop) {
    error = "not enough memory to write the picture";
    return ExportResult::Failed;
  }

  const auto temp = CreateTempBeside(path, error);
  if (!temp) return ExportResult::Failed;
  const int fd = open(temp->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  bool written = fd >= 0 && WriteFile(fd, width, height, options, bands, error);
  if (fd < 0) error = std::strerror(errno);
  if (fd >= 0 && close(fd) != 0 && written) {
    error = std::strerror(errno);
    written = false;
  }
  // A cancel that comes while the file is written still leaves the older file as it was.
  const bool cancelledLate = written && progress && !progress(1.0);
  if (!written || cancelledLate) {
    unlink(temp->c_str());
    return cancelledLate ? ExportResult::Cancelled : ExportResult::Failed;
  }
  return CommitTemp(*temp, path, error) ? ExportResult::Written : ExportResult::Failed;
}

}  // namespace stringart
