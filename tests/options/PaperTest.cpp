// Sheets, pens and dots as typed, where the figure lands on the sheet, and the request made of
// them carried in a file's command and read back.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "options/ExportRequest.h"
#include "options/FigureCommand.h"
#include "options/Paper.h"

namespace stringart {
namespace {

TEST(Paper, ValuesReadAsTypedAndWrongOnesAreNamed) {
  struct Case {
    std::string text;
    std::optional<PaperSize> paper;
    std::string formatted;  // or, when refused, a part of the reason
  };
  const Case papers[] = {
      {"A4", PaperSize{210, 297}, "A4"},
      {"a0", PaperSize{841, 1189}, "A0"},
      {"LETTER", PaperSize{215.9f, 279.4f}, "Letter"},
      {"300x200mm", PaperSize{300, 200}, "300x200mm"},  // as it lies
      {"210X297MM", PaperSize{210, 297}, "A4"},
      {"215.9x355.6mm", PaperSize{215.9f, 355.6f}, "Legal"},
      {"a6", PaperSize{105, 148}, "A6"},
      {"A5", PaperSize{148, 210}, "A5"},
      {"Tabloid", PaperSize{279.4f, 431.8f}, "Tabloid"},
      {"postcard", PaperSize{100, 148}, "Postcard"},
      {"148x100mm", PaperSize{148, 100}, "148x100mm"},  // a postcard as it lies
      {"B5", std::nullopt, "'B5' is no paper"},
      {"300x200", std::nullopt, "WxHmm"},
      {"19x200mm", std::nullopt, "20 to 5000 mm"},
      {"-300x200mm", std::nullopt, "no paper"},
      {"1e3x200mm", std::nullopt, "no paper"},
      {"300x200x1mm", std::nullopt, "no paper"},
  };
  for (const Case& c : papers) {
    std::string error;
    const auto paper = ParsePaper(c.text, error);
    EXPECT_EQ(paper, c.paper) << c.text << ": " << error;
    const std::string shown = paper ? FormatPaper(*paper) : error;
    EXPECT_NE(shown.find(c.formatted), std::string::npos) << c.text << ": " << shown;
  }

  // A plot's time in minutes, written back in hours and minutes.
  const std::vector<std::tuple<std::string, std::optional<float>, std::string>> times = {
      {"90m", 90.0f, "1h30m"},   {"2h", 120.0f, "2h"},       {"1.5H", 90.0f, "1h30m"},
      {"1h5m", 65.0f, "1h5m"},   {"1m", 1.0f, "1m"},         {"100h", 6000.0f, "100h"},
      {"0", std::nullopt, ""},   {"0m", std::nullopt, ""},   {"0h", std::nullopt, ""},
      {"90", std::nullopt, ""},  {"101h", std::nullopt, ""}, {"-2h", std::nullopt, ""},
      {"2hm", std::nullopt, ""}, {"h30m", std::nullopt, ""}, {"1h-5m", std::nullopt, ""},
  };
  for (const auto& [text, minutes, formatted] : times) {
    std::string error;
    const auto read = ParsePlotTime(text, error);
    EXPECT_EQ(read, minutes) << text;
    if (read) {
      EXPECT_EQ(FormatPlotTime(*read), formatted) << text;
    } else {
      EXPECT_EQ(error, "'" + text + "' is not a time such as 90m or 2h from 1m to 100h");
    }
  }

  // A paper's colour: by name or as a pen's.
  for (const auto& [text, colour] : std::vector<std::pair<std::string, std::optional<Colour>>>{
           {"white", PackColour(255, 255, 255)},
           {"BLACK", kBlack},
           {"#1A2b3C", PackColour(0x1a, 0x2b, 0x3c)},
           {"grey", std::nullopt},
           {"#12345", std::nullopt},
           {"", std::nullopt}}) {
    std::string error;
    EXPECT_EQ(ParsePaperColour(text, error), colour) << text;
    if (!colour) {
      EXPECT_EQ(error, "'" + text + "' is not white, black or #rrggbb");
    }
  }

  // How a G-code plotter lifts its pen, written back with its value.
  const std::vector<std::pair<std::string, std::string>> lifts = {
      {"servo", "servo,1000"},
      {"SERVO,30", "servo,30"},
      {"z", "z,3"},
      {"Z,0.5", "z,0.5"},
      {"servo,0", ""},
      {"z,0.4", ""},
      {"z,51", ""},
      {"servo,", ""},
      {"laser", ""},
      {"z,-1", ""},
      {"servo,1,2", ""},
  };
  for (const auto& [text, formatted] : lifts) {
    std::string error;
    const auto lift = ParsePenLift(text, error);
    if (formatted.empty()) {
      EXPECT_FALSE(lift) << text;
      EXPECT_EQ(error, "'" + text + "' is neither servo,S with S from 1 to 10000 nor z,MM from " +
                           "0.5 to 50 mm");
    } else {
      EXPECT_EQ(lift ? FormatPenLift(*lift) : error, formatted) << text;
    }
  }

  // Accepted pens read back as written; refused ones name the reason.
  const std::vector<std::tuple<std::string, bool, std::string>> pens = {
      {"6", true, "6"},
      {"12", true, "12"},
      {"#FF8000", true, "#ff8000"},
      {"#000000,#ffffff,#0a0b0c", true, "#000000,#ffffff,#0a0b0c"},
      {"0", false, "neither a number of pens from 1 to 12"},
      {"13", false, "neither"},
      {"#ff80", false, "'#ff80' is not #rrggbb"},
      {"#ff800g", false, "is not #rrggbb"},
      {"#-ff800", false, "is not #rrggbb"},
      {"#ff8000,", false, "'' is not #rrggbb"},
      {"ff8000", false, "neither"},
      {"#000000,#000001,#000002,#000003,#000004,#000005,#000006,#000007,#000008,#000009,"
       "#00000a,#00000b,#00000c",
       false, "13 pen colours"},
  };
  for (const auto& [text, ok, expected] : pens) {
    std::string error;
    const auto read = ParsePens(text, error);
    ASSERT_EQ(read.has_value(), ok) << text << ": " << error;
    if (ok) {
      EXPECT_EQ(FormatPens(*read), expected) << text;
    } else {
      EXPECT_NE(error.find(expected), std::string::npos) << text << ": " << error;
    }
  }
}

TEST(Paper, TheFigureFillsTheSquareInsideTheMarginCentred) {
  PaperSettings a4;  // A4 upright, 15 mm
  PaperLayout page = LayOut(a4);
  EXPECT_EQ(page.side, 180);
  EXPECT_EQ(page.left, 15);
  EXPECT_EQ(page.top, (297 - 180) / 2.0);
  // Canvas pixel centres, each scale() apart: the corner's centre lies half a pixel in.
  EXPECT_DOUBLE_EQ(page.X(0), 15 + 0.18);
  EXPECT_DOUBLE_EQ(page.Y(499), page.top + 180 - 0.18);

  a4.landscape = true;
  a4.margin = 0;
  page = LayOut(a4);
  EXPECT_EQ(page.width, 297);
  EXPECT_EQ(page.side, 210);
  EXPECT_EQ(page.top, 0);
  EXPECT_EQ(PagePixels(a4), (FrameSize{3508, 2480}));

  PaperSettings tight;
  tight.margin = 100;  // leaves the least square, 10 mm
  EXPECT_EQ(PaperProblem(tight), "");
  tight.margin = 100.5f;
  EXPECT_EQ(PaperProblem(tight),
            "a margin of 100.5 mm leaves no room on A4 (210 x 297 mm): at most 100 mm");
}

TEST(Paper, RequestsAreCheckedAndTheirCommandReadsBack) {
  const FigureRecord figure{kExampleDraws, {1, -1, 1}, {}};
  PaperSettings own;
  own.paper = {300, 200};
  own.landscape = true;
  own.margin = 12.5f;
  own.pens = {2, {PackColour(255, 0, 0), PackColour(0, 0, 16)}};
  own.penWidth = 0.25f;
  own.speed = 40;
  own.plotMinutes = 90.5f;
  own.paperColour = kBlack;
  PaperSettings print;
  print.dpi = 150;
  print.onWhite = true;
  const std::string start = RemakeCommand(figure);
  auto request = [](const std::string& path, const PaperSettings& settings) {
    std::string error;
    const auto made = ExportRequest::ForPaper(path, settings, error);
    EXPECT_TRUE(made) << path << ": " << error;
    return made.value_or(ExportRequest{});
  };
  const std::vector<std::pair<ExportRequest, std::string>> requests = {
      {request("p.svg", {}),
       " --paper A4 --margin 15 --pens 6 --pen-width 0.3 --speed 25 --plot-time 2h"},
      {request("p.SVG", own),
       " --paper 300x200mm --landscape --margin 12.5 --paper-colour #000000 --pens=#ff0000,#000010 "
       "--pen-width 0.25 "
       "--speed 40 --plot-time 1h30.5m"},
      {request("p.plt", own),
       " --paper 300x200mm --landscape --margin 12.5 --paper-colour #000000 --pens=#ff0000,#000010 "
       "--pen-width 0.25 "
       "--speed 40 --plot-time 1h30.5m"},
      {request("p.pdf", print), " --paper A4 --margin 15 --on-white"},
      {request("p.png", print), " --paper A4 --margin 15 --dpi 150"},
  };
  for (const auto& [made, options] : requests) {
    const std::string command = RemakeCommand(figure, made);
    EXPECT_EQ(command, start + options) << made.path;
    std::string error;
    EXPECT_EQ(ParseRemakeCommand(command, error), figure) << command << ": " << error;
  }
  EXPECT_EQ(requests[4].first.size, (FrameSize{1240, 1754}));

  const std::vector<std::pair<std::string, PaperSettings>> refused = {
      {"a.mp4", {}},
      {"a.txt", {}},
      {"a.png", {.paper = {841, 1189}, .pens = {}, .lift = {}, .dpi = 600, .paperColour = {}}},
      {"a.png", {.pens = {}, .lift = {}, .dpi = 1201, .paperColour = {}}},
      {"a.svg", {.margin = 101, .pens = {}, .lift = {}, .paperColour = {}}},
      {"a.svg", {.pens = {13, {}}, .lift = {}, .paperColour = {}}},
  };
  for (const auto& [path, settings] : refused) {
    std::string error;
    EXPECT_FALSE(ExportRequest::ForPaper(path, settings, error)) << path;
    EXPECT_FALSE(error.empty()) << path;
  }
  std::string error;
  EXPECT_FALSE(ExportRequest::Make("a.pdf", {600, 600}, 0, 0, {}, error));
  EXPECT_EQ(error, "an HPGL, G-code or PDF file is made for a sheet of paper");
}

}  // namespace
}  // namespace stringart
