#pragma once

#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
#include <thread>
#include <vector>
#endif

namespace stringart {

// Runs work(0) on the calling thread and work(1) to work(threads - 1) each on a thread of its
// own, and returns when all have ended. A WebAssembly build without threads runs work(0) alone,
// and links no thread code.
template <typename Work>
void OnThreads([[maybe_unused]] int threads, const Work& work) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  work(0);
#else
  std::vector<std::thread> others;
  for (int t = 1; t < threads; ++t) others.emplace_back([&work, t] { work(t); });
  work(0);
  for (std::thread& other : others) other.join();
#endif
}

}  // namespace stringart
