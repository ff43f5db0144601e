#include "runtime/VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace stringart {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// Compiled for AVX alone, so that the rest of the program stays baseline x86-64 and runs on
// processors without it; called only where the processor reports AVX.
__attribute__((target("avx"))) void ZeroUpper() {
  _mm256_zeroupper();
}

}  // namespace

bool ClearsUpperVectorState() {
  static const bool hasAvx = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
  }();
  return hasAvx;
}

void ClearUpperVectorState() {
  if (ClearsUpperVectorState()) ZeroUpper();
}

#else

bool ClearsUpperVectorState() {
  return false;
}

void ClearUpperVectorState() {}

#endif

}  // namespace stringart
