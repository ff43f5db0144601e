// The history of a run's figures without the window: what it keeps, in how many bytes, and the
// figures' names.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "figure/FigureHistory.h"

namespace stringart {
namespace {

// A figure of its own for every `i`, with every pattern of start and end directions.
FigureRecord Numbered(std::size_t i) {
  FigureRecord figure;
  for (std::size_t k = 0; k < kFigureDraws; ++k) {
    figure.draws[k] = static_cast<float>((i * 7919 + k * 104729) % 1000003) / 1000003.0f;
  }
  auto sign = [i](int bit) { return static_cast<std::int16_t>(i >> bit & 1 ? -1 : 1); };
  figure.start = {sign(0), sign(1), sign(2)};
  figure.end = {sign(3), sign(4), sign(5)};
  return figure;
}

TEST(FigureHistory, KeepsAHundredThousandFiguresExactlyInUnderTenMegabytes) {
  constexpr std::size_t kFigures = 100000;
  FigureHistory history;
  EXPECT_TRUE(history.empty());
  EXPECT_FALSE(history.CanGoBack());
  std::set<std::string> names;
  for (std::size_t i = 0; i < kFigures; ++i) {
    history.Append(Numbered(i));
    names.insert(FigureName(Numbered(i)));
  }
  ASSERT_EQ(history.size(), kFigures);
  EXPECT_EQ(history.shown(), kFigures - 1) << "the figure appended last is the one shown";
  EXPECT_LE(history.MemoryBytes(), 10u * 1000 * 1000) << "bytes for " << kFigures << " figures";
  for (std::size_t i = 0; i < kFigures; ++i) {
    ASSERT_EQ(history.At(i), Numbered(i)) << "figure " << i;
  }
  // Names: one per figure, stable, and twelve hexadecimal digits.
  EXPECT_EQ(names.size(), kFigures);
  EXPECT_EQ(FigureName(Numbered(5)), FigureName(Numbered(5)));
  EXPECT_EQ(FigureName(Numbered(5)).find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(FigureName(Numbered(5)).size(), 12u);

  history.Show(0);
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_TRUE(history.CanGoForward());
  history.Append(Numbered(kFigures));
  EXPECT_EQ(history.shown(), kFigures) << "a new figure goes to the end, whatever was shown";
}

}  // namespace
}  // namespace stringart
