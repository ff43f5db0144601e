// The exact anti-aliased drawing's first step: for each part of a run of one colour, the
// stretches of its rectangles' sides that no other rectangle of the run covers, the outline of
// their union, as directed pieces. Every pair of rectangles of a run is tried, sixteen at a time.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/OnThreads.h"
#include "smooth/AntiAliasedOutline_p.h"
#include "smooth/AntiAliased_p.h"

namespace stringart::runs_detail {
namespace {

using smooth_detail::CanvasSegment;
using smooth_detail::kRunPiece;

constexpr int kLanes = 8;
// 64 bytes: passed and returned one way with AVX-512 and another without, so every helper that
// takes or gives one is inlined into each copy of its callers, at every optimisation level.
typedef double Doubles __attribute__((vector_size(kLanes * sizeof(double))));

STRINGART_COPY_INLINE Doubles Min(Doubles a, Doubles b) {
  return a < b ? a : b;
}
STRINGART_COPY_INLINE Doubles Max(Doubles a, Doubles b) {
  return a > b ? a : b;
}
STRINGART_COPY_INLINE Doubles Abs(Doubles a) {
  return a < 0 ? -a : a;
}
STRINGART_COPY_INLINE Doubles Load(const double* p) {
  return smooth_detail::LoadVector<Doubles>(p);
}
STRINGART_COPY_INLINE void Store(double* p, Doubles v) {
  smooth_detail::StoreVector(p, v);
}
STRINGART_COPY_INLINE double Largest(Doubles v) {
  v = Max(v, __builtin_shufflevector(v, v, 4, 5, 6, 7, 0, 1, 2, 3));
  v = Max(v, __builtin_shufflevector(v, v, 2, 3, 0, 1, 6, 7, 4, 5));
  v = Max(v, __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6));
  return v[0];
}
STRINGART_COPY_INLINE double Smallest(Doubles v) {
  return -Largest(-v);
}

// Canvas pixels: sides of two rectangles closer than this along their whole length are one line.
constexpr double kTouching = 1e-7;

// A stroke's rectangle in canvas pixels: centre, unit direction and half length (to the end of
// the square end); the half width is half a canvas pixel.
struct Rectangle {
  double cx, cy, dx, dy, halfLength;
};

// Appends the piece from (x0, y0) to (x1, y1) of an outline (the union on its right as it goes,
// y running down the picture) to `pieces`, as the bands want it: running down, within the
// picture's columns. Left of the picture a piece acts on every pixel of its rows, as it would
// running down the left side; right of it, on none; level, on none.
void AddPiece(double x0, double y0, double x1, double y1, const PictureRows& picture,
              std::vector<Piece>& pieces) {
  float direction = 1;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    direction = -1;
  }
  if (!(y0 < y1) || y1 <= 0 || y0 >= picture.height) return;
  const double w = picture.width;
  if (x0 >= 0 && x1 >= 0 && x0 <= w && x1 <= w) {
    pieces.push_back({static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1),
                      static_cast<float>(y1), direction});
    return;
  }
  // Cut where it crosses the picture's sides.
  double ys[4] = {y0, y1, y1, y1};
  int n = 1;
  if ((x0 < 0) != (x1 < 0)) ys[n++] = y0 + (0 - x0) / (x1 - x0) * (y1 - y0);
  if ((x0 > w) != (x1 > w)) ys[n++] = y0 + (w - x0) / (x1 - x0) * (y1 - y0);
  if (n == 3 && ys[2] < ys[1]) std::swap(ys[1], ys[2]);
  ys[n] = y1;
  const double slope = (x1 - x0) / (y1 - y0);
  for (int i = 0; i < n; ++i) {
    const double ya = ys[i], yb = ys[i + 1];
    if (!(ya < yb)) continue;
    const double middle = x0 + ((ya + yb) / 2 - y0) * slope;
    if (middle > w) continue;
    const double xa = middle < 0 ? 0 : std::clamp(x0 + (ya - y0) * slope, 0.0, w);
    const double xb = middle < 0 ? 0 : std::clamp(x0 + (yb - y0) * slope, 0.0, w);
    pieces.push_back({static_cast<float>(xa), static_cast<float>(ya), static_cast<float>(xb),
                      static_cast<float>(yb), direction});
  }
}

std::optional<Rectangle> StrokeRectangle(const Segment& segment, const PictureRows& picture,
                                         const CanvasPlacement& place) {
  std::optional<CanvasSegment> drawn = smooth_detail::DrawnSegment(segment);
  if (!drawn) return std::nullopt;
  CanvasSegment s = *drawn;
  const double length = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
  const double dx = (s.x1 - s.x0) / length, dy = (s.y1 - s.y0) / length;
  if (!smooth_detail::CutToPicture(s, picture, place)) return std::nullopt;
  return Rectangle{(s.x0 + s.x1) / 2, (s.y0 + s.y1) / 2, dx, dy,
                   ((s.x1 - s.x0) * dx + (s.y1 - s.y0) * dy) / 2 + 0.5};
}

// The stretch [lo, hi] of the side p0 -> p1 of one rectangle (outward normal m) that lies in
// rectangle `other`, as fractions of the side; lo >= hi when none does. Where the side runs along
// a side of `other`: when the two rectangles lie on either side of it, the line is inside the
// union and counts as covered; when on the same side, it counts as covered by the earlier of the
// two, so that exactly one of them outlines it.
struct Stretch {
  double lo, hi;
};
Stretch CoveredStretch(double p0x, double p0y, double p1x, double p1y, double mx, double my,
                       const Rectangle& other, bool otherIsEarlier) {
  const double rx0 = p0x - other.cx, ry0 = p0y - other.cy;
  const double rx1 = p1x - other.cx, ry1 = p1y - other.cy;
  const double u0 = rx0 * other.dx + ry0 * other.dy, u1 = rx1 * other.dx + ry1 * other.dy;
  const double v0 = ry0 * other.dx - rx0 * other.dy, v1 = ry1 * other.dx - rx1 * other.dy;
  // The four sides of `other` as g <= bound, g = u, -u, v, -v, with their outward normals.
  const double g0[4] = {u0, -u0, v0, -v0}, g1[4] = {u1, -u1, v1, -v1};
  const double bound[4] = {other.halfLength, other.halfLength, 0.5, 0.5};
  const double nx[4] = {other.dx, -other.dx, -other.dy, other.dy};
  const double ny[4] = {other.dy, -other.dy, other.dx, -other.dx};
  double lo = 0, hi = 1;
  for (int k = 0; k < 4; ++k) {
    const double a = g0[k] - bound[k], b = g1[k] - bound[k];
    if (std::fabs(a) <= kTouching && std::fabs(b) <= kTouching) {
      const bool opposite = mx * nx[k] + my * ny[k] < 0;
      if (opposite || otherIsEarlier) continue;
      return {1, 0};
    }
    if (a <= 0 && b <= 0) continue;
    if (a > 0 && b > 0) return {1, 0};
    const double t = a / (a - b);
    if (a <= 0) {
      hi = std::min(hi, t);
    } else {
      lo = std::max(lo, t);
    }
  }
  return {lo, hi};
}

// Rectangles tried first against each: its neighbours in drawing order, half before it.
constexpr int kWindow = 4 * kLanes;

// A part of a run (kRunPiece rectangles at most) as the vector code reads it: relative to the
// first rectangle's centre, with rectangles far away, which cover nothing, before it and after.
struct Lanes {
  static constexpr int kPad = kWindow;
  static constexpr int kSize = kRunPiece + 2 * kPad;
  int n = 0;
  // Rectangle j at j + kPad.
  alignas(64) double cx[kSize], cy[kSize], dx[kSize], dy[kSize], halfLength[kSize];
  alignas(64) double cu[kSize], cv[kSize];  // the centre along the direction and across it

  void SetFar(int j) {
    cx[j + kPad] = cy[j + kPad] = cu[j + kPad] = cv[j + kPad] = 1e30;
    dx[j + kPad] = 1;
    dy[j + kPad] = 0;
    halfLength[j + kPad] = 1;
  }
};

// Where a side of the rectangle being outlined runs: from (x, y), by (ex, ey).
struct SideLine {
  double x, y, ex, ey;
};

// Rectangle i's corners c - a - b, c + a - b, c + a + b, c - a + b, where a runs along it to the
// end of its square end and b across it to its side; side k runs from corner k to corner k + 1.
struct Outlined {
  double cx, cy, ax, ay, bx, by;
  void Sides(SideLine (&sides)[4]) const {
    sides[0] = {cx - ax - bx, cy - ay - by, 2 * ax, 2 * ay};
    sides[1] = {cx + ax - bx, cy + ay - by, 2 * bx, 2 * by};
    sides[2] = {cx + ax + bx, cy + ay + by, -2 * ax, -2 * ay};
    sides[3] = {cx - ax + bx, cy - ay + by, -2 * bx, -2 * by};
  }
};

// `a` moved away from zero by far less than any value that matters, so that a product of such
// values stays finite and above zero.
STRINGART_COPY_INLINE Doubles AwayFromZero(Doubles a) {
  const Doubles tiny = Doubles{} + 1e-60;
  return a + (a < 0 ? -tiny : tiny);
}

// 1 / a and 1 / b with one division.
STRINGART_COPY_INLINE void Reciprocals(Doubles& a, Doubles& b) {
  a = AwayFromZero(a);
  b = AwayFromZero(b);
  const Doubles r = 1.0 / (a * b);
  const Doubles ra = r * b;
  b = r * a;
  a = ra;
}

// 1 / a, 1 / b, 1 / c and 1 / d with one division; each halved, as every use wants.
STRINGART_COPY_INLINE void Reciprocals(Doubles& a, Doubles& b, Doubles& c, Doubles& d) {
  a = AwayFromZero(a);
  b = AwayFromZero(b);
  c = AwayFromZero(c);
  d = AwayFromZero(d);
  const Doubles ab = a * b, cd = c * d, r = 0.5 / (ab * cd);
  const Doubles rab = r * cd, rcd = r * ab;
  const Doubles ra = rab * b, rb = rab * a, rc = rcd * d, rd = rcd * c;
  a = ra, b = rb, c = rc, d = rd;
}

// What FourSides found beyond the stretches themselves.
struct FourSidesSummary {
  // Per side, how far the stretches from its start reach, and where the nearest of those that
  // reach its end begins: between the two lies all that is left uncovered.
  double start[4], end[4];
  // Whether a side of self may run along a side of another (see FourSides).
  bool alongAny;
};

// How near the side lines of one rectangle come to those of another, the two nearly parallel or
// square. `u`, `v`: the first's centre along and across the second; `eu`, `ev`: its half extents
// along and across the second; `hl`: the second's half length.
STRINGART_COPY_INLINE Doubles LinesApart(Doubles u, Doubles v, Doubles eu, Doubles ev, Doubles hl) {
  u = Abs(u);
  v = Abs(v);
  return Min(Min(Abs(u + eu - hl), Abs(Abs(u - eu) - hl)),
             Min(Abs(v + ev - 0.5), Abs(Abs(v - ev) - 0.5)));
}

// The stretch [lo, hi] of each side of `self` within the rectangles at lanes from `first` on
// (kLanes * blocks of them), into lo[k][...] and hi[k][...] (lo > hi when none), and in `along`,
// for each rectangle, a value above 0 when a side of self may run along one of its sides: the
// two nearly parallel or square, and a side line of one within a hair of one of the other's.
STRINGART_CLONES FourSidesSummary FourSides(const Lanes& lanes, const Outlined& self, int first,
                                            int blocks, double (*lo)[kWindow],
                                            double (*hi)[kWindow], double* along) {
  const Doubles zero = {}, one = zero + 1;
  // Per side, the furthest a stretch from the start reaches, and the nearest a stretch to the
  // end begins.
  Doubles fromStart[4] = {zero, zero, zero, zero}, toEnd[4] = {one, one, one, one};
  Doubles alongAny = zero - 1;
  for (int b = 0; b < blocks; ++b) {
    const int j = first + b * kLanes + Lanes::kPad, o = b * kLanes;
    const Doubles dx = Load(lanes.dx + j), dy = Load(lanes.dy + j);
    const Doubles hl = Load(lanes.halfLength + j);
    // Corners of self in the frame of each other rectangle: u along it, v across it.
    const Doubles uc = self.cx * dx + self.cy * dy - Load(lanes.cu + j);
    const Doubles vc = self.cy * dx - self.cx * dy - Load(lanes.cv + j);
    const Doubles au = self.ax * dx + self.ay * dy, av = self.ay * dx - self.ax * dy;
    const Doubles bu = self.bx * dx + self.by * dy, bv = self.by * dx - self.bx * dy;
    // How far a side of self draws away, from one end to its middle, from the directions of
    // the other's sides.
    const Doubles turn = Min(Min(Abs(au), Abs(av)), Min(Abs(bu), Abs(bv)));
    Doubles runs = zero - 1;
    if (Smallest(turn) <= kTouching) {
      const Doubles apart = LinesApart(uc, vc, Abs(au) + Abs(bu), Abs(av) + Abs(bv), hl);
      runs = Min(kTouching - turn, 10 * kTouching - apart);
      alongAny = Max(alongAny, runs);
    }
    Store(along + o, runs);
    // 1 / (change of u along a side), 1 / (change of v), for the sides along a and along b.
    Doubles ra = au, sa = av, rb = bu, sb = bv;
    Reciprocals(ra, sa, rb, sb);
    // Side k from corner (u, v): the stretch where |u| <= hl and |v| <= 1/2. The vectors come by
    // reference: the lambda is one function for every copy of FourSides, and a copy that does not
    // inline it would pass them by another convention than it takes them.
    auto side = [&](int k, const Doubles& u, const Doubles& v, const Doubles& ru,
                    const Doubles& rv) {
      const Doubles u1 = (-hl - u) * ru, u2 = (hl - u) * ru;
      const Doubles v1 = (-0.5 - v) * rv, v2 = (0.5 - v) * rv;
      const Doubles l = Max(Max(Min(u1, u2), Min(v1, v2)), zero);
      const Doubles h = Min(Min(Max(u1, u2), Max(v1, v2)), one);
      Store(lo[k] + o, l);
      Store(hi[k] + o, h);
      fromStart[k] = Max(fromStart[k], l <= 0 ? h : zero);
      toEnd[k] = Min(toEnd[k], h >= 1 ? l : one);
    };
    side(0, uc - au - bu, vc - av - bv, ra, sa);
    side(1, uc + au - bu, vc + av - bv, rb, sb);
    side(2, uc + au + bu, vc + av + bv, -ra, -sa);
    side(3, uc - au + bu, vc - av + bv, -rb, -sb);
  }
  FourSidesSummary summary;
  for (int k = 0; k < 4; ++k) {
    summary.start[k] = Largest(fromStart[k]);
    summary.end[k] = Smallest(toEnd[k]);
  }
  summary.alongAny = Largest(alongAny) >= 0;
  return summary;
}

// The same for one side against the rectangles at lanes [from, to), leaving out blocks of lanes
// none of which reaches within `reach` of the point (mx, my): into lo, hi, turn and `which` (the
// rectangle in each lane), from `at` on; returns where it stopped.
STRINGART_CLONES int OneSide(const Lanes& lanes, const SideLine& side, int from, int to, double mx,
                             double my, double reach, double* lo, double* hi, double* turn,
                             int* which, int at) {
  const Doubles zero = {}, one = zero + 1;
  for (int j = from + Lanes::kPad; j < to + Lanes::kPad; j += kLanes) {
    const Doubles dx = Load(lanes.dx + j), dy = Load(lanes.dy + j);
    const Doubles hl = Load(lanes.halfLength + j);
    const Doubles cu = Load(lanes.cu + j), cv = Load(lanes.cv + j);
    const Doubles um = mx * dx + my * dy - cu, vm = my * dx - mx * dy - cv;
    // How far the point lies outside each rectangle, along it or across it.
    if (Smallest(Max(Abs(um) - hl, Abs(vm) - 0.5)) > reach) continue;
    const Doubles u = side.x * dx + side.y * dy - cu, v = side.y * dx - side.x * dy - cv;
    const Doubles eu = side.ex * dx + side.ey * dy, ev = side.ey * dx - side.ex * dy;
    Store(turn + at, Min(Abs(eu), Abs(ev)) / 2);
    for (int k = 0; k < kLanes; ++k) which[at + k] = j - Lanes::kPad + k;
    Doubles ru = eu, rv = ev;
    Reciprocals(ru, rv);
    const Doubles u1 = (-hl - u) * ru, u2 = (hl - u) * ru;
    const Doubles v1 = (-0.5 - v) * rv, v2 = (0.5 - v) * rv;
    Store(lo + at, Max(Max(Min(u1, u2), Min(v1, v2)), zero));
    Store(hi + at, Min(Min(Max(u1, u2), Max(v1, v2)), one));
    at += kLanes;
  }
  return at;
}

// The stretches of [0, 1] that none of lo[j], hi[j] (j < n, n a multiple of kLanes) covers, as
// pairs into `out`; returns how many.
STRINGART_CLONES int Uncovered(const double* lo, const double* hi, int n, double* out) {
  // Mostly what is left is one stretch: between the furthest reach of the stretches that begin
  // at the start and the nearest beginning of those that reach the end, with nothing between.
  const Doubles zero = {}, one = zero + 1;
  Doubles fromStart = zero, toEnd = one;
  for (int j = 0; j < n; j += kLanes) {
    const Doubles l = Load(lo + j), h = Load(hi + j);
    fromStart = Max(fromStart, l <= 0 ? h : zero);
    toEnd = Min(toEnd, h >= 1 ? l : one);
  }
  const double start = Largest(fromStart), end = Smallest(toEnd);
  if (start >= end) return 0;
  // How much of [start, end] the stretch most in it covers.
  Doubles between = zero - 1;
  for (int j = 0; j < n; j += kLanes) {
    const Doubles l = Load(lo + j), h = Load(hi + j);
    between = Max(between, Min(h, zero + end) - Max(l, zero + start));
  }
  if (Largest(between) <= 0) {
    out[0] = start;
    out[1] = end;
    return 1;
  }
  int count = 0;
  double reached = start;
  for (;;) {
    // Go on past every stretch that begins at or before where coverage has reached.
    while (reached < 1) {
      Doubles further = Doubles{} + reached;
      for (int j = 0; j < n; j += kLanes) {
        const Doubles l = Load(lo + j), h = Load(hi + j);
        further = Max(further, l <= reached ? h : further);
      }
      const double next = Largest(further);
      if (!(next > reached)) break;
      reached = next;
    }
    if (reached >= 1) return count;
    Doubles first = Doubles{} + 1.0;
    for (int j = 0; j < n; j += kLanes) {
      const Doubles l = Load(lo + j);
      first = Min(first, l > reached ? l : first);
    }
    const double next = Smallest(first);
    out[2 * count] = reached;
    out[2 * count + 1] = next;
    ++count;
    if (next >= 1) return count;
    reached = next;
  }
}

// Finds the outline of one part of a run and appends it to `pieces`.
class Outliner {
 public:
  void Outline(const std::vector<Rectangle>& rectangles, const PictureRows& picture,
               const CanvasPlacement& place, std::vector<Piece>& pieces) {
    const int n = static_cast<int>(rectangles.size());
    const double ox = rectangles[0].cx, oy = rectangles[0].cy;
    LoadLanes(rectangles, ox, oy);
    const double k = place.scale;
    const Frame frame{place.left + 0.5 * k + k * ox, place.top + 0.5 * k + k * oy, k};
    Lanes& l = *lanes_;
    for (int i = 0; i < n; ++i) {
      const int at = i + Lanes::kPad;
      // Tried against itself, a rectangle would cover its own sides.
      const double keep[4] = {l.cx[at], l.cy[at], l.cu[at], l.cv[at]};
      l.cx[at] = l.cy[at] = l.cu[at] = l.cv[at] = 1e30;
      const Outlined self{
          keep[0],         keep[1],       l.dx[at] * l.halfLength[at], l.dy[at] * l.halfLength[at],
          -l.dy[at] * 0.5, l.dx[at] * 0.5};
      OutlineOne(rectangles, l, i, self, frame, picture, pieces);
      l.cx[at] = keep[0];
      l.cy[at] = keep[1];
      l.cu[at] = keep[2];
      l.cv[at] = keep[3];
    }
  }

 private:
  // Where canvas pixels, relative to the first rectangle's centre, lie in the picture: picture
  // pixels from `left` and `top`, `scale` a canvas pixel.
  struct Frame {
    double left, top, scale;
  };

  // The run's rectangles into the lanes, relative to (ox, oy), with far ones around them.
  void LoadLanes(const std::vector<Rectangle>& rectangles, double ox, double oy) {
    const int n = static_cast<int>(rectangles.size());
    Lanes& l = *lanes_;
    l.n = n;
    for (int j = -Lanes::kPad; j < n + Lanes::kPad; ++j) {
      if (j < 0 || j >= n) {
        l.SetFar(j);
        continue;
      }
      const Rectangle& r = rectangles[j];
      const int at = j + Lanes::kPad;
      l.cx[at] = r.cx - ox;
      l.cy[at] = r.cy - oy;
      l.dx[at] = r.dx;
      l.dy[at] = r.dy;
      l.halfLength[at] = r.halfLength;
      l.cu[at] = l.cx[at] * r.dx + l.cy[at] * r.dy;
      l.cv[at] = l.cy[at] * r.dx - l.cx[at] * r.dy;
    }
  }

  // The stretches of rectangle i's sides that no other rectangle of the run covers, as pieces.
  void OutlineOne(const std::vector<Rectangle>& rectangles, const Lanes& l, int i,
                  const Outlined& self, const Frame& frame, const PictureRows& picture,
                  std::vector<Piece>& pieces) {
    const int n = l.n;
    // Its neighbours in drawing order first: they lie nearest and cover most of its sides;
    // the whole of a short run.
    const int first = n <= kWindow ? 0 : i - kWindow / 2;
    const int lanes = std::min(kWindow, (n + kLanes - 1) / kLanes * kLanes);
    FourSidesSummary summary =
        FourSides(l, self, first, lanes / kLanes, near_.lo, near_.hi, near_.along);
    if (summary.alongAny) SettleAlong(rectangles, n, i, first, lanes, summary);
    SideLine lines[4];
    self.Sides(lines);
    for (int side = 0; side < 4; ++side) {
      if (summary.start[side] >= summary.end[side]) continue;
      const SideLine& line = lines[side];
      int count;
      if (first > 0 || first + lanes < n) {
        // The rest of the run is tried where the neighbours leave anything uncovered.
        stretches_[0] = summary.start[side];
        stretches_[1] = summary.end[side];
        count = Further(rectangles, l, i, side, line, first, lanes, 1);
      } else {
        count = Uncovered(near_.lo[side], near_.hi[side], lanes, stretches_);
      }
      const double k = frame.scale;
      for (int s = 0; s < count; ++s) {
        const double t0 = stretches_[2 * s], t1 = stretches_[2 * s + 1];
        AddPiece(frame.left + k * (line.x + t0 * line.ex), frame.top + k * (line.y + t0 * line.ey),
                 frame.left + k * (line.x + t1 * line.ex), frame.top + k * (line.y + t1 * line.ey),
                 picture, pieces);
      }
    }
  }

  // What each neighbour of i (the `lanes` from `first`) whose side may run along one of i's
  // covers of i's sides, settled exactly; those sides are then all tried further.
  void SettleAlong(const std::vector<Rectangle>& rectangles, int n, int i, int first, int lanes,
                   FourSidesSummary& summary) {
    for (int w = 0; w < lanes; ++w) {
      const int j = first + w;
      if (j >= 0 && j < n && j != i && near_.along[w] >= 0) {
        for (int side = 0; side < 4; ++side) {
          const Stretch c = Settle(rectangles, i, j, side);
          near_.lo[side][w] = c.lo;
          near_.hi[side][w] = c.hi;
          summary.start[side] = 0;
          summary.end[side] = 1;
        }
      }
    }
  }

  // The `count` stretches of i's side left uncovered by its neighbours, tried against the rest
  // of the run; returns how many remain, in stretches_.
  int Further(const std::vector<Rectangle>& rectangles, const Lanes& l, int i, int side,
              const SideLine& line, int first, int lanes, int count) {
    // Only rectangles reaching the part still uncovered can cover any of it.
    const double t0 = stretches_[0], t1 = stretches_[2 * count - 1];
    const double mx = line.x + (t0 + t1) / 2 * line.ex, my = line.y + (t0 + t1) / 2 * line.ey;
    const double reach =
        (t1 - t0) / 2 * std::sqrt(line.ex * line.ex + line.ey * line.ey) + kTouching;
    std::copy_n(near_.lo[side], lanes, far_->lo);
    std::copy_n(near_.hi[side], lanes, far_->hi);
    int at = lanes;
    const int from[2] = {0, first + lanes}, to[2] = {first, l.n};
    for (int part = 0; part < 2; ++part) {
      if (from[part] >= to[part]) continue;
      const int end = OneSide(l, line, from[part], to[part], mx, my, reach, far_->lo, far_->hi,
                              far_->turn, far_->which, at);
      for (int w = at; w < end; ++w) {
        const int j = far_->which[w];
        if (j >= 0 && j < l.n && j != i && far_->turn[w] <= kTouching &&
            MayRunAlong(rectangles[i], rectangles[j])) {
          const Stretch c = Settle(rectangles, i, j, side);
          far_->lo[w] = c.lo;
          far_->hi[w] = c.hi;
        }
      }
      at = end;
    }
    return Uncovered(far_->lo, far_->hi, at, stretches_);
  }

  // What rectangle j covers of side `side` of i, worked out with CoveredStretch, which tells
  // sides that run along each other; lo > hi when nothing.
  static Stretch Settle(const std::vector<Rectangle>& rectangles, int i, int j, int side) {
    const Rectangle& r = rectangles[i];
    SideLine lines[4];
    Outlined{r.cx, r.cy, r.dx * r.halfLength, r.dy * r.halfLength, -r.dy * 0.5, r.dx * 0.5}.Sides(
        lines);
    const SideLine& s = lines[side];
    const double mx[4] = {r.dy, r.dx, -r.dy, -r.dx}, my[4] = {-r.dx, r.dy, r.dx, -r.dy};
    const Stretch c =
        CoveredStretch(s.x, s.y, s.x + s.ex, s.y + s.ey, mx[side], my[side], rectangles[j], j < i);
    return c.lo < c.hi ? c : Stretch{2, -1};
  }

  // Whether a side of `a` may run along a side of `b`, two rectangles parallel or square to
  // each other: whether a side line of one lies within a hair of one of the other.
  static bool MayRunAlong(const Rectangle& a, const Rectangle& b) {
    const double rx = a.cx - b.cx, ry = a.cy - b.cy;
    const double u = std::fabs(rx * b.dx + ry * b.dy), v = std::fabs(ry * b.dx - rx * b.dy);
    // a's half extents along b's axes.
    const double eu = std::fabs(a.dx * b.dx + a.dy * b.dy) * a.halfLength +
                      std::fabs(a.dy * b.dx - a.dx * b.dy) * 0.5;
    const double ev = std::fabs(a.dy * b.dx - a.dx * b.dy) * a.halfLength +
                      std::fabs(a.dx * b.dx + a.dy * b.dy) * 0.5;
    const double hair = 10 * kTouching;
    return std::fabs(u + eu - b.halfLength) <= hair ||
           std::fabs(std::fabs(u - eu) - b.halfLength) <= hair || std::fabs(v + ev - 0.5) <= hair ||
           std::fabs(std::fabs(v - ev) - 0.5) <= hair;
  }

  struct Near {
    alignas(64) double lo[4][kWindow], hi[4][kWindow], along[kWindow];
  };
  struct Far {
    alignas(64) double lo[Lanes::kSize + kWindow], hi[Lanes::kSize + kWindow];
    alignas(64) double turn[Lanes::kSize + kWindow];
    int which[Lanes::kSize + kWindow];
  };
  std::unique_ptr<Lanes> lanes_ = std::make_unique<Lanes>();
  Near near_;
  std::unique_ptr<Far> far_ = std::make_unique<Far>();
  double stretches_[2 * (Lanes::kSize + kWindow + 1)];
};

}  // namespace

// Each batch's outline pieces, in picture pixels, found on every core.
void OutlineBatches(std::span<const Segment> segments, const std::vector<Part>& parts,
                    const PictureRows& picture, const CanvasPlacement& place,
                    std::vector<Batch>& batches, int threads) {
  std::atomic<std::size_t> nextBatch{0};
  OnThreads(threads, [&](int) {
    Outliner outliner;
    std::vector<Rectangle> rectangles;
    for (std::size_t b = nextBatch++; b < batches.size(); b = nextBatch++) {
      Batch& batch = batches[b];
      for (std::uint32_t p = batch.firstPart; p < batch.endPart; ++p) {
        rectangles.clear();
        for (std::uint32_t k = parts[p].begin; k < parts[p].end; ++k) {
          if (const auto r = StrokeRectangle(segments[k], picture, place)) {
            rectangles.push_back(*r);
          }
        }
        if (!rectangles.empty()) outliner.Outline(rectangles, picture, place, batch.pieces);
        batch.partEnds.push_back(static_cast<std::uint32_t>(batch.pieces.size()));
      }
    }
  });
}

}  // namespace stringart::runs_detail
