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
  const double fraction = duration<double>(now - floor<seconds>(now)).count();
  return static_cast<float>(local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction);
}

}  // namespace stringart
