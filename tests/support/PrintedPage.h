// Pages the program printed, read back with poppler's tools and compared with the canvas a
// tenth of the figure at a time.
#pragma once

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/support/PngImage.h"

namespace stringart::testing {

// What `command` wrote to its standard output.
inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// The first page of `pdf` at `dpi`, as pdftoppm draws it into `png` (a path without ".png").
inline Image PdfPage(const std::string& pdf, double dpi, const std::string& png) {
  Output("pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" + pdf + "' '" + png + "'");
  return ReadPng(png + ".png");
}

// The box around what is not white on `page`, pixels: left, top and one past right and bottom.
struct Box {
  int left, top, right, bottom;
};
inline Box InkBox(const Image& page) {
  Box box{page.width, page.height, 0, 0};
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      if ((page.at(x, y) & 0xFFFFFFu) == 0xFFFFFFu) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
  }
  return box;
}

// The mean red, green and blue of each tenth by tenth of the square `side` pixels wide at
// (left, top) of `image`, row by row.
inline std::array<double, 300> Blocks(const Image& image, double left, double top, double side) {
  std::array<double, 300> sums{};
  std::array<int, 100> counts{};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const int bx = static_cast<int>(std::floor((x + 0.5 - left) / side * 10));
      const int by = static_cast<int>(std::floor((y + 0.5 - top) / side * 10));
      if (bx < 0 || by < 0 || bx > 9 || by > 9) continue;
      const std::uint32_t p = image.at(x, y);
      const int b = by * 10 + bx;
      sums[b * 3] += Red(p);
      sums[b * 3 + 1] += Green(p);
      sums[b * 3 + 2] += Blue(p);
      ++counts[b];
    }
  }
  for (int b = 0; b < 100; ++b)
    for (int c = 0; c < 3; ++c) sums[b * 3 + c] /= counts[b];
  return sums;
}

// How far, in levels on average, the upright square on `page` looks from `canvas` (another
// figure is about 38 levels off; the same one printed, under 6).
inline double LevelsOff(const Image& page, const Image& canvas) {
  const Box box = InkBox(page);
  const auto printed = Blocks(page, box.left, box.top, box.right - box.left);
  const auto shown = Blocks(canvas, 0, 0, canvas.width);
  double off = 0;
  for (std::size_t i = 0; i < printed.size(); ++i) off += std::fabs(printed[i] - shown[i]);
  return off / printed.size();
}

}  // namespace stringart::testing
