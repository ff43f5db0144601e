// A whole drawing at once, front to back.
//
// Most of what a figure paints is covered later: at 1000 x 1000 its strokes cover the picture
// about fifty times over, and its last steps cover most pixels for good. So the runs are walked
// from the last to the first, each pixel keeping the share of it that nothing in front covers
// yet and the colour gathered so far; a pixel left no share is done, and a step over tiles whose
// pixels are all done costs a test of one word.
//
// Each step of the tracer, three strokes a canvas pixel apart, is one shape: across, the strokes
// always touch or overlap, so away from their ends their union is one band; at the ends it is a
// staircase of square ends. A run's coverage of a pixel is the largest of its steps', not the
// area of their union: consecutive steps move the arm by well under a pixel, so the two are close.
//
// The picture is cut into blocks that keep their working rows in a core's cache; each block
// walks the steps that reach it, and the blocks are shared among the usable CPUs.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/Cpus.h"
#include "runtime/OnThreads.h"
#include "smooth/AntiAliased.h"
#include "smooth/AntiAliased_p.h"

namespace stringart {
namespace {

using smooth_detail::CanvasSegment;

constexpr int kBlock = 128;  // pixels a side: five rows of floats of a block fit in a core's cache
constexpr int kTile = 16;    // pixels a side of the squares whose being done is kept as a bit
constexpr int kTilesAcross = kBlock / kTile;
static_assert(kTilesAcross * kTilesAcross == 64, "a block's done tiles are one word");
constexpr int kCells = kBlock * kBlock;

#if defined(__EMSCRIPTEN__)
// WebAssembly without its vector instructions works lane by lane: a shorter vector keeps the
// page's code a quarter the size, and costs it little speed.
constexpr int kLanes = 4, kWide = 4;  // a vector is a quarter of a tile's row
#else
// A vector is a square of 4 x 4 pixels: a step's band crosses fewer squares than rows of 16 at
// most slopes, and a square is all done sooner.
constexpr int kLanes = 16, kWide = 4;
#endif
constexpr int kHigh = kLanes / kWide;  // rows of pixels a vector spans
typedef float Floats __attribute__((vector_size(kLanes * sizeof(float))));
typedef std::int32_t Ints __attribute__((vector_size(kLanes * sizeof(std::int32_t))));
typedef std::uint32_t Words __attribute__((vector_size(kLanes * sizeof(std::uint32_t))));

// A pixel whose uncovered share falls below this is done: whatever lies behind it could move
// its channels by a quarter of a level at most.
constexpr float kDone = 1.0f / 1024;

// How the tracer draws a step: a stroke, then the same stroke moved a canvas pixel right, then
// one moved a canvas pixel down, all three of one colour.
constexpr double kStepOffsets[3][2] = {{0, 0}, {1, 0}, {0, 1}};
// Canvas pixels: the tracer adds the offsets in double before narrowing to float, so the three
// strokes' coordinates differ from the offsets by a float's rounding at most.
constexpr float kSameStep = 1.0f / 256;

bool IsTracerStep(const Segment* s) {
  auto near = [](float a, float b) { return std::fabs(a - b) <= kSameStep; };
  for (int j = 1; j < 3; ++j) {
    const double ox = kStepOffsets[j][0], oy = kStepOffsets[j][1];
    if (!(s[j].colour == s[0].colour) || !near(s[j].fromX, s[0].fromX + ox) ||
        !near(s[j].toX, s[0].toX + ox) || !near(s[j].fromY, s[0].fromY + oy) ||
        !near(s[j].toY, s[0].toY + oy)) {
      return false;
    }
  }
  return true;
}

// A run's colour, channels in levels of 255.
struct RunColour {
  float red, green, blue;
};

// Where a step lies on the picture, in picture pixels from the start (ox, oy) of its first
// stroke: d across the strokes, along n = (-uy, ux), and e along them, along u = (ux, uy). All
// that choosing the steps to paint needs; most steps are never painted.
struct Pose {
  float ox, oy, ux, uy;
  float length;            // of the first stroke, from its start to its end point
  float lo, hi, eLo, eHi;  // the rectangle around the step's strokes
  float midLo, midHi;      // along: where every stroke is whole, the union a band [lo, hi]
  float w2;                // how far a pixel's footprint reaches across (see Step)
  std::uint32_t run;       // among its chunk's runs
  bool tracerStep;
  double exactUx, exactUy, exactLength;  // (ux, uy) and length, unrounded: the shape's source
};

// A step as it is painted. A pixel seen along a line's normal: a trapezoid, flat over w1 either
// side of its centre, sloping out to w2; its two slopes' shared factor, 1 / a over the flat part,
// and b squared (a and b the larger and smaller of |ux| and |uy|).
struct Step : Pose {
  const RunColour* colour;  // its run's, the same for every step of the run
  float w1, inverseA, inverse2ab, bSquared;
  bool wide;  // across, wider than the trapezoid: no pixel sees both sides at once
  // Across, the stretches between the strokes' sides in order; along, the union over each.
  int pieces;
  float cuts[6], pieceFrom[5], pieceTo[5];
};

// A step's strokes, three as the tracer draws them or one, running along (ux, uy), in picture
// pixels (`scale` a canvas pixel): each one's centre line across, and its start and end along
// with their square ends. `along`: the first stroke's length near the picture.
struct Strokes {
  int count;
  double half, across[3], from[3], to[3];

  Strokes(bool tracerStep, double ux, double uy, double scale, double along)
      : count(tracerStep ? 3 : 1), half(scale / 2) {
    for (int j = 0; j < count; ++j) {
      const double offX = kStepOffsets[j][0], offY = kStepOffsets[j][1];
      across[j] = (-uy * offX + ux * offY) * scale;
      from[j] = (ux * offX + uy * offY) * scale - half;
      to[j] = from[j] + along + scale;
    }
  }
};

// Step k's stretches across between its strokes' sides and the union along over each.
void SetPieces(Step& k, const Strokes& strokes) {
  double cuts[6] = {};
  for (int j = 0; j < strokes.count; ++j) {
    cuts[2 * j] = strokes.across[j] - strokes.half;
    cuts[2 * j + 1] = strokes.across[j] + strokes.half;
  }
  // A lone stroke's two sides come in order already.
  if (strokes.count == 3) std::sort(cuts, cuts + 6);
  k.cuts[0] = static_cast<float>(cuts[0]);
  for (int i = 0; i + 1 < 2 * strokes.count; ++i) {
    if (!(cuts[i] < cuts[i + 1])) continue;
    const double middle = (cuts[i] + cuts[i + 1]) / 2;
    // The strokes of a step always touch across; only rounding can leave a gap between two,
    // far too thin to matter, and it is taken as covered.
    double pieceFrom = k.eLo, pieceTo = k.eHi;
    bool covered = false;
    for (int j = 0; j < strokes.count; ++j) {
      if (std::fabs(middle - strokes.across[j]) < strokes.half) {
        pieceFrom = covered ? std::min(pieceFrom, strokes.from[j]) : strokes.from[j];
        pieceTo = covered ? std::max(pieceTo, strokes.to[j]) : strokes.to[j];
        covered = true;
      }
    }
    k.pieceFrom[k.pieces] = static_cast<float>(pieceFrom);
    k.pieceTo[k.pieces] = static_cast<float>(pieceTo);
    k.cuts[++k.pieces] = static_cast<float>(cuts[i + 1]);
  }
}

// The smaller and the larger of |ux| and |uy|.
std::pair<double, double> Axes(double ux, double uy) {
  const double x = std::fabs(ux), y = std::fabs(uy);
  return {std::min(x, y), std::max(x, y)};
}

// Pose `p` of a step painted, with its colour, pieces and pixel trapezoid; `scale` a canvas
// pixel.
Step Shape(const Pose& p, const RunColour& colour, double scale) {
  Step k{};
  static_cast<Pose&>(k) = p;
  k.colour = &colour;
  SetPieces(k, Strokes(p.tracerStep, p.exactUx, p.exactUy, scale, p.exactLength));
  const auto [b, a] = Axes(p.exactUx, p.exactUy);
  k.w1 = static_cast<float>((a - b) / 2);
  k.inverseA = static_cast<float>(1 / a);
  // Where b is next to nothing the slopes are too: their factor stays finite and they add
  // nothing.
  k.inverse2ab = static_cast<float>(1 / (2 * a * std::max(b, 1e-6)));
  k.bSquared = static_cast<float>(b * b);
  k.wide = k.hi - k.lo >= 2 * k.w2;
  return k;
}

// The step starting with stroke `s`, three strokes as the tracer draws them or one, into `k`; false
// when nothing of it comes near the picture. (Written in place: a copy of a pose is a sizeable part
// of its making.)
bool MakePose(const CanvasSegment& s, bool tracerStep, const PictureRows& picture,
              const CanvasPlacement& place, std::uint32_t run, Pose& k) {
  const double dx = s.x1 - s.x0, dy = s.y1 - s.y0, length = std::sqrt(dx * dx + dy * dy);
  const double ux = dx / length, uy = dy / length;
  // Room for the offset strokes besides a width and a square end.
  double t0, t1;
  if (!smooth_detail::PartNearPicture(s, picture, place, 3 + 2 / place.scale, t0, t1)) {
    return false;
  }
  const double scale = place.scale;
  const double startX = s.x0 + t0 * dx, startY = s.y0 + t0 * dy;
  const double along = (t1 - t0) * length * scale;
  const Strokes strokes(tracerStep, ux, uy, scale, along);
  double lo = strokes.across[0], hi = lo, eLo = strokes.from[0], eHi = strokes.to[0], midLo = eLo,
         midHi = eHi;
  for (int j = 1; j < strokes.count; ++j) {
    lo = std::min(lo, strokes.across[j]);
    hi = std::max(hi, strokes.across[j]);
    eLo = std::min(eLo, strokes.from[j]);
    eHi = std::max(eHi, strokes.to[j]);
    midLo = std::max(midLo, strokes.from[j]);
    midHi = std::min(midHi, strokes.to[j]);
  }
  const auto [b, a] = Axes(ux, uy);
  k.ox = static_cast<float>(place.left + scale * (startX + 0.5));
  k.oy = static_cast<float>(place.top + scale * (startY + 0.5));
  k.ux = static_cast<float>(ux);
  k.uy = static_cast<float>(uy);
  k.length = static_cast<float>(along);
  k.lo = static_cast<float>(lo - strokes.half);
  k.hi = static_cast<float>(hi + strokes.half);
  k.eLo = static_cast<float>(eLo);
  k.eHi = static_cast<float>(eHi);
  k.midLo = static_cast<float>(midLo);
  k.midHi = static_cast<float>(midHi);
  k.w2 = static_cast<float>((a + b) / 2);
  k.run = run;
  k.tracerStep = tracerStep;
  k.exactUx = ux;
  k.exactUy = uy;
  k.exactLength = along;
  return true;
}

// A stretch along a step that is painted: all of it, or the part around one of its ends.
struct Window {
  const Step* step;
  float eLo, eHi;     // along the step
  float top, bottom;  // picture rows it reaches
};

// Within a run, consecutive steps move the arm by a tenth of a canvas pixel or so, a few
// hundredths of the strokes' width: each pixel well inside the run is covered by a dozen of
// them. So only some of a run's steps are painted whole, each close enough to the one before
// that every pixel between them lies wholly inside one of the two (no seam where their
// coverages meet: their sides at most the width less a pixel's diagonal apart), and the rest
// only around their ends, where the arm's ends trace the run's outline. Whether step j's first
// stroke lies that close to step i's, at both its ends, and its ends no further apart along it
// than `along`.
bool Close(const Pose& i, const Pose& j, float across, float along) {
  auto apart = [&](const Pose& a, const Pose& b) {
    const float dx = b.ox - a.ox, dy = b.oy - a.oy;
    const float ex = dx + b.ux * b.length - a.ux * a.length;
    const float ey = dy + b.uy * b.length - a.uy * a.length;
    const float side0 = -a.uy * dx + a.ux * dy, side1 = -a.uy * ex + a.ux * ey;
    const float along0 = a.ux * dx + a.uy * dy, along1 = a.ux * ex + a.uy * ey;
    return std::max(std::fabs(side0), std::fabs(side1)) <= across &&
           std::max(std::fabs(along0), std::fabs(along1)) <= along;
  };
  return apart(i, j) && apart(j, i);
}

// Pixels: how far apart the ends of steps painted around their ends may lie, across and along.
// Across, the staircase of a step's three square ends leaves notches between two steps that the
// steps between them would fill, so they lie close; along, the ends line up.
constexpr float kEndsAcross = 0.5f, kEndsAlong = 1.0f;
// Pixels: a pixel's diagonal, and some room for the rounding of the steps' floats.
constexpr float kPixelDiagonal = 1.4142136f + 0.1f;

// The windows of the steps posed in [first, end) of one run of `colour`, appended to `windows`,
// and the steps they paint, shaped and appended to `steps`, whose room must not run out: the
// windows point into it. `scale`: a canvas pixel.
void RunWindows(const std::vector<Pose>& poses, std::uint32_t first, std::uint32_t end,
                const RunColour& colour, double scale, std::vector<Step>& steps,
                std::vector<Window>& windows) {
  std::uint32_t shaped = UINT32_MAX;  // the pose last shaped, its step the last in `steps`
  auto window = [&](std::uint32_t s, float eLo, float eHi) {
    if (s != shaped) {
      steps.push_back(Shape(poses[s], colour, scale));
      shaped = s;
    }
    const Step& k = steps.back();
    float top = 1e30f, bottom = -1e30f;
    for (const float d : {k.lo, k.hi}) {
      for (const float e : {eLo, eHi}) {
        const float y = k.oy + d * k.ux + e * k.uy;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    windows.push_back({&k, eLo, eHi, top - 1, bottom + 1});
  };
  std::uint32_t kept = first, endKept = first;
  auto keep = [&](std::uint32_t s) {
    // The steps skipped since the last one kept: their ends, with room for how far the ends of
    // the steps painted whole around them may lie further in.
    for (std::uint32_t j = kept + 1; j < s; ++j) {
      const Pose& k = poses[j];
      {
        const Pose& a = poses[endKept];
        const float width = std::min(a.hi - a.lo, k.hi - k.lo);
        if (width > kPixelDiagonal &&
            Close(a, k, std::min(width - kPixelDiagonal, kEndsAcross), kEndsAlong))
          continue;
        endKept = j;
      }
      const float room = (k.hi - k.lo) / 2 + k.w2 + 1;
      const float from = k.midLo + room, to = k.midHi - room;
      if (from >= to) {
        window(j, k.eLo, k.eHi);
      } else {
        window(j, k.eLo, from);
        window(j, to, k.eHi);
      }
    }
    window(s, poses[s].eLo, poses[s].eHi);
    kept = s;
    endKept = s;
  };
  auto close = [&](std::uint32_t i, std::uint32_t j) {
    const Pose& a = poses[i];
    const Pose& b = poses[j];
    const float width = std::min(a.hi - a.lo, b.hi - b.lo);
    return width > kPixelDiagonal && Close(a, b, width - kPixelDiagonal, width / 2);
  };
  window(first, poses[first].eLo, poses[first].eHi);
  for (std::uint32_t j = first + 1; j < end; ++j) {
    if (!close(kept, j)) {
      if (j - 1 > kept) keep(j - 1);
      if (!close(kept, j)) keep(j);
    }
  }
  // The run's last step draws its side.
  if (kept + 1 < end) keep(end - 1);
}

// Columns of a picture or block, [first, last]; first > last when none.
struct Columns {
  int first, last;
};
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
  Floats v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
STRINGART_INLINE void Store(float* p, Floats v) {
  std::memcpy(p, &v, sizeof v);
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

constexpr int kVectors = kBlock / kWide;              // across a block
constexpr int kBands = kBlock / kHigh;                // rows of vectors of a block
constexpr int kTileVectors = kTile * kTile / kLanes;  // a tile
static_assert(kVectors <= 32);

// Where vector v of band q keeps its lanes in a block's cells, lane i the pixel
// (kWide v + i % kWide, kHigh q + i / kWide) of the block.
constexpr int At(int q, int v) {
  return (q * kVectors + v) * kLanes;
}

// What a thread keeps for the block it paints.
struct BlockWork {
  alignas(64) float share[kCells];  // of each pixel, what nothing in front covers yet
  alignas(64) float red[kCells], green[kCells], blue[kCells];  // gathered, levels of 255
  alignas(64) float cover[kCells];  // the run being gathered: its largest coverage so far
  int firstVector[kBands], lastVector[kBands];  // of each band, what the run touched
  int firstBand, lastBand;                      // bands the run may have touched
  std::uint32_t doneVectors[kBands];            // of each band, the vectors all done
  int doneInTile[kTilesAcross * kTilesAcross];  // vectors
  std::uint64_t doneTiles;

  void VectorDone(int q, int v) {
    doneVectors[q] |= 1u << v;
    const int tile = q * kHigh / kTile * kTilesAcross + v * kWide / kTile;
    if (++doneInTile[tile] == kTileVectors) doneTiles |= std::uint64_t{1} << tile;
  }
};

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

// x rounded down, for |x| < 2^31: std::floor without SSE4.1 is a dozen instructions.
int FloorToInt(float x) {
  const int whole = static_cast<int>(x);
  return whole - (x < static_cast<float>(whole));
}

// Where step k reaches across the rows of a block: the columns of row r lie within
// [max(a0 + a1 r, b0 + b1 r), min(c0 + c1 r, d0 + d1 r)] (the limits across the strokes and
// along them), rows from first to last.
struct Placed {
  float a0, a1, b0, b1, c0, c1, d0, d1;
  int first, last;

  // One limit, kx (x - rx) + ky (y - ry) within [lo, hi] for some y of the row, as the column
  // limits [x0 + slope r, x1 + slope r]; none when the line lies level.
  static void Limit(float kx, float ky, float lo, float hi, float rx, float ry, float& x0,
                    float& x1, float& slope) {
    if (std::fabs(kx) < 1e-6f) {
      // Level lines: the rows the step reaches say it all.
      x0 = -1e30f;
      x1 = 1e30f;
      slope = 0;
      return;
    }
    const float inverse = 1 / kx;
    // Row r: ky (y - ry) runs over [ky (r - ry) + min(ky, 0), ky (r - ry) + max(ky, 0)].
    const float a = lo + ky * ry - std::max(ky, 0.0f), b = hi + ky * ry - std::min(ky, 0.0f);
    x0 = rx + a * inverse;
    x1 = rx + b * inverse;
    if (kx < 0) std::swap(x0, x1);
    slope = -ky * inverse;
  }

  Placed(const Step& k, const Window& w, float fx, float fy, int height) {
    const float rx = k.ox - fx, ry = k.oy - fy;
    float sa, sb;
    Limit(-k.uy, k.ux, k.lo, k.hi, rx, ry, a0, c0, sa);
    Limit(k.ux, k.uy, w.eLo, w.eHi, rx, ry, b0, d0, sb);
    a1 = c1 = sa;
    b1 = d1 = sb;
    first = std::max(0, FloorToInt(std::max(w.top - fy, -1.0f)));
    last = std::min(height - 1, FloorToInt(std::min(w.bottom - fy, 1e6f)));
  }

  // The columns of the pixels of rows r0 to r1 that the step may reach, within [0, width):
  // [first, last], first > last when none.
  Columns Reach(int r0, int r1, int width) const {
    const float y0 = static_cast<float>(r0), y1 = static_cast<float>(r1);
    const float xa =
        std::max(std::min(a0 + a1 * y0, a0 + a1 * y1), std::min(b0 + b1 * y0, b0 + b1 * y1));
    const float xb =
        std::min(std::max(c0 + c1 * y0, c0 + c1 * y1), std::max(d0 + d1 * y0, d0 + d1 * y1));
    if (!(xa <= xb)) return {1, 0};
    // A pixel reaches from its column to the next; a hair more for rounding.
    const float lo = std::clamp(xa - 0.01f, -1.0f, static_cast<float>(width));
    const float hi = std::clamp(xb + 0.01f, -1.0f, static_cast<float>(width));
    return {std::max(FloorToInt(lo), 0), std::min(FloorToInt(hi), width - 1)};
  }

  // The vectors within [vFirst, vLast] that the step may reach in each band of the tile row from
  // row `base`, minding only rows r0 to r1: from[j] to to[j] for band base / kHigh + j,
  // from[j] > to[j] when none. Reach(r, r, width) found for the rows, a lane a row.
  template <typename Pick>
  STRINGART_INLINE void Bands(int base, int r0, int r1, int vFirst, int vLast, int width,
                              Floats lane, int* from, int* to) const {
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
};

// A block to paint: the steps its entries name among the windows, front to back, and where it lies.
struct BlockJob {
  const Window* windows;
  const std::uint32_t* entries;
  std::size_t count;
  int bx, by;      // its top left pixel
  bool overBlack;  // what lies behind it is black, whatever the picture holds
};

// Paints the block of `job` onto the picture.
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
      place.Bands<Pick>(tr * kTile, r0, r1, vFirst, vLast, width, lane, from, to);
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
__attribute__((target("avx512f"))) void PaintBlock(const BlockJob& job, BlockWork& w,
                                                   const PictureRows& picture) {
  PaintBlockWith<NativePick>(job, w, picture);
}
__attribute__((target("avx2"))) void PaintBlock(const BlockJob& job, BlockWork& w,
                                                const PictureRows& picture) {
  PaintBlockWith<SignPick>(job, w, picture);
}
__attribute__((target("default"))) void PaintBlock(const BlockJob& job, BlockWork& w,
                                                   const PictureRows& picture) {
  PaintBlockWith<SignPick>(job, w, picture);
}
#else
void PaintBlock(const BlockJob& job, BlockWork& w, const PictureRows& picture) {
  PaintBlockWith<SignPick>(job, w, picture);
}
#endif

// Threads a drawing is shared among: the usable CPUs, at most 8; one where there are no threads.
int DrawingThreads() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  return 1;
#else
  return std::clamp(UsableCpus(), 1, 8);
#endif
}

// The picture's blocks, row by row.
struct BlockGrid {
  int across;
  std::size_t count;

  explicit BlockGrid(const PictureRows& picture)
      : across((picture.width + kBlock - 1) / kBlock),
        count(static_cast<std::size_t>(across) * ((picture.height + kBlock - 1) / kBlock)) {}

  // Calls visit(b) for each block b that `window` of step k may reach.
  template <typename Visit>
  void ForEach(const Step& k, const Window& window, const PictureRows& picture,
               Visit&& visit) const {
    const Placed place(k, window, 0, 0, picture.height);
    for (int br = place.first / kBlock; br <= place.last / kBlock && place.first <= place.last;
         ++br) {
      const Columns c = place.Reach(std::max(place.first, br * kBlock),
                                    std::min(place.last, br * kBlock + kBlock - 1), picture.width);
      if (c.first > c.last) continue;
      for (int bc = c.first / kBlock; bc <= c.last / kBlock; ++bc) visit(br * across + bc);
    }
  }
};

// Steps, their windows and how many reach each block, of a stretch of whole runs.
struct Chunk {
  std::size_t first = 0, end = 0;   // segments
  std::vector<RunColour> colours;   // of its runs: the steps point into them
  std::vector<Step> steps;          // those painted: the windows point into them
  std::vector<Window> windows;      // until they join the others'
  std::vector<std::uint32_t> next;  // of each block, where this chunk's entries go
  std::uint32_t firstWindow = 0;
  std::vector<Pose> poses;  // its steps near the picture, while they are found
};

// The segments cut into `count` chunks of whole runs, about equal in length, each empty. A
// colour's change always starts a step, the three strokes of a step being of one colour: each
// chunk finds its steps from its own start as they would be found from the first segment.
void CutChunks(std::span<const Segment> segments, std::size_t count, std::vector<Chunk>& chunks) {
  chunks.resize(count);
  const std::size_t n = segments.size();
  for (std::size_t c = 0, from = 0; c < chunks.size(); ++c) {
    std::size_t to = c + 1 == chunks.size() ? n : n * (c + 1) / chunks.size();
    while (to < n && to > from && segments[to].colour == segments[to - 1].colour) ++to;
    Chunk& chunk = chunks[c];
    chunk.first = from;
    chunk.end = std::max(from, to);
    from = chunk.end;
    chunk.colours.clear();
    chunk.steps.clear();
    chunk.windows.clear();
  }
}

// The steps and their windows of `chunk`, and how many of its windows reach each block.
void FillChunk(Chunk& chunk, std::span<const Segment> segments, const PictureRows& picture,
               const CanvasPlacement& place, const BlockGrid& grid) {
  // A vector of the function's own, so that the compiler keeps its ends in registers; its room
  // stays with the chunk for the next drawing.
  std::vector<Pose> poses = std::move(chunk.poses);
  poses.clear();
  poses.reserve((chunk.end - chunk.first) / 3 + 1);
  for (std::size_t i = chunk.first; i < chunk.end;) {
    if (i == chunk.first || !(segments[i].colour == segments[i - 1].colour)) {
      const Colour c = segments[i].colour;
      chunk.colours.push_back({static_cast<float>(c.red()), static_cast<float>(c.green()),
                               static_cast<float>(c.blue())});
    }
    const bool tracerStep = i + 2 < chunk.end && IsTracerStep(&segments[i]);
    const auto run = static_cast<std::uint32_t>(chunk.colours.size() - 1);
    if (const auto drawn = smooth_detail::DrawnSegment(segments[i])) {
      if (!MakePose(*drawn, tracerStep, picture, place, run, poses.emplace_back())) {
        poses.pop_back();
      }
    }
    i += tracerStep ? 3 : 1;
  }
  // No more steps than poses: the windows' pointers into them stay valid.
  chunk.steps.reserve(poses.size());
  for (std::uint32_t first = 0; first < poses.size();) {
    std::uint32_t end = first + 1;
    while (end < poses.size() && poses[end].run == poses[first].run) ++end;
    RunWindows(poses, first, end, chunk.colours[poses[first].run], place.scale, chunk.steps,
               chunk.windows);
    first = end;
  }
  chunk.poses = std::move(poses);
  chunk.next.assign(grid.count, 0);
  for (const Window& window : chunk.windows) {
    grid.ForEach(*window.step, window, picture, [&](int b) { ++chunk.next[b]; });
  }
}

// Every chunk's windows in one list, and each block's entries in it, front to back, from
// starts[b] to starts[b + 1].
struct Entries {
  std::vector<Window> windows;
  std::vector<std::uint32_t> starts, entries;
};

// Where each block's entries begin, front to back, into `starts`: the last chunk's first. Each
// chunk's counts become where its entries of each block go.
void EntryStarts(std::vector<Chunk>& chunks, std::size_t blocks,
                 std::vector<std::uint32_t>& starts) {
  starts.assign(blocks + 1, 0);
  std::uint32_t entryCount = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    starts[b] = entryCount;
    for (std::size_t c = chunks.size(); c-- > 0;) {
      const std::uint32_t n = chunks[c].next[b];
      chunks[c].next[b] = entryCount;
      entryCount += n;
    }
  }
  starts[blocks] = entryCount;
}

// A request to stop the drawing: `progress` is asked on the calling thread (thread 0) between
// pieces of work of every step, a piece being at most a few tens of milliseconds at the largest
// size, so that a cancel or a signal is heard within a tenth of a second; the other threads see
// the answer before their next piece.
class StopRequest {
 public:
  explicit StopRequest(const WholeProgress& progress) : progress_(progress) {}
  // Whether to stop; on thread 0, `progress` is told `done` first.
  bool Heard(int thread, double done) {
    if (thread == 0 && progress_ && !stopped_ && !progress_(done)) stopped_ = true;
    return stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  const WholeProgress& progress_;
  std::atomic<bool> stopped_{false};
};

// Each block's windows, front to back, gathered from the chunks on every core into `list`.
void ListEntries(std::vector<Chunk>& chunks, const BlockGrid& grid, const PictureRows& picture,
                 int threads, StopRequest& stop, Entries& list) {
  EntryStarts(chunks, grid.count, list.starts);
  std::size_t windowCount = 0;
  for (Chunk& chunk : chunks) {
    chunk.firstWindow = static_cast<std::uint32_t>(windowCount);
    windowCount += chunk.windows.size();
  }
  list.windows.resize(windowCount);
  list.entries.resize(list.starts[grid.count]);
  std::atomic<std::size_t> nextChunk{0};
  OnThreads(threads, [&](int thread) {
    for (std::size_t c = nextChunk++; c < chunks.size() && !stop.Heard(thread, 0.0);
         c = nextChunk++) {
      Chunk& chunk = chunks[c];
      std::copy(chunk.windows.begin(), chunk.windows.end(),
                list.windows.begin() + chunk.firstWindow);
      for (std::size_t i = chunk.windows.size(); i-- > 0;) {
        const std::uint32_t index = chunk.firstWindow + static_cast<std::uint32_t>(i);
        grid.ForEach(*chunk.windows[i].step, chunk.windows[i], picture,
                     [&](int b) { list.entries[chunk.next[b]++] = index; });
      }
    }
  });
}

// Paints the blocks on every core, each thread working in one of `work`, the calling thread
// reporting the share done; false when `stop` was asked for.
bool PaintBlocks(const Entries& list, const BlockGrid& grid, const PictureRows& picture,
                 bool overBlack, StopRequest& stop, int threads,
                 std::vector<std::unique_ptr<BlockWork>>& work) {
  std::atomic<std::size_t> nextBlock{0}, finished{0};
  if (work.size() < static_cast<std::size_t>(threads)) work.resize(threads);
  for (std::unique_ptr<BlockWork>& w : work) {
    if (!w) w = std::make_unique<BlockWork>();
  }
  OnThreads(threads, [&](int thread) {
    BlockWork& w = *work[thread];
    for (std::size_t b = nextBlock++; b < grid.count && !stop.stopped(); b = nextBlock++) {
      const int bx = static_cast<int>(b % grid.across) * kBlock;
      const int by = static_cast<int>(b / grid.across) * kBlock;
      PaintBlock({list.windows.data(), list.entries.data() + list.starts[b],
                  list.starts[b + 1] - list.starts[b], bx, by, overBlack},
                 w, picture);
      const std::size_t done = ++finished;
      stop.Heard(thread, static_cast<double>(done) / grid.count);
    }
  });
  return !stop.stopped();
}

}  // namespace

struct WholeDrawingMemory::Parts {
  std::vector<Chunk> chunks;
  Entries list;
  std::vector<std::unique_ptr<BlockWork>> work;  // a thread's each
};

WholeDrawingMemory::WholeDrawingMemory() : parts_(std::make_unique<Parts>()) {}
WholeDrawingMemory::~WholeDrawingMemory() = default;
WholeDrawingMemory::WholeDrawingMemory(WholeDrawingMemory&&) noexcept = default;
WholeDrawingMemory& WholeDrawingMemory::operator=(WholeDrawingMemory&&) noexcept = default;

bool DrawAntiAliasedWhole(std::span<const Segment> segments, const PictureRows& picture,
                          const CanvasPlacement& place, const WholeProgress& progress,
                          WholeDrawingMemory* memory, WholeGround ground) {
  if (picture.width <= 0 || picture.height <= 0) return true;
  if (segments.empty()) {
    for (int y = 0; y < picture.height && ground == WholeGround::Black; ++y) {
      std::fill_n(picture.pixels + y * picture.stride, picture.width, 0xFF000000u);
    }
    return true;
  }
  std::optional<WholeDrawingMemory> own;
  WholeDrawingMemory::Parts& parts = (memory != nullptr ? *memory : own.emplace()).parts();
  const int threads = DrawingThreads();
  const BlockGrid grid(picture);
  // Four chunks a thread, taken in turn, so that a thread done early takes another; the chunks
  // outlive the painting, whose windows point into their steps.
  std::vector<Chunk>& chunks = parts.chunks;
  CutChunks(segments, 4 * static_cast<std::size_t>(threads), chunks);
  // Nothing is painted until the chunks are filled and listed, which takes a few tenths of a
  // second at the largest sizes: the request to stop is heard between chunks, the share done
  // still told as none.
  StopRequest stop(progress);
  std::atomic<std::size_t> nextChunk{0};
  OnThreads(threads, [&](int thread) {
    for (std::size_t c = nextChunk++; c < chunks.size() && !stop.Heard(thread, 0.0);
         c = nextChunk++) {
      FillChunk(chunks[c], segments, picture, place, grid);
    }
  });
  if (stop.stopped()) return false;
  ListEntries(chunks, grid, picture, threads, stop, parts.list);
  if (stop.stopped()) return false;
  return PaintBlocks(parts.list, grid, picture, ground == WholeGround::Black, stop, threads,
                     parts.work);
}

}  // namespace stringart
