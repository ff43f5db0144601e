// The fast anti-aliased rasteriser, in two steps:
//
// 1. Outlines. For each run of one colour, the stretches of its rectangles' sides that no other
//    rectangle of the run covers: the outline of their union, as directed pieces. Every pair of
//    rectangles of a run is tried, sixteen at a time.
// 2. Bands. The picture is cut into bands of rows; each takes the pieces that reach it in drawing
//    order and, run by run, sums their signed areas into cells whose running sum along a row is
//    the area of each pixel inside the union, then lays the run's colour over the band with it.
//
// Both steps are shared among the usable CPUs.
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
#include "smooth/AntiAliased_p.h"

namespace stringart {
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
  Doubles v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
STRINGART_COPY_INLINE void Store(double* p, Doubles v) {
  std::memcpy(p, &v, sizeof v);
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

// A piece of a run's outline in picture pixels, from (x0, y0) down to (x1, y1), y0 < y1, within
// the picture's columns; `direction` 1 when the union lies towards smaller x, -1 towards greater.
struct Piece {
  float x0, y0, x1, y1, direction;
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

// A part of a run as drawn: its segments and colour.
struct Part {
  std::uint32_t begin, end;
  std::uint32_t colour;  // the pixel word
};

// Consecutive parts outlined by one thread in one go, and what they gave.
struct Batch {
  std::uint32_t firstPart = 0, endPart = 0;
  std::vector<Piece> pieces;
  std::vector<std::uint32_t> partEnds;  // for each part, where its pieces end
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
