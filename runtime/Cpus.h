#pragma once

namespace stringart {

// CPUs the calling thread may run on: its affinity, so that `taskset -c 0` counts as one; 1
// where that cannot be told (a build without threads).
int UsableCpus();

}  // namespace stringart
