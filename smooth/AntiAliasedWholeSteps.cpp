// Choosing what the whole drawing paints: each step posed on the picture, and of each run the
// steps painted whole and those painted only around their ends.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "smooth/AntiAliasedWhole_p.h"
#include "smooth/AntiAliased_p.h"

namespace stringart::whole_detail {
namespace {

using smooth_detail::CanvasSegment;

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

}  // namespace

void FindWindows(std::span<const Segment> segments, std::size_t first, std::size_t end,
                 const PictureRows& picture, const CanvasPlacement& place,
                 std::vector<RunColour>& colours, std::vector<Pose>& posesRoom,
                 std::vector<Step>& steps, std::vector<Window>& windows) {
  // A vector of the function's own, so that the compiler keeps its ends in registers; its room
  // goes back to the caller for the next drawing.
  std::vector<Pose> poses = std::move(posesRoom);
  poses.clear();
  poses.reserve((end - first) / 3 + 1);
  for (std::size_t i = first; i < end;) {
    if (i == first || !(segments[i].colour == segments[i - 1].colour)) {
      const Colour c = segments[i].colour;
      colours.push_back({static_cast<float>(c.red()), static_cast<float>(c.green()),
                         static_cast<float>(c.blue())});
    }
    const bool tracerStep = i + 2 < end && IsTracerStep(&segments[i]);
    const auto run = static_cast<std::uint32_t>(colours.size() - 1);
    if (const auto drawn = smooth_detail::DrawnSegment(segments[i])) {
      if (!MakePose(*drawn, tracerStep, picture, place, run, poses.emplace_back())) {
        poses.pop_back();
      }
    }
    i += tracerStep ? 3 : 1;
  }
  // No more steps than poses: the windows' pointers into them stay valid.
  steps.reserve(steps.size() + poses.size());
  for (std::uint32_t from = 0; from < poses.size();) {
    std::uint32_t to = from + 1;
    while (to < poses.size() && poses[to].run == poses[from].run) ++to;
    RunWindows(poses, from, to, colours[poses[from].run], place.scale, steps, windows);
    from = to;
  }
  posesRoom = std::move(poses);
}

}  // namespace stringart::whole_detail
