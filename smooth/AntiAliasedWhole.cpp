// A whole drawing at once, front to back.
//
// Most of what a figure paints is covered later: at 1000 x 1000 its strokes cover the picture
// about fifty times over, and its last steps cover most pixels for good. So the runs are walked
// from the last to the first, each pixel keeping the share of it that nothing in front covers
// yet and the colour gathered so far; a pixel left no share is done, and a step over tiles whose
// pixels are all done costs a test of one word.
//
// Each step of the tracer, three strokes a canvas pixel apart, is one shape: across, the strokes
// always touch or overlap, so away from their ends their union is one band; at the ends it is a
// staircase of square ends. A run's coverage of a pixel is the largest of its steps', not the
// area of their union: consecutive steps move the arm by well under a pixel, so the two are close.
//
// The picture is cut into blocks that keep their working rows in a core's cache; each block
// walks the steps that reach it, and the blocks are shared among the usable CPUs.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/Cpus.h"
#include "runtime/OnThreads.h"
#include "smooth/AntiAliased.h"
#include "smooth/AntiAliasedWhole_p.h"
#include "smooth/AntiAliased_p.h"

namespace stringart {
namespace {

using namespace whole_detail;

// Threads a drawing is shared among: the usable CPUs, at most 8; one where there are no threads.
int DrawingThreads() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  return 1;
#else
  return std::clamp(UsableCpus(), 1, 8);
#endif
}

// The picture's blocks, row by row.
struct BlockGrid {
  int across;
  std::size_t count;

  explicit BlockGrid(const PictureRows& picture)
      : across((picture.width + kBlock - 1) / kBlock),
        count(static_cast<std::size_t>(across) * ((picture.height + kBlock - 1) / kBlock)) {}

  // Calls visit(b) for each block b that `window` of step k may reach.
  template <typename Visit>
  void ForEach(const Step& k, const Window& window, const PictureRows& picture,
               Visit&& visit) const {
    const Placed place(k, window, 0, 0, picture.height);
    for (int br = place.first / kBlock; br <= place.last / kBlock && place.first <= place.last;
         ++br) {
      const Columns c = place.Reach(std::max(place.first, br * kBlock),
                                    std::min(place.last, br * kBlock + kBlock - 1), picture.width);
      if (c.first > c.last) continue;
      for (int bc = c.first / kBlock; bc <= c.last / kBlock; ++bc) visit(br * across + bc);
    }
  }
};

// Steps, their windows and how many reach each block, of a stretch of whole runs.
struct Chunk {
  std::size_t first = 0, end = 0;   // segments
  std::vector<RunColour> colours;   // of its runs: the steps point into them
  std::vector<Step> steps;          // those painted: the windows point into them
  std::vector<Window> windows;      // until they join the others'
  std::vector<std::uint32_t> next;  // of each block, where this chunk's entries go
  std::uint32_t firstWindow = 0;
  std::vector<Pose> poses;  // its steps near the picture, while they are found
};

// The segments cut into `count` chunks of whole runs, about equal in length, each empty. A
// colour's change always starts a step, the three strokes of a step being of one colour: each
// chunk finds its steps from its own start as they would be found from the first segment.
void CutChunks(std::span<const Segment> segments, std::size_t count, std::vector<Chunk>& chunks) {
  chunks.resize(count);
  const std::size_t n = segments.size();
  for (std::size_t c = 0, from = 0; c < chunks.size(); ++c) {
    std::size_t to = c + 1 == chunks.size() ? n : n * (c + 1) / chunks.size();
    while (to < n && to > from && segments[to].colour == segments[to - 1].colour) ++to;
    Chunk& chunk = chunks[c];
    chunk.first = from;
    chunk.end = std::max(from, to);
    from = chunk.end;
    chunk.colours.clear();
    chunk.steps.clear();
    chunk.windows.clear();
  }
}

// The steps and their windows of `chunk`, and how many of its windows reach each block.
void FillChunk(Chunk& chunk, std::span<const Segment> segments, const PictureRows& picture,
               const CanvasPlacement& place, const BlockGrid& grid) {
  FindWindows(segments, chunk.first, chunk.end, picture, place, chunk.colours, chunk.poses,
              chunk.steps, chunk.windows);
  chunk.next.assign(grid.count, 0);
  for (const Window& window : chunk.windows) {
    grid.ForEach(*window.step, window, picture, [&](int b) { ++chunk.next[b]; });
  }
}

// Every chunk's windows in one list, and each block's entries in it, front to back, from
// starts[b] to starts[b + 1].
struct Entries {
  std::vector<Window> windows;
  std::vector<std::uint32_t> starts, entries;
};

// Where each block's entries begin, front to back, into `starts`: the last chunk's first. Each
// chunk's counts become where its entries of each block go.
void EntryStarts(std::vector<Chunk>& chunks, std::size_t blocks,
                 std::vector<std::uint32_t>& starts) {
  starts.assign(blocks + 1, 0);
  std::uint32_t entryCount = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    starts[b] = entryCount;
    for (std::size_t c = chunks.size(); c-- > 0;) {
      const std::uint32_t n = chunks[c].next[b];
      chunks[c].next[b] = entryCount;
      entryCount += n;
    }
  }
  starts[blocks] = entryCount;
}

// A request to stop the drawing: `progress` is asked on the calling thread (thread 0) between
// pieces of work of every step, a piece being at most a few tens of milliseconds at the largest
// size, so that a cancel or a signal is heard within a tenth of a second; the other threads see
// the answer before their next piece.
class StopRequest {
 public:
  explicit StopRequest(const WholeProgress& progress) : progress_(progress) {}
  // Whether to stop; on thread 0, `progress` is told `done` first.
  bool Heard(int thread, double done) {
    if (thread == 0 && progress_ && !stopped_ && !progress_(done)) stopped_ = true;
    return stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  const WholeProgress& progress_;
  std::atomic<bool> stopped_{false};
};

// Each block's windows, front to back, gathered from the chunks on every core into `list`.
void ListEntries(std::vector<Chunk>& chunks, const BlockGrid& grid, const PictureRows& picture,
                 int threads, StopRequest& stop, Entries& list) {
  EntryStarts(chunks, grid.count, list.starts);
  std::size_t windowCount = 0;
  for (Chunk& chunk : chunks) {
    chunk.firstWindow = static_cast<std::uint32_t>(windowCount);
    windowCount += chunk.windows.size();
  }
  list.windows.resize(windowCount);
  list.entries.resize(list.starts[grid.count]);
  std::atomic<std::size_t> nextChunk{0};
  OnThreads(threads, [&](int thread) {
    for (std::size_t c = nextChunk++; c < chunks.size() && !stop.Heard(thread, 0.0);
         c = nextChunk++) {
      Chunk& chunk = chunks[c];
      std::copy(chunk.windows.begin(), chunk.windows.end(),
                list.windows.begin() + chunk.firstWindow);
      for (std::size_t i = chunk.windows.size(); i-- > 0;) {
        const std::uint32_t index = chunk.firstWindow + static_cast<std::uint32_t>(i);
        grid.ForEach(*chunk.windows[i].step, chunk.windows[i], picture,
                     [&](int b) { list.entries[chunk.next[b]++] = index; });
      }
    }
  });
}

// Paints the blocks on every core, each thread working in one of `work`, the calling thread
// reporting the share done; false when `stop` was asked for.
bool PaintBlocks(const Entries& list, const BlockGrid& grid, const PictureRows& picture,
                 bool overBlack, StopRequest& stop, int threads,
                 std::vector<std::unique_ptr<BlockWork>>& work) {
  std::atomic<std::size_t> nextBlock{0}, finished{0};
  if (work.size() < static_cast<std::size_t>(threads)) work.resize(threads);
  for (std::unique_ptr<BlockWork>& w : work) {
    if (!w) w = std::make_unique<BlockWork>();
  }
  OnThreads(threads, [&](int thread) {
    BlockWork& w = *work[thread];
    for (std::size_t b = nextBlock++; b < grid.count && !stop.stopped(); b = nextBlock++) {
      const int bx = static_cast<int>(b % grid.across) * kBlock;
      const int by = static_cast<int>(b / grid.across) * kBlock;
      PaintBlock({list.windows.data(), list.entries.data() + list.starts[b],
                  list.starts[b + 1] - list.starts[b], bx, by, overBlack},
                 w, picture);
      const std::size_t done = ++finished;
      stop.Heard(thread, static_cast<double>(done) / grid.count);
    }
  });
  return !stop.stopped();
}

}  // namespace

struct WholeDrawingMemory::Parts {
  std::vector<Chunk> chunks;
  Entries list;
  std::vector<std::unique_ptr<BlockWork>> work;  // a thread's each
};

WholeDrawingMemory::WholeDrawingMemory() : parts_(std::make_unique<Parts>()) {}
WholeDrawingMemory::~WholeDrawingMemory() = default;
WholeDrawingMemory::WholeDrawingMemory(WholeDrawingMemory&&) noexcept = default;
WholeDrawingMemory& WholeDrawingMemory::operator=(WholeDrawingMemory&&) noexcept = default;

bool DrawAntiAliasedWhole(std::span<const Segment> segments, const PictureRows& picture,
                          const CanvasPlacement& place, const WholeProgress& progress,
                          WholeDrawingMemory* memory, WholeGround ground) {
  if (picture.width <= 0 || picture.height <= 0) return true;
  if (segments.empty()) {
    for (int y = 0; y < picture.height && ground == WholeGround::Black; ++y) {
      std::fill_n(picture.pixels + y * picture.stride, picture.width, 0xFF000000u);
    }
    return true;
  }
  std::optional<WholeDrawingMemory> own;
  WholeDrawingMemory::Parts& parts = (memory != nullptr ? *memory : own.emplace()).parts();
  const int threads = DrawingThreads();
  const BlockGrid grid(picture);
  // Four chunks a thread, taken in turn, so that a thread done early takes another; the chunks
  // outlive the painting, whose windows point into their steps.
  std::vector<Chunk>& chunks = parts.chunks;
  CutChunks(segments, 4 * static_cast<std::size_t>(threads), chunks);
  // Nothing is painted until the chunks are filled and listed, which takes a few tenths of a
  // second at the largest sizes: the request to stop is heard between chunks, the share done
  // still told as none.
  StopRequest stop(progress);
  std::atomic<std::size_t> nextChunk{0};
  OnThreads(threads, [&](int thread) {
    for (std::size_t c = nextChunk++; c < chunks.size() && !stop.Heard(thread, 0.0);
         c = nextChunk++) {
      FillChunk(chunks[c], segments, picture, place, grid);
    }
  });
  if (stop.stopped()) return false;
  ListEntries(chunks, grid, picture, threads, stop, parts.list);
  if (stop.stopped()) return false;
  return PaintBlocks(parts.list, grid, picture, ground == WholeGround::Black, stop, threads,
                     parts.work);
}

}  // namespace stringart
