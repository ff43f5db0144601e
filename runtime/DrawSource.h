#pragma once

#include <array>
#include <cstddef>

#include "runtime/Clock.h"
#include "runtime/RandomSource.h"

namespace stringart {

// Where a figure's random draws come from: reseeded once at the start of every figure, then
// asked for one value at a time.
class DrawSource {
 public:
  virtual ~DrawSource() = default;
  virtual void Reseed() = 0;
  virtual float Next() = 0;
};

// The random source reseeded from a clock: what the program runs on.
class ClockedRandom final : public DrawSource {
 public:
  ClockedRandom(RandomSource& source, Clock& clock) : source_(source), clock_(clock) {}
  void Reseed() override { source_.Reseed(clock_.SecondsSinceMidnight()); }
  float Next() override { return source_.Next(); }

 private:
  RandomSource& source_;
  Clock& clock_;
};

// A figure's draws given up front: every reseeding starts the sequence again, so each figure
// takes the same values. Values need not lie in [0, 1); tests hand in NaN and huge ones too.
class SuppliedDraws final : public DrawSource {
 public:
  static constexpr std::size_t kCount = 12;
  explicit SuppliedDraws(const std::array<float, kCount>& draws) : draws_(draws) {}
  void Reseed() override { next_ = 0; }
  float Next() override {
    const float u = draws_[next_];
    next_ = (next_ + 1) % kCount;
    return u;
  }

 private:
  std::array<float, kCount> draws_;
  std::size_t next_ = 0;
};

}  // namespace stringart
