// stringart-render, run as a user runs it: its files, its report and its refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/SegmentRecorder.h"
#include "export/FigureFile.h"
#include "figure/Tracer.h"
#include "formats/PngFile.h"
#include "options/FigureCommand.h"
#include "options/RenderOptions.h"
#include "tests/support/PngImage.h"
#include "tests/support/RenderRun.h"
#include "tests/support/SvgRead.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;
using testing::kExample;
using testing::Outcome;
using testing::ReadFile;
using testing::Renderer;

TEST_F(Renderer, PngIsTheRasterOfTheFigure) {
  const Outcome run = Render({"--draws", kExample, "-o", Path("figure.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "figure 1 draws " + kExample + " directions 1,1,1 -> 1,1,-1\n");
  EXPECT_EQ(run.err, "");

  const testing::Image rgb = testing::ReadPng(Path("figure.png"));
  ASSERT_EQ(rgb.width, 500);
  ASSERT_EQ(rgb.height, 500);
  std::string error;
  EXPECT_EQ(ReadPngText(Path("figure.png"), "Comment", error),
            "stringart-render --draws " + kExample + " --directions 1,1,1");

  Picture1 expected;
  std::string unused;
  TraceAgain({*ParseDraws(kExample, unused), {1, 1, 1}, {}}, expected);
  long lit = 0;
  for (int y = 0; y < 500; ++y) {
    for (int x = 0; x < 500; ++x) {
      ASSERT_EQ(rgb.at(x, y), expected.pixels()[y * 500 + x]) << "pixel " << x << "," << y;
      lit += expected.At(x, y) != kBlack;
    }
  }
  // The figure covers part of the canvas; the rest, corners included, is black.
  EXPECT_GT(lit, 20000);
  EXPECT_LT(lit, 250000 - 20000);
  EXPECT_EQ(rgb.at(0, 0), 0xFF000000u);
  EXPECT_EQ(rgb.at(499, 499), 0xFF000000u);
}

TEST_F(Renderer, SvgHoldsExactlyTheSegmentsDrawn) {
  const Outcome run =
      Render({"--draws=" + kExample, "--directions", "-1,1,-1", "--output", Path("figure.svg")});
  ASSERT_EQ(run.status, 0) << run.err;
  SegmentRecorder expected;
  std::string unused;
  TraceAgain({*ParseDraws(kExample, unused), {-1, 1, -1}, {}}, expected);
  const std::string svg = ReadFile(Path("figure.svg"));
  EXPECT_EQ(testing::ReadSvgSegments(svg), expected.segments());
  EXPECT_NE(svg.find("--directions -1,1,-1"), std::string::npos);
}

TEST_F(Renderer, EachReportedFigureCanBeMadeAgain) {
  const Outcome run = Render({"--seed", "43210.5", "--figures", "3", "-o", Path("third.svg")});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines;
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  // "figure 3 draws U,... directions R,G,B -> R,G,B"
  std::istringstream third(lines[2]);
  std::string word, number, drawWord, draws, dirWord, start, arrow, end;
  third >> word >> number >> drawWord >> draws >> dirWord >> start >> arrow >> end;
  ASSERT_EQ(number, "3");
  // Directions carry over: each figure starts where the one before ended.
  EXPECT_NE(lines[1].find("-> " + start), std::string::npos) << lines[1] << "\n" << lines[2];

  const Outcome again = Render({"--draws", draws, "--directions", start, "-o", Path("again.svg")});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "figure 1 draws " + draws + " directions " + start + " -> " + end + "\n");
  EXPECT_EQ(ReadFile(Path("again.svg")), ReadFile(Path("third.svg")));

  // The same seed gives the same run; figures within it differ.
  const Outcome repeat = Render({"--seed", "43210.5", "--figures", "3", "-o", Path("third.png")});
  EXPECT_EQ(repeat.out, run.out);
  EXPECT_NE(lines[0].substr(9), lines[1].substr(9));
  // A file drawn again from the record is traced for it without the picture: the same figures.
  const Outcome print =
      Render({"--seed", "43210.5", "--figures", "3", "--paper", "A4", "-o", Path("third.pdf")});
  EXPECT_EQ(print.out, run.out);
}

TEST_F(Renderer, BadInputGetsOneLineStatusTwoAndNoFile) {
  const std::string out = Path("x.png");
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus", "-o", out},
      {"-o"},
      {"--figures", "0", "-o", out},
      {"--figures", "100001", "-o", out},
      {"--figures", "2.5", "-o", out},
      {"--seed", "86400", "-o", out},
      {"--seed", "-1", "-o", out},
      {"--seed", "noon", "-o", out},
      {"--draws", "0.1,0.2", "-o", out},
      {"--draws", "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,1", "-o", out},
      {"--draws", "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.99999999", "-o", out},
      {"--draws", "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,-0.1", "-o", out},
      {"--draws", "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,nan", "-o", out},
      {"--draws", "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,,0.5", "-o", out},
      {"--directions", "1,0,1", "-o", out},
      {"--directions", "1,1", "-o", out},
      {"--seed", "1", "--draws", kExample, "-o", out},
      {"--figures", "2", "--figures", "3", "-o", out},
      {"-o", Path("figure.jpg")},
      {"--seed", "5"},
      {"stray", "-o", out},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    const Outcome run = Render(args);
    EXPECT_EQ(run.status, 2) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_EQ(run.err.rfind("stringart-render: ", 0), 0u) << shown << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << run.err;
    EXPECT_TRUE(Files().empty()) << shown;
  }
}

TEST_F(Renderer, AnOutputThatCannotBeWrittenFailsWithStatusOneAndLeavesNothing) {
  fs::create_directories(dir_ / "taken.png");
  for (const std::string& target : {Path("taken.png"), Path("missing/figure.png")}) {
    const Outcome run = Render({"--draws", kExample, "-o", target});
    EXPECT_EQ(run.status, 1) << target;
    // Named by its end: a long path is cut in the middle.
    EXPECT_NE(run.err.find(fs::path(target).filename().string() + "'"), std::string::npos)
        << run.err;
    EXPECT_TRUE(Files().empty()) << target;
  }
}

TEST_F(Renderer, AFullDiskFailsTheWriteAndLeavesNoFile) {
  SKIP_UNLESS_MOUNTS_WORK();
  for (const std::string name : {"f.png", "f.svg"}) {
    const Outcome run = Shell(
        "mkdir -p \"$D/disk\"\n"
        "unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs \"$D/disk\" &&"
        " dd if=/dev/zero of=\"$D/disk/filler\" bs=1k count=230 2>/dev/null;"
        " \"$R\" --draws " +
        kExample + " -o \"$D/disk/" + name + "\" >/dev/null; echo status $?; ls -A \"$D/disk\"'\n");
    EXPECT_EQ(run.out, "status 1\nfiller\n") << name << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "[" << run.err << "]";
    EXPECT_NE(run.err.find("disk/" + name), std::string::npos) << run.err;
  }
}

TEST_F(Renderer, AReadOnlyFolderFailsBeforeAnyFigure) {
  SKIP_UNLESS_MOUNTS_WORK();
  const Outcome run = Shell(
      "mkdir \"$D/ro\"\n"
      "unshare -rm sh -c 'mount -t tmpfs -o ro tmpfs \"$D/ro\" &&"
      " \"$R\" --figures 1000 -o \"$D/ro/f.png\"; echo status $?;"
      " ls -A \"$D/ro\"'\n");
  EXPECT_EQ(run.out, "status 1\n") << run.err;  // no figure lines, no files
  EXPECT_NE(run.err.find("not writable"), std::string::npos) << run.err;
}

TEST_F(Renderer, InterruptingOrTerminatingALongRunLeavesNoFile) {
  for (const auto& [signal, status, word] :
       {std::tuple{"INT", "130", "interrupted"}, std::tuple{"TERM", "143", "terminated"}}) {
    const Outcome run = Shell(std::string("\"$R\" --seed 1 --figures 100000 -o \"$D/long.png\" ") +
                              ">\"$D/lines\" &\npid=$!\nsleep 1\nkill -" + signal +
                              " $pid\nwait $pid\necho status $?\nrm \"$D/lines\"\n");
    EXPECT_EQ(run.out, std::string("status ") + status + "\n") << signal;
    EXPECT_NE(run.err.find(word), std::string::npos) << signal << ": " << run.err;
    EXPECT_TRUE(Files().empty()) << signal;
  }
}

// On a terminal: a count of the figures traced, then a bar with the time left while a long file
// is written; Ctrl+C there ends the bar's line before saying that nothing was written.
TEST_F(Renderer, OnATerminalLongWorkShowsItsProgress) {
  const Outcome run = Shell(
      "script -qec 'echo $$ >\"$D/pid\"; exec env -u LANGUAGE LC_ALL=C.UTF-8 \"$R\" --seed 1 "
      "--figures 2 --size 500 --seconds 600 -o \"$D/long.webm\"' /dev/null >\"$D/tty\" &\n"
      "for i in $(seq 600); do grep -q ' left' \"$D/tty\" && break; sleep 0.1; done\n"
      "kill -INT $(cat \"$D/pid\")\nwait $!\necho status $?\ncat \"$D/tty\"\n"
      "rm \"$D/pid\" \"$D/tty\"\n");
  EXPECT_EQ(run.out.substr(0, 11), "status 130\n") << run.out << run.err;
  EXPECT_NE(run.out.find("\rfigure 2 of 2\r\n"), std::string::npos) << run.out;
  // The bar's last state, its line ended, then why nothing was written.
  EXPECT_NE(run.out.find("\rlong.webm ["), std::string::npos) << run.out;
  EXPECT_TRUE(run.out.ends_with(
      " left   \r\nstringart-render: interrupted while writing; nothing written\r\n"))
      << run.out;
  EXPECT_TRUE(Files().empty());
}

TEST_F(Renderer, HelpAndVersion) {
  const Outcome help = Render({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: stringart-render"), std::string::npos);
  const Outcome shortHelp = Render({"-h"});
  EXPECT_EQ(shortHelp.status, 0);
  EXPECT_EQ(shortHelp.out, help.out);
  const Outcome version = Render({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("stringart-render ", 0), 0u);
}

// The window's "Copy figure command", pasted into a shell where stringart-render is on the path,
// also under a name that needs quoting.
TEST_F(Renderer, APastedFigureCommandRuns) {
  const FigureRecord figure{kExampleDraws, {1, -1, 1}, {}};
  for (const std::string name : {"figure.png", "it's a $figure.png"}) {
    const Outcome run = Shell("cd \"$D\" && PATH=\"$(dirname \"$R\"):$PATH\"\n" +
                              PastableCommand(figure, name) + "\n");
    EXPECT_EQ(run.status, 0) << PastableCommand(figure, name) << "\n" << run.err;
    EXPECT_EQ(Files(), std::vector<std::string>{name});
    fs::remove(Path(name));
  }
}

}  // namespace
}  // namespace stringart
