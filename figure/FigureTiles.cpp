#include "figure/FigureTiles.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "canvas/AreaAverage.h"
#include "canvas/Picture1.h"
#include "figure/Tracer.h"
#include "runtime/Cpus.h"
#include "runtime/OnThreads.h"

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
  const std::size_t cores = static_cast<std::size_t>(UsableCpus());
  OnThreads(static_cast<int>(std::min(cores, figures.size())), [&](int) { work(); });
}

}  // namespace stringart
