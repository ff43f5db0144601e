#include "runtime/Cpus.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace stringart {

int UsableCpus() {
#if defined(__linux__)
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return CPU_COUNT(&set);
#else
  return 1;
#endif
}

}  // namespace stringart
