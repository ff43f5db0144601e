#pragma once

namespace stringart {

// The time of day the random source is reseeded from.
class Clock {
 public:
  virtual ~Clock() = default;
  // Local time since midnight in seconds, 0 to below 86400.
  virtual float SecondsSinceMidnight() = 0;
};

// The machine's local time, to the microsecond before it is narrowed to a float.
class SystemClock final : public Clock {
 public:
  float SecondsSinceMidnight() override;
};

// Always reads the same time: reproducible runs and tests.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(float seconds) : seconds_(seconds) {}
  float SecondsSinceMidnight() override { return seconds_; }

 private:
  float seconds_;
};

}  // namespace stringart
