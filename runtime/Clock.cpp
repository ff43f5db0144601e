#include "runtime/Clock.h"

#include <chrono>
#include <ctime>

namespace stringart {

float SystemClock::SecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1'000'000;
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return static_cast<float>(seconds + static_cast<double>(micros < 0 ? micros + 1'000'000 : micros) * 1e-6);
}

}  // namespace stringart
