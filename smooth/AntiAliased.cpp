// The fast anti-aliased rasteriser, in two steps:
//
// 1. Outlines. For each run of one colour, the stretches of its rectangles' sides that no other
//    rectangle of the run covers: the outline of their union, as directed pieces. Every pair of
//    rectangles of a run is tried, sixteen at a time.
// 2. Bands. The picture is cut into bands of rows; each takes the pieces that reach it in drawing
//    order and, run by run, sums their signed areas into cells whose running sum along a row is
//    the area of each pixel inside the union, then lays the run's colour over the band with it.
//
// Both steps are shared among the usable CPUs; the first is AntiAliasedOutline.cpp.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/Cpus.h"
#include "runtime/OnThreads.h"
#include "smooth/AntiAliased.h"
#include "smooth/AntiAliasedOutline_p.h"
#include "smooth/AntiAliased_p.h"

namespace stringart {
namespace {

using namespace runs_detail;
using smooth_detail::kRunPiece;

// F(t), the integral of clamp(t, 0, 1) from minus infinity.
inline float Ramp(float t) {
  return t <= 0 ? 0 : t < 1 ? 0.5f * t * t : t - 0.5f;
}

constexpr int kFloatLanes = 16;
typedef float Floats __attribute__((vector_size(kFloatLanes * sizeof(float))));
typedef std::uint32_t Words __attribute__((vector_size(kFloatLanes * sizeof(std::uint32_t))));

// x / 255 as (x + 1 + x / 256) / 256, rounded down alike, for every x a blend meets.
constexpr bool DividesBy255() {
  for (std::uint32_t x = 0; x <= 255 * 255 + 127; ++x) {
    if ((x + 1 + (x >> 8)) >> 8 != x / 255) return false;
  }
  return true;
}
static_assert(DividesBy255());

// `colour` over `under`, channel by channel, with `alpha` of 255, rounded to nearest, as
// smooth_detail::Blend.
STRINGART_COPY_INLINE Words BlendWords(Words under, Words colour, Words alpha) {
  Words out = Words{} + 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const Words c = colour >> shift & 0xFF, u = under >> shift & 0xFF;
    const Words x = alpha * c + (255 - alpha) * u + 127;
    out |= ((x + 1 + (x >> 8)) >> 8) << shift;
  }
  return out;
}

// Runs along one row of a band: sums the cells from `first` to `last` (clearing them) into the
// area each pixel has inside the union, and lays `colour` over the row's pixels with it. Where
// the union reaches past the picture's right side, whose pieces were left out, the sum holds to
// the end of the row. Cells run on past `last` by kFloatLanes, all zero.
STRINGART_CLONES void PaintRow(float* cells, int first, int last, std::uint32_t* pixels, int width,
                               std::uint32_t colour) {
  const Words paint = Words{} + colour;
  float carry = 0;
  int x = first;
  for (; x <= last; x += kFloatLanes) {
    Floats c;
    std::memcpy(&c, cells + x, sizeof c);
    std::memset(cells + x, 0, sizeof c);
    // Running sum within the vector, then on from the vector before.
    const Floats zero = {};
    c += __builtin_shufflevector(zero, c, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
                                 29, 30);
    c += __builtin_shufflevector(zero, c, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                                 28, 29);
    c += __builtin_shufflevector(zero, c, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                 26, 27);
    c += __builtin_shufflevector(zero, c, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                 23);
    c += carry;
    carry = c[kFloatLanes - 1];
    Floats area = -c;
    area = area < 0 ? zero : area;
    area = area > 1 ? zero + 1 : area;
    const Words alpha = __builtin_convertvector(area * 255 + 0.5f, Words);
    if (x + kFloatLanes <= width) {
      Words under;
      std::memcpy(&under, pixels + x, sizeof under);
      under = BlendWords(under, paint, alpha);
      std::memcpy(pixels + x, &under, sizeof under);
    } else {
      for (int k = 0; k < kFloatLanes && x + k < width; ++k) {
        pixels[x + k] = smooth_detail::Blend(pixels[x + k], colour, static_cast<int>(alpha[k]));
      }
    }
  }
  const int alpha = smooth_detail::AlphaLevel(-carry);
  for (; alpha != 0 && x < width; ++x) pixels[x] = smooth_detail::Blend(pixels[x], colour, alpha);
}

// A band's cells: a row's running sum of them is, at each pixel, minus the area inside the union.
class Band {
 public:
  Band(int width, int rows)
      : width_(width),
        stride_(width + 2 + kFloatLanes),
        cells_(static_cast<std::size_t>(rows) * stride_, 0.0f),
        first_(rows, width + 2),
        last_(rows, -1) {}

  void Add(const Piece& p, int top, int bottom) {
    const float ya = std::max(p.y0, static_cast<float>(top));
    const float yb = std::min(p.y1, static_cast<float>(bottom));
    if (!(ya < yb)) return;
    const float slope = (p.x1 - p.x0) / (p.y1 - p.y0);
    Rows(p.x0 + (ya - p.y0) * slope, ya, p.x0 + (yb - p.y0) * slope, yb, p.direction, top);
  }

  // Lays `colour` over the band's rows of `picture` (from row `top`) with the areas summed so
  // far, and clears the cells.
  void Paint(std::uint32_t colour, const PictureRows& picture, int top) {
    const int rows = static_cast<int>(first_.size());
    for (int r = 0; r < rows; ++r) {
      if (last_[r] < first_[r]) continue;
      PaintRow(&cells_[static_cast<std::size_t>(r) * stride_], first_[r], last_[r],
               picture.pixels + (top + r) * picture.stride, width_, colour);
      first_[r] = width_ + 2;
      last_[r] = -1;
    }
  }

 private:
  // The piece from (xa, ya) down to (xb, yb), within the picture's columns.
  void Rows(float xa, float ya, float xb, float yb, float direction, int top) {
    const float slope = (xb - xa) / (yb - ya);
    for (int row = static_cast<int>(ya); row < yb; ++row) {
      const float y0 = std::max(ya, static_cast<float>(row));
      const float y1 = std::min(yb, static_cast<float>(row + 1));
      const float x0 = xa + (y0 - ya) * slope, x1 = xa + (y1 - ya) * slope;
      Cells(row - top, std::min(x0, x1), std::max(x0, x1), direction * (y1 - y0));
    }
  }

  // Within one row: the piece spans [lo, hi] across it and rises `height` (signed) through it.
  void Cells(int r, float lo, float hi, float height) {
    float* cells = &cells_[static_cast<std::size_t>(r) * stride_];
    const int c0 = static_cast<int>(lo);
    int end;
    if (hi <= c0 + 1) {
      const float middle = (lo + hi) / 2 - c0;
      cells[c0] += height * (1 - middle);
      cells[c0 + 1] += height * middle;
      end = c0 + 1;
    } else {
      // The area right of the piece within cell c, over the row, is height * (F(c + 1 - lo) -
      // F(c + 1 - hi)) / (hi - lo); the cells hold its differences from cell to cell.
      const int c1 = static_cast<int>(hi);
      const float scale = height / (hi - lo);
      float before = 0;
      for (int c = c0; c <= c1; ++c) {
        const float area = scale * (Ramp(c + 1 - lo) - Ramp(c + 1 - hi));
        cells[c] += area - before;
        before = area;
      }
      cells[c1 + 1] += height - before;
      end = c1 + 1;
    }
    first_[r] = std::min(first_[r], c0);
    last_[r] = std::max(last_[r], end);
  }

  int width_;
  std::ptrdiff_t stride_;
  std::vector<float> cells_;
  std::vector<int> first_, last_;
};

// The runs of `segments`, each cut into parts of kRunPiece segments at most.
std::vector<Part> Parts(std::span<const Segment> segments) {
  std::vector<Part> parts;
  for (std::size_t i = 0; i < segments.size();) {
    const Colour colour = segments[i].colour;
    std::size_t end = i;
    while (end < segments.size() && segments[end].colour == colour) ++end;
    for (std::size_t k = i; k < end; k += kRunPiece) {
      parts.push_back({static_cast<std::uint32_t>(k),
                       static_cast<std::uint32_t>(std::min(end, k + kRunPiece)), ToPixel(colour)});
    }
    i = end;
  }
  return parts;
}

// `parts` in batches of about equal work, a few thousand segments each.
std::vector<Batch> Batches(const std::vector<Part>& parts) {
  constexpr std::size_t kBatchSegments = 4096;
  std::vector<Batch> batches;
  for (std::uint32_t p = 0; p < parts.size();) {
    Batch b;
    b.firstPart = p;
    for (std::size_t size = 0; p < parts.size() && size < kBatchSegments; ++p) {
      size += parts[p].end - parts[p].begin;
    }
    b.endPart = p;
    batches.push_back(std::move(b));
  }
  return batches;
}

// The picture's bands of rows: as many rows a band as keep its pixels and cells within a core's
// cache, a power of two.
struct Bands {
  int shift = 0, rows, count;

  explicit Bands(const PictureRows& picture) {
    while (shift < 6 && (2 << shift) * picture.width <= 65536) ++shift;
    rows = 1 << shift;
    count = (picture.height + rows - 1) >> shift;
  }

  // The first and last band that piece `p` of the picture of `height` rows reaches.
  std::pair<int, int> Of(const Piece& p, int height) const {
    const int first = static_cast<int>(p.y0) >> shift;  // y0 < height, y1 > 0
    const int last = (std::min(static_cast<int>(std::ceil(p.y1)), height) - 1) >> shift;
    return std::pair{std::max(first, 0), last};
  }
};

// A piece listed under a band, with the part it outlines.
struct Entry {
  const Piece* piece;
  std::uint32_t part;
};

// Every piece, in drawing order, listed under each band it reaches: band b's from starts[b] to
// starts[b + 1].
struct Binned {
  std::vector<std::uint32_t> starts;
  std::vector<Entry> entries;
};

// How many pieces of each batch reach each band, counted on every core: batch b's of band k at
// b * bands.count + k.
std::vector<std::uint32_t> CountPerBand(const std::vector<Batch>& batches, const Bands& bands,
                                        int height, int threads) {
  std::vector<std::uint32_t> counts(batches.size() * bands.count, 0);
  std::atomic<std::size_t> nextCount{0};
  OnThreads(threads, [&](int) {
    for (std::size_t b = nextCount++; b < batches.size(); b = nextCount++) {
      std::uint32_t* count = &counts[b * bands.count];
      for (const Piece& p : batches[b].pieces) {
        const auto [first, last] = bands.Of(p, height);
        for (int band = first; band <= last; ++band) ++count[band];
      }
    }
  });
  return counts;
}

// Each batch counts its own pieces of each band, then writes them, on every core, where the
// batches before it leave off.
Binned BinPieces(const std::vector<Batch>& batches, const Bands& bands, int height, int threads) {
  std::vector<std::uint32_t> counts = CountPerBand(batches, bands, height, threads);
  Binned binned;
  binned.starts.assign(bands.count + 1, 0);
  std::uint32_t at = 0;
  for (int band = 0; band < bands.count; ++band) {
    binned.starts[band] = at;
    for (std::size_t b = 0; b < batches.size(); ++b) {
      const std::uint32_t n = counts[b * bands.count + band];
      counts[b * bands.count + band] = at;  // now where batch b's entries of this band begin
      at += n;
    }
  }
  binned.starts[bands.count] = at;
  binned.entries.resize(at);
  std::atomic<std::size_t> nextScatter{0};
  OnThreads(threads, [&](int) {
    for (std::size_t b = nextScatter++; b < batches.size(); b = nextScatter++) {
      const Batch& batch = batches[b];
      std::uint32_t* next = &counts[b * bands.count];
      std::size_t piece = 0;
      for (std::uint32_t part = batch.firstPart; part < batch.endPart; ++part) {
        for (; piece < batch.partEnds[part - batch.firstPart]; ++piece) {
          const auto [first, last] = bands.Of(batch.pieces[piece], height);
          for (int band = first; band <= last; ++band) {
            binned.entries[next[band]++] = {&batch.pieces[piece], part};
          }
        }
      }
    }
  });
  return binned;
}

// Each band's parts laid over the picture in drawing order, the bands painted on every core.
void PaintBands(const Binned& binned, const Bands& bands, const std::vector<Part>& parts,
                const PictureRows& picture, int threads) {
  std::atomic<int> nextBand{0};
  OnThreads(threads, [&](int) {
    Band band(picture.width, bands.rows);
    for (int b = nextBand++; b < bands.count; b = nextBand++) {
      const int top = b * bands.rows, bottom = std::min(picture.height, top + bands.rows);
      std::uint32_t part = UINT32_MAX;
      for (std::uint32_t k = binned.starts[b]; k < binned.starts[b + 1]; ++k) {
        const Entry& entry = binned.entries[k];
        if (entry.part != part) {
          if (part != UINT32_MAX) band.Paint(parts[part].colour, picture, top);
          part = entry.part;
        }
        band.Add(*entry.piece, top, bottom);
      }
      if (part != UINT32_MAX) band.Paint(parts[part].colour, picture, top);
    }
  });
}

}  // namespace

void DrawAntiAliased(std::span<const Segment> segments, const PictureRows& picture,
                     const CanvasPlacement& place) {
  if (segments.empty() || picture.width <= 0 || picture.height <= 0) return;
  const int threads = std::clamp(UsableCpus(), 1, 8);
  const std::vector<Part> parts = Parts(segments);
  std::vector<Batch> batches = Batches(parts);
  OutlineBatches(segments, parts, picture, place, batches, threads);
  const Bands bands(picture);
  const Binned binned = BinPieces(batches, bands, picture.height, threads);
  PaintBands(binned, bands, parts, picture, threads);
}

}  // namespace stringart
