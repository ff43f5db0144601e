#include "paper/PenPlot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "paper/PenPlot_p.h"
#include "runtime/RandomSource.h"

// The pens a figure's colours come down to, chosen in CIELAB.
namespace stringart {
namespace {

double Squared(const Lab& p, const Lab& q) {
  const double dl = p.l - q.l, da = p.a - q.a, db = p.b - q.b;
  return dl * dl + da * da + db * db;
}

constexpr double kWhiteX = 0.95047, kWhiteY = 1.0, kWhiteZ = 1.08883;
constexpr double kDelta = 6.0 / 29.0;

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Lab ToLab(Colour colour) {
  static const std::array<double, 256> linear = [] {
    std::array<double, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = Linear(i);
    return table;
  }();
  const double r = linear[colour.red()], g = linear[colour.green()], b = linear[colour.blue()];
  auto f = [](double t) {
    return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3 * kDelta * kDelta) + 4.0 / 29.0;
  };
  const double fx = f((0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / kWhiteX);
  const double fy = f((0.2126729 * r + 0.7151522 * g + 0.0721750 * b) / kWhiteY);
  const double fz = f((0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / kWhiteZ);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Colour FromLab(const Lab& lab) {
  auto finv = [](double t) {
    return t > kDelta ? t * t * t : 3 * kDelta * kDelta * (t - 4.0 / 29.0);
  };
  const double fy = (lab.l + 16) / 116;
  const double x = kWhiteX * finv(fy + lab.a / 500), y = kWhiteY * finv(fy),
               z = kWhiteZ * finv(fy - lab.b / 200);
  auto channel = [](double c) {
    c = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(std::max(c, 0.0), 1 / 2.4) - 0.055;
    return static_cast<std::int16_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
  };
  return PackColour(channel(3.2404542 * x - 1.5371385 * y - 0.4985314 * z),
                    channel(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z),
                    channel(0.0556434 * x - 0.2040259 * y + 1.0572252 * z));
}

double Length(const Segment& s) {
  return std::hypot(static_cast<double>(s.toX) - s.fromX, static_cast<double>(s.toY) - s.fromY);
}

// The figure's colours, each once, with the length of its segments.
std::vector<std::pair<Colour, double>> ColourInk(std::span<const Segment> segments) {
  std::vector<std::pair<Colour, double>> ink;
  for (const Segment& s : segments) {
    // Consecutive segments mostly share their colour: three a step, and steps drift slowly.
    if (ink.empty() || ink.back().first != s.colour) ink.emplace_back(s.colour, 0.0);
    ink.back().second += Length(s);
  }
  std::sort(ink.begin(), ink.end(),
            [](const auto& p, const auto& q) { return p.first.value < q.first.value; });
  std::size_t kept = 0;
  for (std::size_t i = 0; i < ink.size(); ++i) {
    if (kept > 0 && ink[kept - 1].first == ink[i].first) {
      ink[kept - 1].second += ink[i].second;
    } else {
      ink[kept++] = ink[i];
    }
  }
  ink.resize(kept);
  return ink;
}

// The index of the nearest of `centres` to `point`.
std::size_t Nearest(const Lab& point, std::span<const Lab> centres) {
  std::size_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t c = 0; c < centres.size(); ++c) {
    const double d = Squared(point, centres[c]);
    if (d < bestDistance) bestDistance = d, best = c;
  }
  return best;
}

// k-means++: each further centre drawn with odds of its weight times its squared distance to
// the nearest centre so far, which spreads the centres over the colours that matter.
std::vector<Lab> SeedCentres(std::span<const Lab> points, std::span<const double> weights,
                             std::size_t count) {
  RandomSource random(RandomSource::kInitialState);
  std::vector<Lab> centres;
  std::vector<double> odds(weights.begin(), weights.end());
  std::vector<double> nearest(points.size(), std::numeric_limits<double>::infinity());
  while (centres.size() < count) {
    double total = 0;
    for (const double o : odds) total += o;
    double pick = random.Next() * total;
    std::size_t chosen = 0;
    while (chosen + 1 < odds.size() && (odds[chosen] == 0 || pick >= odds[chosen])) {
      pick -= odds[chosen++];
    }
    centres.push_back(points[chosen]);
    for (std::size_t i = 0; i < points.size(); ++i) {
      nearest[i] = std::min(nearest[i], Squared(points[i], centres.back()));
      odds[i] = weights[i] * nearest[i];
    }
  }
  return centres;
}

// Which of `centres` each of `points` lies nearest, into `cluster`; whether any changed.
bool AssignClusters(std::span<const Lab> points, std::span<const Lab> centres,
                    std::vector<std::size_t>& cluster) {
  bool moved = false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::size_t c = Nearest(points[i], centres);
    moved |= c != cluster[i];
    cluster[i] = c;
  }
  return moved;
}

// Each centre moved to the weighted mean of its cluster's points.
void MoveCentres(std::span<const Lab> points, std::span<const double> weights,
                 std::span<const std::size_t> cluster, std::vector<Lab>& centres) {
  std::vector<Lab> sum(centres.size());
  std::vector<double> mass(centres.size(), 0.0);
  for (std::size_t i = 0; i < points.size(); ++i) {
    Lab& s = sum[cluster[i]];
    s.l += weights[i] * points[i].l, s.a += weights[i] * points[i].a;
    s.b += weights[i] * points[i].b;
    mass[cluster[i]] += weights[i];
  }
  for (std::size_t c = 0; c < centres.size(); ++c) {
    if (mass[c] > 0) {
      centres[c] = {sum[c].l / mass[c], sum[c].a / mass[c], sum[c].b / mass[c]};
      continue;
    }
    // A centre that lost every colour takes the one its own centre keeps worst.
    std::size_t worst = 0;
    double worstCost = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double cost = weights[i] * Squared(points[i], centres[cluster[i]]);
      if (cost > worstCost) worstCost = cost, worst = i;
    }
    centres[c] = points[worst];
  }
}

// A CIELAB distance from the paper under which ink hardly shows on it (2 is about the least the
// eye tells apart).
constexpr double kHidden = 10;

// `count` pens for more colours than that: the centres of k-means over the colours' ink, each
// pen once.
std::vector<Colour> ClusteredPens(std::span<const std::pair<Colour, double>> ink, std::size_t count,
                                  std::optional<Colour> paper) {
  std::vector<Lab> points;
  std::vector<double> weights;
  for (const auto& [colour, length] : ink) {
    points.push_back(ToLab(colour));
    // A segment of no length still has its colour on paper, as a dot.
    double weight = std::max(length, 1e-3);
    if (paper) {
      // Ink that stands out little from the paper (CIELAB distances under 25) counts the less
      // the nearer it lies.
      const double contrast = std::sqrt(Squared(points.back(), ToLab(*paper))) / 25;
      weight *= std::clamp(contrast * contrast, 1e-4, 1.0);
    }
    weights.push_back(weight);
  }
  std::vector<Lab> centres = SeedCentres(points, weights, count);
  std::vector<std::size_t> cluster(points.size(), centres.size());
  for (int round = 0; round < 100; ++round) {
    if (!AssignClusters(points, centres, cluster)) break;
    MoveCentres(points, weights, cluster, centres);
  }
  std::vector<Colour> pens;
  for (const Lab& centre : centres) {
    const Colour colour = FromLab(centre);
    if (std::find(pens.begin(), pens.end(), colour) == pens.end()) pens.push_back(colour);
  }
  return pens;
}

// `pens` numbered by when the figure lays each pen's ink, on average over its length: what the
// screen shows on top of the rest is plotted after it.
std::vector<Colour> InLayingOrder(std::span<const Segment> segments,
                                  const std::vector<Colour>& pens) {
  std::vector<Lab> centres;
  for (const Colour pen : pens) centres.push_back(ToLab(pen));
  // Segment indices, averaged over each pen's length.
  std::vector<double> when(pens.size(), 0.0), mass(pens.size(), 0.0);
  Colour known = segments.empty() ? Colour{} : segments[0].colour;
  std::size_t pen = pens.empty() ? 0 : Nearest(ToLab(known), centres);
  for (std::size_t i = 0; i < segments.size() && !pens.empty(); ++i) {
    if (segments[i].colour != known) {
      known = segments[i].colour;
      pen = Nearest(ToLab(known), centres);
    }
    const double length = std::max(Length(segments[i]), 1e-3);
    when[pen] += length * static_cast<double>(i);
    mass[pen] += length;
  }
  std::vector<std::size_t> order(pens.size());
  for (std::size_t p = 0; p < order.size(); ++p) {
    order[p] = p;
    // A pen nearest to no segment (its centre moved off in the rounding) goes last.
    when[p] = mass[p] > 0 ? when[p] / mass[p] : std::numeric_limits<double>::infinity();
  }
  std::stable_sort(order.begin(), order.end(),
                   [&when](std::size_t p, std::size_t q) { return when[p] < when[q]; });
  std::vector<Colour> numbered;
  for (const std::size_t p : order) numbered.push_back(pens[p]);
  return numbered;
}

}  // namespace

std::vector<Colour> ReducePens(std::span<const Segment> segments, int count,
                               std::optional<Colour> paper) {
  auto ink = ColourInk(segments);
  if (paper) {
    // Ink the eye hardly tells from the paper gets no pen of its own, unless it is all there is:
    // its strokes take the nearest pen that shows.
    const Lab ground = ToLab(*paper);
    auto hidden = [&ground](const std::pair<Colour, double>& i) {
      return Squared(ToLab(i.first), ground) < kHidden * kHidden;
    };
    if (!std::all_of(ink.begin(), ink.end(), hidden)) std::erase_if(ink, hidden);
  }
  std::vector<Colour> pens;
  if (ink.size() <= static_cast<std::size_t>(std::max(count, 0))) {
    for (const auto& [colour, length] : ink) pens.push_back(colour);
  } else {
    pens = ClusteredPens(ink, static_cast<std::size_t>(count), paper);
  }
  return InLayingOrder(segments, pens);
}

PenChooser::PenChooser(std::span<const Colour> pens) {
  centres_.reserve(pens.size());
  for (const Colour pen : pens) centres_.push_back(ToLab(pen));
  if (!centres_.empty()) pen_ = Nearest(ToLab(known_), centres_);
}

std::size_t PenChooser::operator()(Colour colour) {
  if (colour != known_) known_ = colour, pen_ = Nearest(ToLab(colour), centres_);
  return pen_;
}

std::size_t NearestPen(Colour colour, std::span<const Colour> pens) {
  return PenChooser(pens)(colour);
}

}  // namespace stringart
