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
// Before the run's first figure lie the figures of earlier runs, newest first, as far as they
// have been fetched.
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
  // Index of the figure on the screen; meaningless while empty() or while an earlier run's
  // figure is shown.
  std::size_t shown() const { return shown_; }
  bool CanGoBack() const {
    return shownEarlier_ > 0 ? shownEarlier_ < earlier_.size()
                             : size_ > 0 && (shown_ > 0 || !earlier_.empty());
  }
  bool CanGoForward() const { return shownEarlier_ > 0 || shown_ + 1 < size_; }

  // Adds a figure of an earlier run, older than every one added before.
  void AddEarlier(const FigureRecord& figure) { earlier_.push_back(figure); }
  // How many earlier runs' figures have been added.
  std::size_t earlierSize() const { return earlier_.size(); }
  // The earlier run's figure `back` places before the run's first figure, from 1.
  const FigureRecord& Earlier(std::size_t back) const { return earlier_[back - 1]; }
  // Makes that figure the one shown.
  void ShowEarlier(std::size_t back);
  // How far back into earlier runs the figure shown lies, from 1; 0 when it is the run's own.
  std::size_t shownEarlier() const { return shownEarlier_; }

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
  std::vector<FigureRecord> earlier_;  // newest first
  std::size_t shownEarlier_ = 0;
};

// A short name of the figure, 12 hexadecimal digits of a hash of its draws and start directions:
// the same figure always gets the same name; two figures share one with odds near 1 in 2^48.
std::string FigureName(const FigureRecord& figure);

}  // namespace stringart
