#pragma once

#include <cstdint>

#include "figure/FigureRecord.h"

namespace stringart {

// Figures near a given one: each of its twelve draws moved by at most a strength, and the draws
// of the figures between two.

// Strengths of a variation, from subtle to wild, and the one a window starts with.
inline constexpr double kSubtleStrength = 0.005, kWildStrength = 0.5, kDefaultStrength = 0.05;

// `u` moved by `offset` (|offset| < 1), reflected back into [0, 1) at either end and rounded once
// to the nearest float, then stepped one float towards `u` if that rounding carried it further
// than |offset| from `u` or onto 1. The result lies in [0, 1) and within |offset| of `u`.
float VaryDraw(float u, double offset);

// How far draw `draw` may move at `strength` (up to kWildStrength): the whole strength for a draw
// that only colours the figure, less for those that move it more, so that every draw changes the
// figure about as much. At wild every draw may move by the strength itself, and a variation is
// as apart as an unrelated figure.
double DrawReach(std::size_t draw, double strength);

// `draws` with each draw moved by an amount drawn evenly from [-reach, reach], its DrawReach at
// `strength` (in [0, kWildStrength]), from a SplitMix64 sequence that starts at `seed` and is
// left where it stopped.
FigureDraws VaryDraws(const FigureDraws& draws, double strength, std::uint64_t& seed);

// The draws of frame `k` of `frames` (k from 0) of a morph from `from` to `to`: each
// u = (1 - t) * a + t * b with t = k / (frames - 1), every operation in double, rounded once to
// float; t is 0 when there is one frame. Frame 0 is `from` and frame frames - 1 is `to`, exactly.
FigureDraws MorphDraws(const FigureDraws& from, const FigureDraws& to, long k, long frames);

}  // namespace stringart
