#include "smooth/LargePicture.h"

#include <algorithm>
#include <new>

#include "smooth/AntiAliased.h"

namespace stringart {
namespace {

constexpr double kCanvasSide = 500.0;  // pixels of the canvas the figure is traced on

}  // namespace

LargePicture::LargePicture(int width, int height)
    : width_(width),
      height_(height),
      scale_(std::min(width, height) / kCanvasSide),
      left_((width - kCanvasSide * scale_) / 2),
      top_((height - kCanvasSide * scale_) / 2),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u) {}

void LargePicture::Clear() {
  std::fill(pixels_.begin(), pixels_.end(), 0xFF000000u);
}

void LargePicture::Draw(std::span<const Segment> segments) {
  DrawAntiAliased(segments, {pixels_.data(), width_, height_, width_}, {scale_, left_, top_});
}

bool LargePicture::DrawWhole(std::span<const Segment> segments, const WholeProgress& progress) {
  return DrawAntiAliasedWhole(segments, {pixels_.data(), width_, height_, width_},
                              {scale_, left_, top_}, progress, &memory_);
}

bool LargePicture::DrawWholeOnBlack(std::span<const Segment> segments,
                                    const WholeProgress& progress) {
  return DrawAntiAliasedWhole(segments, {pixels_.data(), width_, height_, width_},
                              {scale_, left_, top_}, progress, &memory_, WholeGround::Black);
}

std::optional<LargePicture> LargePicture::Make(int width, int height, std::string& error) {
  try {
    return LargePicture(width, height);
  } catch (const std::bad_alloc&) {
    error = "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels";
    return std::nullopt;
  }
}

}  // namespace stringart
