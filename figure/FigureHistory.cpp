#include "figure/FigureHistory.h"

#include <cassert>
#include <cstring>

namespace stringart {
namespace {

// One bit per channel, set when it falls.
std::uint8_t PackDirections(Directions d) {
  return static_cast<std::uint8_t>((d.red < 0 ? 1 : 0) | (d.green < 0 ? 2 : 0) |
                                   (d.blue < 0 ? 4 : 0));
}

Directions UnpackDirections(unsigned bits) {
  auto sign = [](unsigned bit) { return static_cast<std::int16_t>(bit ? -1 : 1); };
  return {sign(bits & 1), sign(bits & 2), sign(bits & 4)};
}

}  // namespace

void FigureHistory::Append(const FigureRecord& figure) {
  const std::size_t slot = size_ % kBlockFigures;
  if (slot == 0) blocks_.push_back(std::make_unique<Block>());
  Block& block = *blocks_.back();
  block.draws[slot] = figure.draws;
  block.directions[slot] =
      static_cast<std::uint8_t>(PackDirections(figure.start) | PackDirections(figure.end) << 3);
  shown_ = size_++;
  shownEarlier_ = 0;
}

void FigureHistory::Show(std::size_t index) {
  assert(index < size_);
  shown_ = index;
  shownEarlier_ = 0;
}

void FigureHistory::ShowEarlier(std::size_t back) {
  assert(back >= 1 && back <= earlier_.size());
  shownEarlier_ = back;
}

FigureRecord FigureHistory::At(std::size_t index) const {
  assert(index < size_);
  const Block& block = *blocks_[index / kBlockFigures];
  const std::size_t slot = index % kBlockFigures;
  const unsigned bits = block.directions[slot];
  return {block.draws[slot], UnpackDirections(bits), UnpackDirections(bits >> 3)};
}

std::size_t FigureHistory::MemoryBytes() const {
  return blocks_.size() * sizeof(Block) + blocks_.capacity() * sizeof(blocks_[0]) +
         earlier_.capacity() * sizeof(FigureRecord);
}

std::string FigureName(const FigureRecord& figure) {
  // FNV-1a over the draws' bits and the start directions, then a SplitMix64 finaliser so that
  // the twelve digits kept depend on every input bit.
  std::uint64_t hash = 0xcbf29ce484222325u;
  auto mix = [&hash](std::uint32_t word) {
    for (int byte = 0; byte < 4; ++byte) {
      hash = (hash ^ ((word >> (8 * byte)) & 0xFFu)) * 0x100000001b3u;
    }
  };
  for (float u : figure.draws) {
    std::uint32_t bits;
    std::memcpy(&bits, &u, sizeof bits);
    mix(bits);
  }
  mix(PackDirections(figure.start));
  hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9u;
  hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebu;
  hash ^= hash >> 31;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name(12, '0');
  for (char& digit : name) {
    digit = kDigits[hash >> 60];
    hash <<= 4;
  }
  return name;
}

}  // namespace stringart
