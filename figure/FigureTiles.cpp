#include "figure/FigureTiles.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "canvas/AreaAverage.h"
#include "canvas/Picture1.h"
#include "figure/Tracer.h"
#include "runtime/Cpus.h"

namespace stringart {

void TraceTiles(std::span<const FigureRecord> figures, int side,
                std::span<std::vector<std::uint32_t>> tiles) {
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    Picture1 picture;  // a raster a thread, reused from figure to figure
    for (std::size_t i; (i = next.fetch_add(1)) < figures.size();) {
      TraceAgain(figures[i], picture);
      tiles[i].resize(static_cast<std::size_t>(side) * side);
      AreaAverage(picture.pixels(), Picture1::kWidth, Picture1::kHeight, Picture1::kStride,
                  tiles[i].data(), side, side, side);
    }
  };
#ifdef __EMSCRIPTEN__
  work();  // the web page is built without threads
#else
  const std::size_t cores = static_cast<std::size_t>(UsableCpus());
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < std::min(cores, figures.size()); ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
#endif
}

}  // namespace stringart
