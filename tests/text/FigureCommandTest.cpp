// The figure's text forms: the remake command read back, damage named; file kinds by name.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "text/FigureCommand.h"

namespace stringart {
namespace {

const std::string kExample = FormatDraws(kExampleDraws);

TEST(FigureFile, FormatComesFromTheExtension) {
  EXPECT_EQ(FormatForPath("a.png"), FigureFormat::Png);
  EXPECT_EQ(FormatForPath("dir.svg/A.SVG"), FigureFormat::Svg);
  EXPECT_EQ(FormatForPath("png"), std::nullopt);
  EXPECT_EQ(FormatForPath("a.png.txt"), std::nullopt);
}

TEST(FigureCommand, RemakeCommandReadsBackAndDamageIsNamed) {
  std::string error;
  const FigureRecord figure{*ParseDraws(kExample, error), {-1, 1, -1}, {}};
  EXPECT_EQ(ParseRemakeCommand(RemakeCommand(figure), error), figure) << error;
  // What large pictures and animations carry.
  EXPECT_EQ(ParseRemakeCommand(RemakeCommand(figure, {3840, 2160}, 8, 30), error), figure) << error;
  EXPECT_EQ(ParseRemakeCommand(" stringart-render\t--directions=-1,1,-1 --draws=" + kExample + "\n",
                               error),
            figure)
      << error;
  EXPECT_EQ(ParseRemakeCommand("stringart-render --draws " + kExample, error)->start,
            (Directions{1, 1, 1}));
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"", "not a stringart-render command"},
      {"convert --draws " + kExample, "not a stringart-render command"},
      {"stringart-render --directions 1,1,1", "no draws"},
      {"stringart-render --draws", "the draws are missing"},
      {"stringart-render --draws 0.1,0.2", "expected 12 draws"},
      {"stringart-render --draws " + kExample + " --draws " + kExample, "given twice"},
      {"stringart-render --draws " + kExample + " --directions 1,0,1", "direction '0'"},
      {"stringart-render --draws " + kExample + " -o f.png", "unexpected '-o'"},
      {"stringart-render --draws " + kExample + " --size", "the size is missing"},
  };
  for (const auto& [text, why] : damaged) {
    error.clear();
    EXPECT_EQ(ParseRemakeCommand(text, error), std::nullopt) << text;
    EXPECT_NE(error.find(why), std::string::npos) << text << ": " << error;
  }
}

}  // namespace
}  // namespace stringart
