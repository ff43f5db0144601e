// The figure's text forms: the remake command read back, damage named; file kinds by name.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "options/ExportRequest.h"
#include "options/FigureCommand.h"
#include "text/Quote.h"
#include "text/TimeLeft.h"

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
  EXPECT_EQ(ParseRemakeCommand(" stringart-render\t--directions=-1,1,-1 --draws=" + kExample + "\n",
                               error),
            figure)
      << error;
  EXPECT_EQ(ParseRemakeCommand("stringart-render --draws " + kExample, error)->start,
            (Directions{1, 1, 1}));
  // What the writers of large pictures, SVGs, clips and morphs add is checked, then makes no
  // difference: a morph's file opens as the figure it starts from.
  for (const char* path : {"a.png", "a.svg", "a.mp4", "a.webm"}) {
    for (const FrameSize size : {FrameSize{600, 600}, FrameSize{3840, 2160}}) {
      const bool morph = std::string_view(path).ends_with(".webm");
      const auto request = ExportRequest::Make(
          path, size, 8, 30, morph ? std::optional(kExampleDraws) : std::nullopt, error);
      ASSERT_TRUE(request) << path << ": " << error;
      const std::string command = RemakeCommand(figure, *request);
      EXPECT_EQ(ParseRemakeCommand(command, error), figure) << command << ": " << error;
    }
  }
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"", "not a stringart-render command"},
      {"convert --draws " + kExample, "not a stringart-render command"},
      {"stringart-render --directions 1,1,1", "no draws"},
      {"stringart-render --draws", "the draws are missing"},
      {"stringart-render --draws 0.1,0.2", "expected 12 draws"},
      {"stringart-render --draws " + kExample + " --draws " + kExample,
       "the draws are given twice"},
      {"stringart-render --draws " + kExample + " --directions 1,0,1", "direction '0'"},
      {"stringart-render --draws " + kExample + " -o f.png", "unexpected '-o'"},
      {"stringart-render --draws " + kExample + " --size 499", "the size: '499' is not N or WxH"},
      {"stringart-render --draws " + kExample + " --size 600 --size 600",
       "the size is given twice"},
      {"stringart-render --draws " + kExample + " --seconds 0", "the seconds: '0' is not a whole"},
      {"stringart-render --draws " + kExample + " --fps=121",
       "the frame rate: '121' is not a whole"},
      {"stringart-render --draws " + kExample + " --morph-to 0.1", "expected 12 draws"},
      {"stringart-render --draws " + kExample + " --fps", "the frame rate is missing"},
      // Bytes no command holds: the text was cut, damaged or made to show something else.
      {"stringart-render --draws " + kExample + " --directions 1,1," + '\0' + "-1",
       "holds \\x00 at byte"},
      {"stringart-render --draws " + kExample + "\x1b[2J", "holds \\x1b"},
      {"stringart-render --draws " + kExample + " <h1>", "holds <"},
      {"stringart-render --draws " + kExample + " \xc3\xa9", "holds \\xc3"},
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

namespace stringart {
namespace {

TEST(Quote, ControlsAreEscapedAndLongTextKeepsItsEnds) {
  const std::string page = "/home/" + std::string(200, 'a') + "/figure.png";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain.png", "'plain.png'"},
      {"caf\xc3\xa9 \xe2\x96\xa0.svg", "'caf\xc3\xa9 \xe2\x96\xa0.svg'"},  // UTF-8 stays
      {"\x1b[31mred\x07", "'\\x1b[31mred\\x07'"},
      {"a\nb\tc\rd", "'a\\x0ab\\x09c\\x0dd'"},
      {std::string("nul\0x", 5), "'nul\\x00x'"},
      {"\xff\xc3(", "'\\xff\\xc3('"},  // not UTF-8
      {"\xc2\x9b"
       "2J",
       "'\\x9b2J'"},                                        // C1 control sequence introducer
      {"abc\xe2\x80\xaegnp.exe", "'abc\\u{202e}gnp.exe'"},  // right-to-left override
      {page, "'/home/" + std::string(34, 'a') + "\u2026" + std::string(28, 'a') + "/figure.png'"},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(Quoted(text), quoted) << quoted;
  EXPECT_EQ(EscapeText(std::string(100000, '7')).size(), 79 + std::string("\u2026").size());
}

}  // namespace
}  // namespace stringart

namespace stringart {
namespace {

// Long work is told before it starts: the clip of 600 s at 120 frames a second and 4096 x 4096
// pixels is hours of it, a default animation a minute at most.
TEST(ExpectedSeconds, LongClipsAreHoursAndDefaultOnesAreNot) {
  std::string error;
  const auto huge = ExportRequest::Make("a.mp4", {4096, 4096}, 600, 120, {}, error);
  const auto usual = ExportRequest::Make("a.webm", kDefaultAnimationSize, kDefaultSeconds,
                                         kDefaultFps, kExampleDraws, error);
  ASSERT_TRUE(huge && usual) << error;
  EXPECT_GT(ExpectedSeconds(*huge), 3600);
  EXPECT_LT(ExpectedSeconds(*usual), 60);
  EXPECT_EQ(DurationText(40.2), "about 40 s");
  EXPECT_EQ(DurationText(725), "about 12 min");
  EXPECT_EQ(DurationText(6000), "about 1 h 40 min");
}

TEST(TimeLeft, GuessedOnlyOnceTheWorkHasRunAWhile) {
  EXPECT_EQ(TimeLeft(0.5, 0.5), std::nullopt) << "under a second";
  EXPECT_EQ(TimeLeft(5, 0), std::nullopt) << "nothing done";
  EXPECT_EQ(TimeLeft(10, 0.25), "0:30");
  EXPECT_EQ(TimeLeft(600, 0.5), "10:00");
  EXPECT_EQ(TimeLeft(3, 1.5), "0:00") << "done past the end";
}

}  // namespace
}  // namespace stringart
