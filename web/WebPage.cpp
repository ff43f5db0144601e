#include "web/WebPage.h"

#include "figure/Tracer.h"
#include "web/FigureLink.h"

namespace stringart {

void WebPage::NewFigure() {
  picture_.Clear();
  figure_ = figures_.Next(TakeFigureDraws(random_));
}

bool WebPage::ShowLink(std::string_view link, std::string& error) {
  const auto figure = ParseFigureLink(link, error);
  if (!figure) return false;
  picture_.SetBackground(kBlack);
  figure_ = figures_.Next(figure->draws, figure->directions);
  return true;
}

const std::vector<std::uint8_t>& WebPage::Rgba() {
  rgba_.resize(std::size_t{4} * Picture1::kWidth * Picture1::kHeight);
  std::uint8_t* out = rgba_.data();
  for (int y = 0; y < Picture1::kHeight; ++y) {
    for (int x = 0; x < Picture1::kWidth; ++x) {
      const std::uint32_t pixel = picture_.pixels()[y * Picture1::kStride + x];  // 0xFFRRGGBB
      *out++ = static_cast<std::uint8_t>(pixel >> 16);
      *out++ = static_cast<std::uint8_t>(pixel >> 8);
      *out++ = static_cast<std::uint8_t>(pixel);
      *out++ = static_cast<std::uint8_t>(pixel >> 24);
    }
  }
  return rgba_;
}

}  // namespace stringart
