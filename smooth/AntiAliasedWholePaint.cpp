// The whole drawing's painting: each block walks the windows that reach it, front to back, a
// vector of pixels at a time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "smooth/AntiAliasedWhole_p.h"
#include "smooth/AntiAliased_p.h"

namespace stringart::whole_detail {
namespace {

typedef float Floats __attribute__((vector_size(kLanes * sizeof(float))));
typedef std::int32_t Ints __attribute__((vector_size(kLanes * sizeof(std::int32_t))));
typedef std::uint32_t Words __attribute__((vector_size(kLanes * sizeof(std::uint32_t))));

// A pixel whose uncovered share falls below this is done: whatever lies behind it could move
// its channels by a quarter of a level at most.
constexpr float kDone = 1.0f / 1024;

// PaintBlock runs in copies for several instruction sets, which pass vectors between functions
// differently: every helper that takes or gives one is inlined into each copy, whatever the
// optimisation level (the sanitizers' build inlines less).
#define STRINGART_INLINE inline __attribute__((always_inline))

STRINGART_INLINE Floats Broadcast(float v) {
  return Floats{} + v;
}
// Where a < b, all ones, and elsewhere zeros: the sign of a - b, whose sign is exact. Comparisons
// are not written as such: where the instruction set's registers are narrower than the vector,
// GCC makes them lane by lane.
STRINGART_INLINE Ints Less(Floats a, Floats b) {
  return reinterpret_cast<Ints>(a - b) >> 31;
}
STRINGART_INLINE Ints Less(Ints a, Ints b) {
  return (a - b) >> 31;  // the integers compared here are far from overflowing
}
// The lanes of `yes` where `mask` is all ones and of `no` where it is zeros.
template <typename Vector>
STRINGART_INLINE Vector Select(Ints mask, Vector yes, Vector no) {
  return reinterpret_cast<Vector>((reinterpret_cast<Ints>(yes) & mask) |
                                  (reinterpret_cast<Ints>(no) & ~mask));
}
// Two ways to take the larger or the smaller of each two lanes. AVX-512 holds a whole vector in a
// register and has instructions for them, which GCC uses for `?:`; with narrower registers GCC
// makes `?:` lane by lane, so there they are chosen by sign.
struct NativePick {
  template <typename Vector>
  static STRINGART_INLINE Vector Max(Vector a, Vector b) {
    return a < b ? b : a;
  }
  template <typename Vector>
  static STRINGART_INLINE Vector Min(Vector a, Vector b) {
    return b < a ? b : a;
  }
};
struct SignPick {
  template <typename Vector>
  static STRINGART_INLINE Vector Max(Vector a, Vector b) {
    return Select(Less(a, b), b, a);
  }
  template <typename Vector>
  static STRINGART_INLINE Vector Min(Vector a, Vector b) {
    return Select(Less(b, a), b, a);
  }
};
template <typename Pick>
STRINGART_INLINE Floats Clamp(Floats v, Floats lo, Floats hi) {
  return Pick::Min(Pick::Max(v, lo), hi);
}
// Each lane rounded down to a whole number.
STRINGART_INLINE Ints Floor(Floats v) {
  const Ints whole = __builtin_convertvector(v, Ints);
  return whole + Less(v, __builtin_convertvector(whole, Floats));
}
STRINGART_INLINE Floats Load(const float* p) {
  return smooth_detail::LoadVector<Floats>(p);
}
STRINGART_INLINE void Store(float* p, Floats v) {
  smooth_detail::StoreVector(p, v);
}
// Whether every lane of a comparison's result is true.
template <typename Mask>
STRINGART_INLINE bool All(Mask m) {
  static_assert(sizeof m == 64 || sizeof m == 32 || sizeof m == 16);
  if constexpr (sizeof m == 16) {
    m &= __builtin_shufflevector(m, m, 2, 3, 0, 1);
    m &= __builtin_shufflevector(m, m, 1, 0, 3, 2);
  } else if constexpr (sizeof m == 64) {
    m &= __builtin_shufflevector(m, m, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
    m &= __builtin_shufflevector(m, m, 4, 5, 6, 7, 0, 1, 2, 3, 12, 13, 14, 15, 8, 9, 10, 11);
    m &= __builtin_shufflevector(m, m, 2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13);
    m &= __builtin_shufflevector(m, m, 1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14);
  } else {
    m &= __builtin_shufflevector(m, m, 4, 5, 6, 7, 0, 1, 2, 3);
    m &= __builtin_shufflevector(m, m, 2, 3, 0, 1, 6, 7, 4, 5);
    m &= __builtin_shufflevector(m, m, 1, 0, 3, 2, 5, 4, 7, 6);
  }
  return m[0] != 0;
}

// The step's pixel trapezoid (see Step), broadcast.
template <typename Pick>
struct Footprint {
  Floats w1, w2, inverseA, inverse2ab, bSquared;
  STRINGART_INLINE explicit Footprint(const Step& k)
      : w1(Broadcast(k.w1)),
        w2(Broadcast(k.w2)),
        inverseA(Broadcast(k.inverseA)),
        inverse2ab(Broadcast(k.inverse2ab)),
        bSquared(Broadcast(k.bSquared)) {}

  // The share of each pixel on the near side of a line of the step's direction that lies t
  // beyond the pixel's centre (negative: before it): the exact area cut off.
  STRINGART_INLINE Floats Below(Floats t) const {
    const Floats flat = Clamp<Pick>(t, -w1, w1) * inverseA;
    const Ints sign = reinterpret_cast<Ints>(t) & (Ints{} + INT32_MIN);
    const Floats slope =
        w2 - Clamp<Pick>(reinterpret_cast<Floats>(reinterpret_cast<Ints>(t) ^ sign), w1, w2);
    const Floats curve = (bSquared - slope * slope) * inverse2ab;
    // Beyond the slopes this comes to 0 or 1 but for rounding, which the callers bear.
    return 0.5f + flat + reinterpret_cast<Floats>(reinterpret_cast<Ints>(curve) | sign);
  }
};

// A step's stretches across with one end along, neighbours that end alike joined: where only
// that end shows, the coverage sums 2.7 stretches on a figure's steps rather than 5.
struct OneEnd {
  int pieces = 0;
  float cuts[6], ends[5];

  // `along`: the step's pieceFrom or pieceTo.
  OneEnd(const Step& k, const float* along) {
    cuts[0] = k.cuts[0];
    for (int p = 0; p < k.pieces; ++p) {
      if (pieces == 0 || along[p] != ends[pieces - 1]) ends[pieces++] = along[p];
      cuts[pieces] = k.cuts[p + 1];
    }
  }
};

// Step k's coverage of a vector's pixels at distances d across and e along from its start, e
// within [eMin, eMax] over the lanes; `start` and `end` its stretches with their starts and their
// ends along.
template <typename Pick>
STRINGART_INLINE Floats Coverage(const Step& k, const OneEnd& start, const OneEnd& end,
                                 const Footprint<Pick>& f, Floats d, Floats e, float eMin,
                                 float eMax) {
  if (eMin >= k.midLo + k.w2 && eMax <= k.midHi - k.w2) {
    // A pixel past the trapezoid's reach from one side is wholly on the inner side of it: the
    // nearer side alone cuts it.
    if (k.wide) return f.Below(Pick::Min(Broadcast(k.hi) - d, d - Broadcast(k.lo)));
    return f.Below(Broadcast(k.hi) - d) - f.Below(Broadcast(k.lo) - d);
  }
  // Near the ends: each stretch across, times the union's share along over it. Where every
  // stretch begins before the first pixel's reach, or ends past the last's, the share along is
  // that of one end alone.
  Floats sum = {}, below = f.Below(Broadcast(k.cuts[0]) - d);
  const Floats one = Broadcast(1);
  if (eMin >= k.midLo + k.w2) {
    for (int p = 0; p < end.pieces; ++p) {
      const Floats next = f.Below(Broadcast(end.cuts[p + 1]) - d);
      sum += (next - below) * f.Below(Broadcast(end.ends[p]) - e);
      below = next;
    }
  } else if (eMax <= k.midHi - k.w2) {
    const Floats first = below;
    for (int p = 0; p < start.pieces; ++p) {
      const Floats next = f.Below(Broadcast(start.cuts[p + 1]) - d);
      sum += (next - below) * f.Below(Broadcast(start.ends[p]) - e);
      below = next;
    }
    sum = below - first - sum;
  } else {
    for (int p = 0; p < k.pieces; ++p) {
      const Floats next = f.Below(Broadcast(k.cuts[p + 1]) - d);
      const Floats along =
          f.Below(Broadcast(k.pieceTo[p]) - e) - f.Below(Broadcast(k.pieceFrom[p]) - e);
      sum += (next - below) * along;
      below = next;
    }
  }
  return Pick::Min(sum, one);
}

// One channel of a vector of pixels: what was gathered over what lies behind.
template <typename Pick>
STRINGART_INLINE Words Lay(Floats gathered, Floats share, Words under, int shift) {
  const Floats behind = __builtin_convertvector(under >> shift & 0xFF, Floats);
  Floats v = gathered + share * behind + 0.5f;
  v = Pick::Min(v, Broadcast(255.0f));
  return __builtin_convertvector(v, Words) << shift;
}

// Lays the run gathered in `w.cover` under what lies in front of it, and clears it.
STRINGART_INLINE void Composite(BlockWork& w, const RunColour& colour) {
  const Floats red = Broadcast(colour.red), green = Broadcast(colour.green),
               blue = Broadcast(colour.blue), done = Broadcast(kDone);
  for (int q = w.firstBand; q <= w.lastBand; ++q) {
    if (w.lastVector[q] < w.firstVector[q]) continue;
    for (int v = w.firstVector[q]; v <= w.lastVector[q]; ++v) {
      const int at = At(q, v);
      const Floats cover = Load(w.cover + at), before = Load(w.share + at);
      const Floats taken = before * cover, after = before - taken;
      Store(w.red + at, Load(w.red + at) + taken * red);
      Store(w.green + at, Load(w.green + at) + taken * green);
      Store(w.blue + at, Load(w.blue + at) + taken * blue);
      Store(w.share + at, after);
      Store(w.cover + at, Floats{});
      if (!(w.doneVectors[q] >> v & 1) && All(Less(after, done))) w.VectorDone(q, v);
    }
    w.firstVector[q] = kVectors;
    w.lastVector[q] = -1;
  }
  w.firstBand = kBands;
  w.lastBand = -1;
}

// The vectors within [vFirst, vLast] that the step may reach in each band of the tile row from
// row `base`, minding only rows r0 to r1: from[j] to to[j] for band base / kHigh + j,
// from[j] > to[j] when none. p.Reach(r, r, width) found for the rows, a lane a row.
template <typename Pick>
STRINGART_INLINE void Bands(const Placed& p, int base, int r0, int r1, int vFirst, int vLast,
                            int width, Floats lane, int* from, int* to) {
  const auto [a0, a1, b0, b1, c0, c1, d0, d1, first, last] = p;
  const Floats edge = Broadcast(-1.0f), wall = Broadcast(static_cast<float>(width));
  int firstColumn[kTile], lastColumn[kTile];
  for (int at = 0; at < kTile; at += kLanes) {
    const Floats y = Broadcast(static_cast<float>(base + at)) + lane;
    const Floats xa = Pick::Max(a0 + a1 * y, b0 + b1 * y);
    const Floats xb = Pick::Min(c0 + c1 * y, d0 + d1 * y);
    const Ints first = Pick::Max(Floor(Clamp<Pick>(xa - 0.01f, edge, wall)), Ints{});
    const Ints last = Pick::Min(Floor(Clamp<Pick>(xb + 0.01f, edge, wall)), Ints{} + (width - 1));
    // Rows the step misses, or not minded, reach nothing: beyond the block either side.
    const Ints r = Ints{} + (base + at) + __builtin_convertvector(lane, Ints);
    const Ints none =
        Less(xb, xa) | Less(last, first) | Less(r, Ints{} + r0) | Less(Ints{} + r1, r);
    const Ints nowhere = Select(none, Ints{} + kBlock, first),
               never = Select(none, Ints{} - 1, last);
    std::memcpy(firstColumn + at, &nowhere, sizeof nowhere);
    std::memcpy(lastColumn + at, &never, sizeof never);
  }
  for (int j = 0; j < kTile / kHigh; ++j) {
    int lo = firstColumn[j * kHigh], hi = lastColumn[j * kHigh];
    for (int i = j * kHigh + 1; i < j * kHigh + kHigh; ++i) {
      lo = std::min(lo, firstColumn[i]);
      hi = std::max(hi, lastColumn[i]);
    }
    from[j] = std::max(lo / kWide, vFirst);
    to[j] = hi < 0 ? -1 : std::min(hi / kWide, vLast);
  }
}

// Paints the block of `job` onto the picture. Long, as one loop nest: each window's placement,
// the tiles' done bits and the run being gathered stay in registers across it, and every helper
// it could hand a part to takes or gives vectors, so would be inlined back whole.
template <typename Pick>
STRINGART_INLINE void PaintBlockWith(const BlockJob& job, BlockWork& w,
                                     const PictureRows& picture) {
  const auto [windows, entries, count, bx, by, overBlack] = job;
  const int width = std::min(kBlock, picture.width - bx);
  const int height = std::min(kBlock, picture.height - by);
  std::fill_n(w.doneInTile, kTilesAcross * kTilesAcross, 0);
  w.doneTiles = 0;
  std::fill_n(w.red, kCells, 0.0f);
  std::fill_n(w.green, kCells, 0.0f);
  std::fill_n(w.blue, kCells, 0.0f);
  std::fill_n(w.cover, kCells, 0.0f);
  std::fill_n(w.share, kCells, 1.0f);
  for (int q = 0; q < kBands; ++q) {
    w.doneVectors[q] = 0;
    w.firstVector[q] = kVectors;
    w.lastVector[q] = -1;
    // Pixels beyond the picture's sides are done from the start.
    if (q * kHigh + kHigh <= height && width == kBlock) continue;
    for (int v = 0; v < kVectors; ++v) {
      int inside = 0;
      for (int i = 0; i < kLanes; ++i) {
        const bool in = v * kWide + i % kWide < width && q * kHigh + i / kWide < height;
        w.share[At(q, v) + i] = in ? 1.0f : 0.0f;
        inside += in;
      }
      if (inside == 0) w.VectorDone(q, v);
    }
  }
  w.firstBand = kBands;
  w.lastBand = -1;

  Floats lane, column, row;  // lane i's number, and its pixel's column and row in its vector
  for (int i = 0; i < kLanes; ++i) {
    lane[i] = static_cast<float>(i);
    column[i] = static_cast<float>(i % kWide);
    row[i] = static_cast<float>(i / kWide);
  }
  const float fx = static_cast<float>(bx), fy = static_cast<float>(by);
  const RunColour* run = nullptr;
  for (std::size_t i = 0; i < count && w.doneTiles != ~std::uint64_t{0}; ++i) {
    const Window& window = windows[entries[i]];
    const Step& k = *window.step;
    if (k.colour != run) {
      if (run != nullptr) Composite(w, *run);
      run = k.colour;
    }
    const Placed place(k, window, fx, fy, height);
    if (place.first > place.last) continue;
    // The tiles the step reaches that are not done.
    std::uint64_t live = 0;
    for (int tr = place.first / kTile; tr <= place.last / kTile; ++tr) {
      const Columns c = place.Reach(std::max(place.first, tr * kTile),
                                    std::min(place.last, tr * kTile + kTile - 1), width);
      if (c.first > c.last) continue;
      const int first = c.first / kTile, last = c.last / kTile;
      live |= ((std::uint64_t{2} << last) - (std::uint64_t{1} << first)) << (tr * kTilesAcross);
    }
    live &= ~w.doneTiles;
    if (live == 0) continue;

    const Footprint<Pick> f(k);
    const OneEnd start(k, k.pieceFrom), end(k, k.pieceTo);
    const float nx = -k.uy, ny = k.ux, rx = k.ox - fx, ry = k.oy - fy;
    const Floats dStep = column * nx + row * ny, eStep = column * k.ux + row * k.uy;
    // Over a vector's lanes, e runs from eLow to eHigh past its first lane's.
    const float eLow = std::min(0.0f, (kWide - 1) * k.ux) + std::min(0.0f, (kHigh - 1) * k.uy);
    const float eHigh = std::max(0.0f, (kWide - 1) * k.ux) + std::max(0.0f, (kHigh - 1) * k.uy);
    constexpr int kTileVectorsAcross = kTile / kWide;
    for (int tr = place.first / kTile; tr <= place.last / kTile; ++tr) {
      const unsigned tiles = static_cast<unsigned>(live >> (tr * kTilesAcross)) & 0xFF;
      if (tiles == 0) continue;
      const int vFirst = __builtin_ctz(tiles) * kTileVectorsAcross;
      const int vLast = (32 - __builtin_clz(tiles)) * kTileVectorsAcross - 1;
      const int r0 = std::max(place.first, tr * kTile);
      const int r1 = std::min(place.last, tr * kTile + kTile - 1);
      int from[kTile / kHigh], to[kTile / kHigh];
      Bands<Pick>(place, tr * kTile, r0, r1, vFirst, vLast, width, lane, from, to);
      const int q0 = r0 / kHigh, q1 = r1 / kHigh;
      w.firstBand = std::min(w.firstBand, q0);
      w.lastBand = std::max(w.lastBand, q1);
      for (int q = q0; q <= q1; ++q) {
        const int j = q - tr * kTile / kHigh;
        if (from[j] > to[j]) continue;
        // Vectors all done at either side need no work.
        const std::uint32_t done = w.doneVectors[q];
        const std::uint32_t todo = ((2u << to[j]) - (1u << from[j])) & ~done;
        if (todo == 0) continue;
        const int v0 = __builtin_ctz(todo), v1 = 31 - __builtin_clz(todo);
        const float px = static_cast<float>(v0 * kWide) + 0.5f - rx;
        const float py = static_cast<float>(q * kHigh) + 0.5f - ry;
        float d = nx * px + ny * py, e = k.ux * px + k.uy * py;
        float* cover = w.cover + At(q, 0);
        for (int v = v0; v <= v1; ++v) {
          if (!(done >> v & 1)) {
            const Floats c = Coverage(k, start, end, f, d + dStep, e + eStep, e + eLow, e + eHigh);
            const Floats old = Load(cover + v * kLanes);
            Store(cover + v * kLanes, Pick::Max(old, c));
          }
          d += kWide * nx;
          e += kWide * k.ux;
        }
        w.firstVector[q] = std::min(w.firstVector[q], v0);
        w.lastVector[q] = std::max(w.lastVector[q], v1);
      }
    }
  }
  if (run != nullptr) Composite(w, *run);

  // What was gathered, over what lies behind it.
  for (int q = 0; q * kHigh < height; ++q) {
    const int high = std::min(kHigh, height - q * kHigh);
    std::uint32_t* pixels = picture.pixels + (by + q * kHigh) * picture.stride + bx;
    for (int v = 0; v * kWide < width; ++v, pixels += kWide) {
      const int wide = std::min(kWide, width - v * kWide), at = At(q, v);
      std::uint32_t under[kLanes] = {};
      // A whole row of a vector is one move; a part's, a call.
      for (int j = 0; j < high && !overBlack; ++j) {
        if (wide == kWide) {
          std::memcpy(under + j * kWide, pixels + j * picture.stride, kWide * sizeof *under);
        } else {
          std::memcpy(under + j * kWide, pixels + j * picture.stride, wide * sizeof *under);
        }
      }
      Words below;
      std::memcpy(&below, under, sizeof below);
      const Floats share = Load(w.share + at);
      const Words out = (Words{} + 0xFF000000u) | Lay<Pick>(Load(w.red + at), share, below, 16) |
                        Lay<Pick>(Load(w.green + at), share, below, 8) |
                        Lay<Pick>(Load(w.blue + at), share, below, 0);
      std::uint32_t laid[kLanes];
      std::memcpy(laid, &out, sizeof laid);
      for (int j = 0; j < high; ++j) {
        if (wide == kWide) {
          std::memcpy(pixels + j * picture.stride, laid + j * kWide, kWide * sizeof *laid);
        } else {
          std::memcpy(pixels + j * picture.stride, laid + j * kWide, wide * sizeof *laid);
        }
      }
    }
  }
}

// PaintBlockWith in a copy for each instruction set, chosen when the program loads.
#if defined(STRINGART_X86_COPIES)
__attribute__((target("avx512f"))) void PaintBlockIn(const BlockJob& job, BlockWork& w,
                                                     const PictureRows& picture) {
  PaintBlockWith<NativePick>(job, w, picture);
}
__attribute__((target("avx2"))) void PaintBlockIn(const BlockJob& job, BlockWork& w,
                                                  const PictureRows& picture) {
  PaintBlockWith<SignPick>(job, w, picture);
}
__attribute__((target("default"))) void PaintBlockIn(const BlockJob& job, BlockWork& w,
                                                     const PictureRows& picture) {
  PaintBlockWith<SignPick>(job, w, picture);
}
#else
void PaintBlockIn(const BlockJob& job, BlockWork& w, const PictureRows& picture) {
  PaintBlockWith<SignPick>(job, w, picture);
}
#endif

}  // namespace

void PaintBlock(const BlockJob& job, BlockWork& w, const PictureRows& picture) {
  PaintBlockIn(job, w, picture);
}

}  // namespace stringart::whole_detail
