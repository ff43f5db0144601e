// Files for paper from stringart-render, read back as their users' tools read them: Inkscape the
// plotter's SVG and its layers, hp2xx the HPGL, poppler the PDF; each rendering lies where the
// program draws the figure on that sheet. Their refusals, failures and the figure they open as.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "export/FigureFile.h"
#include "figure/Tracer.h"
#include "options/FigureCommand.h"
#include "options/Paper.h"
#include "paper/PdfPage.h"
#include "runtime/AtomicFile.h"
#include "smooth/LargePicture.h"
#include "tests/support/PngImage.h"
#include "tests/support/RenderRun.h"

namespace stringart {
namespace {

using testing::Image;
using testing::kExample;
using testing::Outcome;
using testing::ReadFile;
using testing::Renderer;

const FigureRecord kFigure{kExampleDraws, {1, 1, 1}, {}};

// The figure as the program draws it, anti-aliased, on a black page of `settings` at `dpi`.
Image FigureOnPage(const PaperSettings& settings, int dpi) {
  PaperSettings at = settings;
  at.dpi = dpi;
  const FrameSize size = PagePixels(at);
  const PaperLayout page = LayOut(at);
  const double perMm = dpi / 25.4;
  const int side = static_cast<int>(std::lround(page.side * perMm));
  LargePicture square(side, side);
  SegmentRecorder drawing;
  TraceAgain(kFigure, drawing);
  square.Draw(drawing.segments());
  Image image(size.width, size.height);
  const int left = static_cast<int>(std::lround(page.left * perMm));
  const int top = static_cast<int>(std::lround(page.top * perMm));
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) image.at(left + x, top + y) = square.pixels()[y * side + x];
  }
  return image;
}

// Whether a pixel is drawn on, against a ground of `ground`.
bool Lit(std::uint32_t pixel, std::uint32_t ground) {
  using testing::Blue, testing::Green, testing::Red;
  return std::abs(Red(pixel) - Red(ground)) + std::abs(Green(pixel) - Green(ground)) +
             std::abs(Blue(pixel) - Blue(ground)) >
         60;
}

// How far the drawn pixels of `image` and of the program's picture `expected` coincide: the
// pixels lit in both over those lit in either (1: the same shape). Pictures a pixel apart in size
// are compared on what they share.
double Overlap(const Image& image, std::uint32_t ground, const Image& expected) {
  long both = 0, either = 0;
  for (int y = 0; y < std::min(image.height, expected.height); ++y) {
    for (int x = 0; x < std::min(image.width, expected.width); ++x) {
      const bool a = Lit(image.at(x, y), ground), b = Lit(expected.at(x, y), 0xFF000000u);
      both += a && b;
      either += a || b;
    }
  }
  return either == 0 ? 0 : static_cast<double>(both) / either;
}

// Runs a tool of the reader's side, what it prints going to `output`; false when it failed.
bool Tool(const std::string& command, const std::string& output = "/dev/null") {
  return std::system((command + " >'" + output + "' 2>/dev/null </dev/null").c_str()) == 0;
}

#define SKIP_UNLESS(tool) \
  if (std::system("command -v " tool " >/dev/null 2>&1") != 0) GTEST_SKIP() << "no " tool " here"

// "plot: 6 pens, pen-down 6316.6 m, pen-up 0.8 m (drawing order 3.9 m), about ..."
struct PlotLine {
  int pens = 0;
  double down = 0, up = 0, drawingOrder = 0;
};
PlotLine ReadPlotLine(const std::string& out) {
  PlotLine plot;
  char pens[8] = {};
  const std::size_t at = out.find("plot: ");
  if (at == std::string::npos ||
      std::sscanf(out.c_str() + at,
                  "plot: %d %7[pens], pen-down %lf m, pen-up %lf m (drawing order %lf m), about",
                  &plot.pens, pens, &plot.down, &plot.up, &plot.drawingOrder) != 5) {
    return {};
  }
  return plot;
}

// What a plotter travels, each pen's and in all: metres down and up between paths, lifts, and
// minutes at a speed with the lifts.
struct Travel {
  double down = 0, up = 0, minutes = 0;
  long lifts = 0;
};

// Each pen's paths in a plotter file, millimetres, in the order they are drawn.
using PenPathsMm = std::vector<std::vector<std::pair<double, double>>>;

// The travel of each pen's paths, by the plotter's own reckoning: a path is lowered once.
std::vector<Travel> TravelOf(const std::vector<PenPathsMm>& pens, double speed) {
  std::vector<Travel> each;
  for (const PenPathsMm& paths : pens) {
    Travel t;
    for (std::size_t k = 0; k < paths.size(); ++k) {
      for (std::size_t i = 1; i < paths[k].size(); ++i) {
        t.down += std::hypot(paths[k][i].first - paths[k][i - 1].first,
                             paths[k][i].second - paths[k][i - 1].second);
      }
      if (k > 0) {
        t.up += std::hypot(paths[k].front().first - paths[k - 1].back().first,
                           paths[k].front().second - paths[k - 1].back().second);
      }
    }
    t.lifts = static_cast<long>(paths.size());
    t.minutes = ((t.down + t.up) / speed + t.lifts * kPenLiftSeconds) / 60;
    t.down /= 1000, t.up /= 1000;
    each.push_back(t);
  }
  return each;
}

// The plotter SVG's layers, each a pen's polylines.
std::vector<PenPathsMm> SvgPenPaths(const std::string& svg) {
  std::vector<PenPathsMm> pens;
  for (std::size_t at = svg.find("<g "); at != std::string::npos; at = svg.find("<g ", at + 1)) {
    pens.emplace_back();
    const std::size_t end = svg.find("</g>", at);
    for (std::size_t p = svg.find("points=\"", at); p < end; p = svg.find("points=\"", p + 1)) {
      std::istringstream points(svg.substr(p + 8, svg.find('"', p + 8) - (p + 8)));
      pens.back().emplace_back();
      double x, y;
      char comma;
      while (points >> x >> comma >> y) pens.back().back().emplace_back(x, y);
    }
  }
  return pens;
}

// The renderer's estimate: "pen 1: 41.2 m pen down, 3.1 m pen up, 1 h 29 min" for each pen,
// then "in all: ..., 2841 lifts, 2 h 0 min".
std::vector<Travel> ReadEstimate(const std::string& out) {
  std::vector<Travel> each;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    Travel t;
    int pen = 0, hours = 0, minutes = 0;
    char rest[64] = {};
    const bool all = line.starts_with("in all: ");
    const int read =
        all ? std::sscanf(line.c_str(), "in all: %lf m pen down, %lf m pen up, %ld lifts, %63[^\n]",
                          &t.down, &t.up, &t.lifts, rest)
            : std::sscanf(line.c_str(), "pen %d: %lf m pen down, %lf m pen up, %63[^\n]", &pen,
                          &t.down, &t.up, rest);
    if (read != 4) continue;
    if (std::sscanf(rest, "%d h %d min", &hours, &minutes) == 2) {
      t.minutes = hours * 60 + minutes;
    } else if (std::sscanf(rest, "%d min", &minutes) == 1) {
      t.minutes = minutes;
    }
    each.push_back(t);
  }
  return each;
}

// The estimate printed against the file's own travel: within 3 %, or a tenth of a metre and
// a minute where there is little of it.
void ExpectEstimateOf(const std::string& out, const std::vector<Travel>& file) {
  const std::vector<Travel> told = ReadEstimate(out);
  ASSERT_EQ(told.size(), file.size() + 1) << out;
  Travel all;
  for (const Travel& t : file) {
    all.down += t.down, all.up += t.up, all.minutes += t.minutes, all.lifts += t.lifts;
  }
  for (std::size_t p = 0; p <= file.size(); ++p) {
    const Travel& f = p < file.size() ? file[p] : all;
    const std::string which = p < file.size() ? "pen " + std::to_string(p + 1) : "in all";
    EXPECT_NEAR(told[p].down, f.down, std::max(0.1, f.down * 0.03)) << which << "\n" << out;
    EXPECT_NEAR(told[p].up, f.up, std::max(0.1, f.up * 0.03)) << which << "\n" << out;
    EXPECT_NEAR(told[p].minutes, f.minutes, std::max(1.0, f.minutes * 0.03)) << which;
  }
  EXPECT_EQ(told.back().lifts, all.lifts) << out;
}

// G-code as a pen plotter reads the few words stringart writes: each pen's paths (a pause, M0,
// begins the next pen), in millimetres from the sheet's top-left corner as the SVG has them.
struct Gcode {
  std::vector<PenPathsMm> pens;
  bool millimetres = false, absolute = false;
  double feed = 0;
  int stillMoves = 0;   // pen-down moves that go nowhere
  std::string unknown;  // words it does not know
};

Gcode Interpret(const std::string& text, double sheetHeight) {
  Gcode g;
  std::istringstream lines(text);
  std::string line;
  double x = 0, y = 0;
  bool down = false;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find(';'));
    if (line.starts_with("(")) continue;
    std::istringstream words(line);
    char letter;
    double value;
    int motion = -1;
    std::optional<double> toX, toY, toZ;
    while (words >> letter >> value) {
      const std::string word = letter + std::to_string(static_cast<int>(value));
      if (word == "G21") {
        g.millimetres = true;
      } else if (word == "G90") {
        g.absolute = true;
      } else if (word == "G0" || word == "G1") {
        motion = static_cast<int>(value);
      } else if (letter == 'X') {
        toX = value;
      } else if (letter == 'Y') {
        toY = value;
      } else if (letter == 'Z') {
        toZ = value;
      } else if (letter == 'F') {
        g.feed = value;
      } else if (word == "M3") {
        down = true, g.pens.back().push_back({{x, sheetHeight - y}});
      } else if (word == "M5") {
        down = false;
      } else if (word == "M0") {
        g.pens.emplace_back();
      } else if (word != "G4" && letter != 'P' && letter != 'S' && word != "M2") {
        g.unknown += word + ' ';
      }
    }
    if (toZ) {
      if (!down && *toZ <= 0) g.pens.back().push_back({{x, sheetHeight - y}});
      down = *toZ <= 0;
    }
    if (motion < 0 || (!toX && !toY)) continue;
    const double nx = toX.value_or(x), ny = toY.value_or(y);
    if (down) {
      g.stillMoves += nx == x && ny == y;
      g.pens.back().back().emplace_back(nx, sheetHeight - ny);
    }
    x = nx, y = ny;
  }
  return g;
}

// `pens` without points that repeat the one before, as a plotter draws them.
std::vector<PenPathsMm> WithoutRepeats(std::vector<PenPathsMm> pens) {
  for (PenPathsMm& paths : pens) {
    for (auto& path : paths) path.erase(std::unique(path.begin(), path.end()), path.end());
  }
  return pens;
}

// Whether two plots draw the same paths, point for point to within a thousandth of a millimetre
// and its rounding.
void ExpectSamePaths(const std::vector<PenPathsMm>& a, const std::vector<PenPathsMm>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t p = 0; p < a.size(); ++p) {
    ASSERT_EQ(a[p].size(), b[p].size()) << "pen " << p + 1;
    for (std::size_t k = 0; k < a[p].size(); ++k) {
      ASSERT_EQ(a[p][k].size(), b[p][k].size()) << "pen " << p + 1 << " path " << k;
      for (std::size_t i = 0; i < a[p][k].size(); ++i) {
        ASSERT_NEAR(a[p][k][i].first, b[p][k][i].first, 0.0015) << p << " " << k << " " << i;
        ASSERT_NEAR(a[p][k][i].second, b[p][k][i].second, 0.0015) << p << " " << k << " " << i;
      }
    }
  }
}

// A faithful rendering overlaps the figure by 0.95 to 0.99, its mirror image by 0.55.
constexpr double kSameShape = 0.9;

TEST_F(Renderer, InkscapeShowsThePlotterSvgALayerAPen) {
  SKIP_UNLESS("inkscape");
  const std::string svg = Path("plot.svg");
  const Outcome run = Render({"--draws", kExample, "--paper", "A3", "-o", svg});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = ReadFile(svg);
  EXPECT_NE(text.find("width=\"297mm\" height=\"420mm\" viewBox=\"0 0 297 420\""),
            std::string::npos);
  EXPECT_EQ(text.find("<rect"), std::string::npos) << "a plotter draws no ground";
  EXPECT_NE(text.find(RemakeCommand(kFigure) +
                      " --paper A3 --margin 15 --pens 6 --pen-width 0.3 --speed 25 --plot-time 2h"),
            std::string::npos);

  // The plot line: its pens, and its lengths against the segments' on this sheet.
  const PlotLine plot = ReadPlotLine(run.out);
  ASSERT_EQ(plot.pens, 6) << run.out;
  SegmentRecorder drawing;
  TraceAgain(kFigure, drawing);
  double pixels = 0;
  for (const Segment& s : drawing.segments()) {
    pixels += std::hypot(s.toX - s.fromX, s.toY - s.fromY);
  }
  // A line a step, thinned to two hours.
  const double metresAPixel = (297 - 30) / 500.0 / 1000;
  EXPECT_LE(plot.down, pixels / 3 * metresAPixel) << run.out;
  EXPECT_LE(plot.down, 2 * 3600 * 25 / 1000.0) << run.out;
  EXPECT_LE(plot.up * 2, plot.drawingOrder) << run.out;
  ExpectEstimateOf(run.out, TravelOf(SvgPenPaths(text), 25));

  // Inkscape's own count of layers, and the drawing as it renders it.
  const std::string layers = Path("layers.txt");
  ASSERT_TRUE(Tool("inkscape '" + svg + "' --actions='select-all:layers;select-list'", layers));
  const std::string listed = ReadFile(layers);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 6) << listed;
  const std::string png = Path("inkscape.png");
  ASSERT_TRUE(Tool("inkscape '" + svg + "' --export-type=png --export-dpi=40 --export-filename='" +
                   png + "' --export-background=black --export-background-opacity=1"));
  const Image rendered = testing::ReadPng(png);
  PaperSettings a3;
  a3.paper = {297, 420};
  const Image expected = FigureOnPage(a3, 40);
  ASSERT_NEAR(rendered.width, expected.width, 1);
  ASSERT_NEAR(rendered.height, expected.height, 1);
  EXPECT_GT(Overlap(rendered, 0xFF000000u, expected), kSameShape);
  EXPECT_LT(Overlap(rendered, 0xFF000000u, expected.Mirrored()), 0.7);

  // One layer alone holds only its pen's colour.
  const std::size_t label = text.find("inkscape:label=\"1 #");
  ASSERT_NE(label, std::string::npos);
  const std::uint32_t colour = 0xFF000000u | std::stoul(text.substr(label + 19, 6), nullptr, 16);
  ASSERT_TRUE(Tool("inkscape '" + svg +
                   "' --export-id=pen1 --export-id-only --export-area-page --export-type=png "
                   "--export-dpi=40 --export-filename='" +
                   png + "' --export-background=black --export-background-opacity=1"));
  const Image layer = testing::ReadPng(png);
  // A pen line is thinner than a pixel here: its colour is laid over black in part, each channel
  // by the same share.
  using testing::Blue, testing::Green, testing::Red;
  const int most = std::max({Red(colour), Green(colour), Blue(colour), 1});
  long lit = 0, penColour = 0;
  for (const std::uint32_t p : layer.pixels) {
    if (!Lit(p, 0xFF000000u)) continue;
    ++lit;
    const double share = std::max({Red(p), Green(p), Blue(p)}) / static_cast<double>(most);
    penColour += std::abs(Red(p) - share * Red(colour)) < 12 &&
                 std::abs(Green(p) - share * Green(colour)) < 12 &&
                 std::abs(Blue(p) - share * Blue(colour)) < 12;
  }
  EXPECT_GT(lit, 1000);
  EXPECT_GT(penColour, lit * 8 / 10) << "pen 1's layer holds other colours";
}

TEST_F(Renderer, Hp2xxDrawsTheHpglWhereTheFigureLies) {
  SKIP_UNLESS("hp2xx");
  const std::string hpgl = Path("plot.plt");
  const Outcome run =
      Render({"--draws", kExample, "--paper", "A4", "--landscape", "--pens", "3", "-o", hpgl});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadPlotLine(run.out).pens, 3) << run.out;
  const std::string text = ReadFile(hpgl);
  EXPECT_EQ(
      text.rfind("IN;\nCO\"" + RemakeCommand(kFigure) +
                     " --paper A4 --landscape --margin 15 --pens 3 --pen-width 0.3 --speed 25 "
                     "--plot-time 2h\";\n",
                 0),
      0u)
      << text.substr(0, 300);
  for (const char* pen : {"SP1;\nVS2.5;", "SP2;\nVS2.5;", "SP3;\nVS2.5;"}) {
    EXPECT_NE(text.find(pen), std::string::npos) << pen;
  }
  EXPECT_EQ(text.find("SP4;"), std::string::npos);

  // What a plotter buffers: short instructions, each pen-down point somewhere new; and the
  // paths they draw, in millimetres from the top-left corner, are the estimate's.
  std::vector<PenPathsMm> pens;
  std::pair<long, long> at{-1, -1};
  std::size_t longest = 0;
  long still = 0;
  std::istringstream instructions(text);
  std::string instruction;
  auto mm = [](std::pair<long, long> p) {
    return std::pair{p.first / 40.0, 210 - p.second / 40.0};
  };
  while (std::getline(instructions, instruction, ';')) {
    instruction.erase(0, instruction.find_first_not_of('\n'));
    longest = std::max(longest, instruction.size() + 1);
    const bool up = instruction.starts_with("PU"), down = instruction.starts_with("PD");
    if (instruction.starts_with("SP") && instruction != "SP0") pens.emplace_back();
    if (!up && !down) continue;
    std::istringstream points(instruction.substr(2));
    std::pair<long, long> p;
    char comma;
    if (up) {
      if (points >> p.first >> comma >> p.second) at = p, pens.back().push_back({mm(p)});
      continue;
    }
    while (points >> p.first >> comma >> p.second) {
      still += p == at;
      at = p;
      pens.back().back().push_back(mm(p));
      points >> comma;
    }
  }
  EXPECT_LE(longest, 1000u);
  EXPECT_EQ(still, 0) << "pen-down points that go nowhere";
  ExpectEstimateOf(run.out, TravelOf(pens, 25));

  // The whole sheet, 297 x 210 mm in plotter units, at 40 dots an inch, white where undrawn.
  const std::string png = Path("hp2xx.png");
  ASSERT_TRUE(Tool("hp2xx -q -m png -c 1234567 -t -x 0 -X 11880 -y 0 -Y 8400 -d 40 -f '" + png +
                   "' '" + hpgl + "'"));
  const Image rendered = testing::ReadPng(png);
  PaperSettings a4;
  a4.landscape = true;
  const Image expected = FigureOnPage(a4, 40);
  ASSERT_NEAR(rendered.width, expected.width, 2);
  ASSERT_NEAR(rendered.height, expected.height, 2);
  EXPECT_GT(Overlap(rendered, 0xFFFFFFFFu, expected), kSameShape);
  EXPECT_LT(Overlap(rendered, 0xFFFFFFFFu, expected.Mirrored()), 0.7);
}

TEST_F(Renderer, GcodeDrawsTheSvgsLinesWithItsPensAndLifts) {
  const std::vector<std::string> figure = {"--draws", kExample, "--paper", "A4",
                                           "--pens",  "3",      "--speed", "40"};
  auto render = [&](const std::string& name, std::vector<std::string> more) {
    std::vector<std::string> args = figure;
    args.insert(args.end(), more.begin(), more.end());
    args.insert(args.end(), {"-o", Path(name)});
    const Outcome run = Render(args);
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    return run.out;
  };
  render("plot.svg", {});
  const std::vector<PenPathsMm> svg = WithoutRepeats(SvgPenPaths(ReadFile(Path("plot.svg"))));
  const std::string out = render("plot.gcode", {});
  const std::string text = ReadFile(Path("plot.gcode"));
  EXPECT_EQ(text.rfind("; " + RemakeCommand(kFigure) +
                           " --paper A4 --margin 15 --pens 3 --pen-width 0.3 --speed 40 "
                           "--plot-time 2h --pen-lift servo,1000\nG21\nG90\nM5\n",
                       0),
            0u)
      << text.substr(0, 400);
  const Gcode servo = Interpret(text, 297);
  EXPECT_TRUE(servo.millimetres && servo.absolute);
  EXPECT_EQ(servo.feed, 40 * 60);
  EXPECT_EQ(servo.stillMoves, 0);
  EXPECT_EQ(servo.unknown, "");
  ExpectSamePaths(servo.pens, svg);
  ExpectEstimateOf(out, TravelOf(servo.pens, 40));
  for (int pen = 1; pen <= 3; ++pen) {
    EXPECT_NE(text.find("(MSG,Put in pen " + std::to_string(pen) + " #"), std::string::npos);
  }
  std::string error;
  EXPECT_EQ(OpenFigure(Path("plot.gcode"), error), kFigure) << error;

  // The Z axis, each pen in its own file: the same paths.
  render("z.gcode", {"--pen-lift", "z,4.5", "--file-per-pen"});
  std::vector<PenPathsMm> z;
  for (int pen = 1; pen <= 3; ++pen) {
    const std::string one = ReadFile(Path("z-" + std::to_string(pen) + ".gcode"));
    EXPECT_NE(one.find("G0 Z4.5\n"), std::string::npos);
    EXPECT_EQ(one.find("M3"), std::string::npos);
    const Gcode read = Interpret(one, 297);
    ASSERT_EQ(read.pens.size(), 1u) << pen;
    EXPECT_EQ(read.stillMoves, 0);
    z.push_back(read.pens[0]);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("z.gcode")));
  ExpectSamePaths(z, svg);
}

TEST_F(Renderer, PopplerReadsThePdfAsVectorsOnItsPage) {
  SKIP_UNLESS("pdftoppm");
  for (const bool white : {false, true}) {
    const std::string pdf = Path(white ? "white.pdf" : "print.pdf");
    std::vector<std::string> args = {"--draws", kExample, "--paper", "Letter", "-o", pdf};
    if (white) args.push_back("--on-white");
    const Outcome run = Render(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("plot:"), std::string::npos) << "a print has no plot line";
    const std::string info = Path("info.txt"), images = Path("images.txt");
    ASSERT_TRUE(Tool("pdfinfo '" + pdf + "'", info));
    EXPECT_NE(ReadFile(info).find("Page size:       612 x 792 pts (letter)"), std::string::npos)
        << ReadFile(info);
    EXPECT_NE(ReadFile(info).find("Pages:           1"), std::string::npos);
    ASSERT_TRUE(Tool("pdfimages -list '" + pdf + "'", images));
    // The header alone: not one raster image.
    const std::string listed = ReadFile(images);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 2) << listed;

    ASSERT_TRUE(Tool("pdftoppm -r 40 -png -singlefile '" + pdf + "' '" + Path("page") + "'"));
    const Image rendered = testing::ReadPng(Path("page.png"));
    PaperSettings letter;
    letter.paper = {215.9f, 279.4f};
    const Image expected = FigureOnPage(letter, 40);
    const std::uint32_t ground = white ? 0xFFFFFFFFu : 0xFF000000u;
    EXPECT_EQ(rendered.at(0, 0), ground);
    EXPECT_GT(Overlap(rendered, ground, expected), kSameShape) << pdf;
    EXPECT_LT(Overlap(rendered, ground, expected.Mirrored()), 0.7) << pdf;
  }
}

// Our page against Cairo's, its reference: poppler draws the two alike, dot for dot, on black
// and on white, at a resolution where every stroke is three dots wide. A tenth of the figure,
// which is three content streams, keeps poppler's time down.
TEST_F(Renderer, OurPdfPageLooksAsCairosDoes) {
  SKIP_UNLESS("pdftoppm");
  SegmentRecorder drawing;
  TraceAgain(kFigure, drawing);
  const auto segments = std::span(drawing.segments()).first(21000);
  PdfPrint print = PrintOn(LayOut(PaperSettings{}));
  for (const bool ground : {true, false}) {
    print.ground = ground;
    std::vector<Image> pages;
    for (const auto write : {WritePdfPage, WritePdfPageWithCairo}) {
      std::string bytes, error;
      ASSERT_EQ(write(segments, print, {}, 1, bytes, error), ExportResult::Written);
      const std::string pdf = Path("page.pdf"), png = Path("page");
      ASSERT_TRUE(WriteFileAtomically(pdf, bytes, error)) << error;
      ASSERT_TRUE(Tool("pdftoppm -r 150 -png -singlefile '" + pdf + "' '" + png + "'"));
      pages.push_back(testing::ReadPng(png + ".png"));
    }
    EXPECT_TRUE(pages[0] == pages[1]) << (ground ? "on black" : "on white");
  }
  std::string bytes, error;
  EXPECT_EQ(WritePdfPage(
                segments, print, [](double) { return false; }, 1, bytes, error),
            ExportResult::Cancelled);
}

TEST_F(Renderer, APrintedPngHasThePapersPixelsAndResolution) {
  const std::string png = Path("print.png");
  const Outcome run =
      Render({"--draws", kExample, "--paper", "A4", "--dpi", "100", "--margin", "20", "-o", png});
  ASSERT_EQ(run.status, 0) << run.err;
  const Image image = testing::ReadPng(png);
  PaperSettings a4;
  a4.margin = 20;
  EXPECT_EQ(image, FigureOnPage(a4, 100)) << "not the figure where the sheet puts it";
  EXPECT_EQ(image.width * 10000 + image.height, 827 * 10000 + 1169);
  // pHYs: 100 dots an inch are 3937 a metre, both ways, the unit metres.
  const std::string bytes = ReadFile(png);
  const std::size_t at = bytes.find("pHYs");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(bytes.substr(at + 4, 9), std::string("\0\0\x0f\x61\0\0\x0f\x61\1", 9));
}

// A print on coloured paper shows the paper: the PNG's page and the PDF's ground are its colour,
// the figure over it where it lies.
TEST_F(Renderer, PrintsShowThePapersColour) {
  const std::string png = Path("print.png"), pdf = Path("print.pdf");
  for (const std::string& file : {png, pdf}) {
    std::vector<std::string> args = {"--draws",        kExample,  "--paper", "postcard",
                                     "--paper-colour", "#204060", "-o",      file};
    if (file == png) args.insert(args.end(), {"--dpi", "72"});
    const Outcome run = Render(args);
    ASSERT_EQ(run.status, 0) << run.err;
  }
  const Image page = testing::ReadPng(png);
  EXPECT_EQ(page.width * 1000 + page.height, 283 * 1000 + 420);
  PaperSettings postcard;
  postcard.paper = {100, 148};
  const Image figure = FigureOnPage(postcard, 72);
  EXPECT_EQ(page.at(0, 0), 0xFF204060u);
  EXPECT_EQ(page.at(page.width / 2, 5), 0xFF204060u) << "the margin is the paper";
  EXPECT_GT(Overlap(page, 0xFF204060u, figure), kSameShape);
  SKIP_UNLESS("pdftoppm");
  ASSERT_TRUE(Tool("pdftoppm -r 72 -png -singlefile '" + pdf + "' '" + Path("page") + "'"));
  const Image rendered = testing::ReadPng(Path("page.png"));
  EXPECT_EQ(rendered.at(0, 0), 0xFF204060u);
  EXPECT_GT(Overlap(rendered, 0xFF204060u, figure), kSameShape);
}

TEST_F(Renderer, PaperFilesOpenAsTheirFigure) {
  const FigureRecord figure{kExampleDraws, {-1, 1, -1}, {}};
  for (const auto& [name, options] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"plot.svg", {"--pens=#ff0000,#0000ff", "--pen-width", "0.5"}},
           {"plot.hpgl", {"--speed", "80"}},
           {"print.pdf", {"--on-white"}},
           {"print.png", {"--dpi", "72"}}}) {
    std::vector<std::string> args = {"--draws", kExample,    "--directions", "-1,1,-1",
                                     "--paper", "150x150mm", "-o",           Path(name)};
    args.insert(args.end(), options.begin(), options.end());
    const Outcome run = Render(args);
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    std::string error;
    EXPECT_EQ(OpenFigure(Path(name), error), figure) << name << ": " << error;
  }
}

TEST_F(Renderer, BadPaperValuesGetOneLineStatusTwoAndNoFile) {
  const std::string svg = Path("x.svg"), pdf = Path("x.pdf"), png = Path("x.png");
  const std::vector<std::vector<std::string>> bad = {
      {"--paper", "B5", "-o", svg},
      {"--paper", "0x0mm", "-o", svg},
      {"--paper", "A4", "--margin", "101", "-o", svg},
      {"--paper", "A4", "--margin", "-1", "-o", svg},
      {"--paper", "A4", "--pens", "0", "-o", svg},
      {"--paper", "A4", "--pens", "13", "-o", svg},
      {"--paper", "A4", "--pens", "#ff00zz", "-o", svg},
      {"--paper", "A4", "--pens", "red", "-o", svg},
      {"--paper", "A4", "--pen-width", "0", "-o", svg},
      {"--paper", "A4", "--speed", "fast", "-o", svg},
      {"--paper", "A4", "--dpi", "71", "-o", png},
      {"--paper", "A4", "--dpi", "1201", "-o", png},
      {"--paper", "A0", "--dpi", "600", "-o", png},
      {"--paper", "A4", "-o", Path("x.mp4")},
      {"--paper", "A4", "--size", "1000", "-o", png},
      {"--paper", "A4", "--pens", "3", "-o", pdf},
      {"--paper", "A4", "--dpi", "300", "-o", svg},
      {"--paper", "A4", "--on-white", "-o", png},
      {"--paper", "A4", "--pen-width", "50", "-o", svg},
      {"--paper", "A4", "--speed", "0", "-o", svg},
      {"--paper", "A4", "--plot-time", "0", "-o", svg},
      {"--paper", "A4", "--plot-time", "0h", "-o", Path("x.hpgl")},
      {"--paper", "A4", "--plot-time", "2", "-o", svg},
      {"--paper", "A4", "--plot-time", "2h", "-o", pdf},
      {"--paper", "A4", "--pen-lift", "z", "-o", svg},
      {"--paper", "A4", "--paper-colour", "grey", "-o", pdf},
      {"--paper", "A4", "--paper-colour", "black", "--on-white", "-o", pdf},
      {"--paper-colour", "black", "-o", png},
      {"--paper", "A7", "-o", svg},
      {"--paper", "A4", "--file-per-pen", "-o", Path("x.hpgl")},
      {"--paper", "A4", "--pen-lift", "servo,0", "-o", Path("x.gcode")},
      {"--paper", "A4", "--pen-lift", "z,60", "-o", Path("x.gcode")},
      {"--paper", "A4", "--pen-lift", "laser", "-o", Path("x.gcode")},
      {"-o", Path("x.gcode")},
      {"--pens", "3", "-o", svg},
      {"--landscape", "-o", png},
      {"-o", pdf},
      {"-o", Path("x.plt")},
  };
  ExpectRefused(bad);
}

TEST_F(Renderer, APaperFileThatCannotBeWrittenLeavesNothing) {
  SKIP_UNLESS_MOUNTS_WORK();
  // Each file is larger than the 26 KiB left on the disk.
  for (const std::string name : {"f.svg", "f.hpgl", "f.pdf", "f.png"}) {
    const Outcome run = Shell(
        "mkdir -p \"$D/disk\"\n"
        "unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs \"$D/disk\" &&"
        " dd if=/dev/zero of=\"$D/disk/filler\" bs=1k count=230 2>/dev/null;"
        " \"$R\" --draws " +
        kExample + " --paper A4 -o \"$D/disk/" + name +
        "\" >/dev/null; echo status $?; ls -A \"$D/disk\"'\n");
    EXPECT_EQ(run.out, "status 1\nfiller\n") << name << ": " << run.err;
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << name << run.err;
  }
}

}  // namespace
}  // namespace stringart
