#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "figure/FigureRecord.h"

namespace stringart {

// Every figure of a run, in the order it was made, and which one is on the screen. A figure is
// kept as its draws and its start and end directions, 49 bytes, never as pixels: 100,000 figures
// take under 5 MB. Storage grows in fixed blocks, so nothing is copied or held twice as it grows.
class FigureHistory {
 public:
  // Adds `figure` after the last one and makes it the one shown.
  void Append(const FigureRecord& figure);
  // Makes the figure at `index` (from 0, below size()) the one shown.
  void Show(std::size_t index);

  // The figure at `index`, from 0, below size().
  FigureRecord At(std::size_t index) const;
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Index of the figure on the screen; meaningless while empty().
  std::size_t shown() const { return shown_; }
  bool CanGoBack() const { return size_ > 0 && shown_ > 0; }
  bool CanGoForward() const { return shown_ + 1 < size_; }

  // Bytes the history holds on the heap, its blocks and their index.
  std::size_t MemoryBytes() const;

 private:
  static constexpr std::size_t kBlockFigures = 4096;
  struct Block {
    std::array<FigureDraws, kBlockFigures> draws;
    std::array<std::uint8_t, kBlockFigures> directions;  // start in bits 0-2, end in bits 3-5
  };
  std::vector<std::unique_ptr<Block>> blocks_;
  std::size_t size_ = 0, shown_ = 0;
};

// A short name of the figure, 12 hexadecimal digits of a hash of its draws and start directions:
// the same figure always gets the same name; two figures share one with odds near 1 in 2^48.
std::string FigureName(const FigureRecord& figure);

}  // namespace stringart
