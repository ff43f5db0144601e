#include "smooth/LargePicture.h"

#include <algorithm>
#include <new>

#include "smooth/AntiAliased.h"

namespace stringart {
namespace {

constexpr double kCanvasSide = 500.0;  // pixels of the canvas the figure is traced on

}  // namespace

LargePicture::LargePicture(int width, int height, Unpainted)
    : width_(width),
      height_(height),
      scale_(std::min(width, height) / kCanvasSide),
      left_((width - kCanvasSide * scale_) / 2),
      top_((height - kCanvasSide * scale_) / 2),
      pixels_(new std::uint32_t[count()]) {}  // not value-initialised: no pass over the pixels

LargePicture::LargePicture(int width, int height) : LargePicture(width, height, Unpainted{}) {
  Clear();
}

void LargePicture::Clear() {
  std::fill_n(pixels_.get(), count(), 0xFF000000u);
}

void LargePicture::Draw(std::span<const Segment> segments) {
  DrawAntiAliased(segments, {pixels_.get(), width_, height_, width_}, {scale_, left_, top_});
}

bool LargePicture::DrawWhole(std::span<const Segment> segments, const WholeProgress& progress) {
  return DrawAntiAliasedWhole(segments, {pixels_.get(), width_, height_, width_},
                              {scale_, left_, top_}, progress, &memory_);
}

bool LargePicture::DrawWholeOnBlack(std::span<const Segment> segments,
                                    const WholeProgress& progress) {
  return DrawAntiAliasedWhole(segments, {pixels_.get(), width_, height_, width_},
                              {scale_, left_, top_}, progress, &memory_, WholeGround::Black);
}

std::optional<LargePicture> LargePicture::Make(int width, int height, std::string& error) {
  auto picture = MakeUnpainted(width, height, error);
  if (picture) picture->Clear();
  return picture;
}

std::optional<LargePicture> LargePicture::MakeUnpainted(int width, int height, std::string& error) {
  try {
    return LargePicture(width, height, Unpainted{});
  } catch (const std::bad_alloc&) {
    error = "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels";
    return std::nullopt;
  }
}

}  // namespace stringart
