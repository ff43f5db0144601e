#pragma once

#include <cstddef>

namespace stringart {

// Which way the next figure goes: the quicker of one thread and two, by the recent figures' times
// on a raster of one size. Each way is first timed twice, the first time only to warm it up (the
// second thread starts, buffers are made); then the quicker way is kept, and every
// kTryOtherEvery figures the other is timed again, so that a change in the machine's load is seen.
class Pace {
 public:
  static constexpr unsigned kTryOtherEvery = 16;

  explicit Pace(std::size_t pixels = 0) : pixels_(pixels) {}

  // Whether the next figure, on a raster of `pixels`, goes on two threads.
  bool TwoNext(std::size_t pixels) {
    if (pixels != pixels_) *this = Pace(pixels);
    if (two_.count < 2 || one_.count < 2) return two_.count <= one_.count;
    const bool quicker = two_.seconds <= one_.seconds;
    return ++figures_ % kTryOtherEvery == 0 ? !quicker : quicker;
  }
  // A figure took `seconds` on two threads or on one.
  void Took(bool two, double seconds) {
    Way& way = two ? two_ : one_;
    // A running mean over the last few figures: figures differ in length, and load changes.
    way.seconds = way.count == 1 ? seconds : 0.75 * way.seconds + 0.25 * seconds;
    ++way.count;
  }

 private:
  struct Way {
    unsigned count = 0;  // figures timed; the first is not counted in `seconds`
    double seconds = 0;  // a figure's seconds, of late
  };
  std::size_t pixels_ = 0;
  unsigned figures_ = 0;
  Way one_, two_;
};

}  // namespace stringart
