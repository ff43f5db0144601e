// Large pictures and animations from stringart-render: what they show, what their containers
// say, and how bad input and failures end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "canvas/Picture1.h"
#include "canvas/SegmentRecorder.h"
#include "figure/Tracer.h"
#include "formats/PngFile.h"
#include "options/ExportRequest.h"
#include "options/FigureCommand.h"
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

FigureRecord Example() {
  std::string unused;
  return {*ParseDraws(kExample, unused), {1, 1, 1}, {}};
}

Image ExactRaster() {
  Picture1 picture;
  TraceAgain(Example(), picture);
  return Image(picture.pixels(), Picture1::kWidth, Picture1::kHeight);
}

// `image`'s `side` x `side` square at (left, top) averaged down to 500 x 500.
Image ScaledDown(const Image& image, int left, int top, int side) {
  const int k = side / 500;
  Image small(500, 500);
  for (int y = 0; y < 500; ++y) {
    for (int x = 0; x < 500; ++x) {
      int sum[3] = {};
      for (int dy = 0; dy < k; ++dy) {
        for (int dx = 0; dx < k; ++dx) {
          const std::uint32_t p = image.at(left + x * k + dx, top + y * k + dy);
          sum[0] += testing::Red(p), sum[1] += testing::Green(p), sum[2] += testing::Blue(p);
        }
      }
      small.at(x, y) =
          0xFF000000u | (sum[0] / (k * k)) << 16 | (sum[1] / (k * k)) << 8 | sum[2] / (k * k);
    }
  }
  return small;
}

// Mean difference of two pictures of one size, per channel, 0 to 255.
double MeanDifference(const Image& a, const Image& b) {
  using testing::Blue, testing::Green, testing::Red;
  double total = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    const std::uint32_t p = a.pixels[i], q = b.pixels[i];
    total +=
        std::abs(Red(p) - Red(q)) + std::abs(Green(p) - Green(q)) + std::abs(Blue(p) - Blue(q));
  }
  return total / (3.0 * a.width * a.height);
}

// The scaled-down large picture differs from the exact raster by about 0.8 on average, where
// the raster moved by one pixel differs by 1.9, mirrored by 53 and with red and blue swapped by
// 22.
constexpr double kCloseEnough = 1.2;

TEST_F(Renderer, LargePictureScaledDownMatchesTheExactRaster) {
  const Image exact = ExactRaster();
  Image shifted(500, 500);  // one pixel to the right
  for (int y = 0; y < 500; ++y) {
    for (int x = 1; x < 500; ++x) shifted.at(x, y) = exact.at(x - 1, y);
  }
  const Image mirrored = exact.Mirrored(), recoloured = exact.RedBlueSwapped();

  // Square, and wider than high: the figure fills the height, centred.
  for (const auto& [size, left] :
       std::vector<std::pair<std::string, int>>{{"1000", 0}, {"1500x1000", 250}}) {
    const std::string file = Path("large-" + size + ".png");
    const Outcome run = Render({"--draws", kExample, "--size", size, "-o", file});
    ASSERT_EQ(run.status, 0) << size << ": " << run.err;
    const Image image = testing::ReadPng(file);
    ASSERT_EQ(image.height, 1000);
    std::string error;
    EXPECT_EQ(ReadPngText(file, "Comment", error), RemakeCommand(Example()) + " --size " + size);
    const Image small = ScaledDown(image, left, 0, 1000);
    EXPECT_LT(MeanDifference(small, exact), kCloseEnough) << size;
    for (const Image* wrong : {&mirrored, static_cast<const Image*>(&shifted), &recoloured}) {
      EXPECT_GT(MeanDifference(small, *wrong), kCloseEnough) << size;
    }
    if (left > 0) {  // the margins beside the figure stay black
      EXPECT_EQ(image.Crop(0, 0, left, 1000), Image(left, 1000)) << size;
    }
  }
}

// Pixels clearly not black.
long Lit(const Image& image) {
  using testing::Blue, testing::Green, testing::Red;
  long lit = 0;
  for (const std::uint32_t p : image.pixels) {
    lit += (Red(p) * 11 + Green(p) * 16 + Blue(p) * 5) / 32 > 40;  // grey as Qt's qGray weighs it
  }
  return lit;
}

// Reads `what` (ffprobe's -show_entries) of a file's video stream, one "key=value" a line.
std::string Probe(const std::string& file, const std::string& what) {
  const std::string out = file + ".probe";
  const std::string command = "ffprobe -v error -select_streams v:0 -count_frames -show_entries " +
                              what + " -of default=nw=1 '" + file + "' >'" + out + "' 2>&1";
  std::system(command.c_str());
  std::string text = ReadFile(out);
  std::remove(out.c_str());
  return text;
}

// Frame `n` of a clip as a picture, decoded by ffmpeg.
Image Frame(const std::string& file, int n) {
  const std::string out = file + "-" + std::to_string(n) + ".png";
  const std::string command = "ffmpeg -v error -y -i '" + file + "' -vf 'select=eq(n\\," +
                              std::to_string(n) + ")' -frames:v 1 '" + out + "'";
  std::system(command.c_str());
  Image image = testing::ReadPng(out);
  std::remove(out.c_str());
  return image;
}

#define SKIP_UNLESS_FFPROBE() \
  if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffprobe here"

TEST_F(Renderer, AnimationsHoldWhatWasAskedAndEndOnTheFigure) {
  SKIP_UNLESS_FFPROBE();
  LargePicture complete(600, 500);
  SegmentRecorder drawing;
  TraceAgain(Example(), drawing);
  complete.Draw(drawing.segments());
  const Image expected(complete.pixels(), 600, 500);
  for (const std::string codec : {"h264", "vp9"}) {
    const std::string file = Path(codec == "h264" ? "clip.mp4" : "clip.WEBM");
    // Two seconds at 24 frames a second, then one second of the complete figure.
    const Outcome run = Render(
        {"--draws", kExample, "--size", "600x500", "--seconds", "2", "--fps", "24", "-o", file});
    ASSERT_EQ(run.status, 0) << codec << ": " << run.err;
    const std::string stream =
        Probe(file, "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames");
    EXPECT_EQ(stream, "codec_name=" + codec +
                          "\nwidth=600\nheight=500\npix_fmt=yuv420p\nr_frame_rate=24/1\n"
                          "nb_read_frames=72\n");
    // MP4 names the tag "comment", WebM "COMMENT"; the command is in lower case.
    std::string format = Probe(file, "format=duration:format_tags");
    std::transform(format.begin(), format.end(), format.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    const double duration = std::atof(format.substr(format.find("duration=") + 9).c_str());
    EXPECT_NEAR(duration, 3.0, 0.05) << format;
    EXPECT_NE(format.find("tag:comment=" + RemakeCommand(Example()) +
                          " --size 600x500 --seconds 2 --fps 24\n"),
              std::string::npos)
        << format;
    if (codec == "h264") {  // the index (moov) before the frames (mdat), to play while loading
      const std::string bytes = ReadFile(file);
      EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
    }

    const Image first = Frame(file, 0), last = Frame(file, 71);
    ASSERT_EQ(first.width * 1000 + first.height, 600 * 1000 + 500) << codec;
    ASSERT_EQ(last.width * 1000 + last.height, 600 * 1000 + 500) << codec;
    // The first frame shows the first 1/48 of the strokes: a small part of the figure.
    EXPECT_GT(Lit(first), 0) << codec;
    EXPECT_LT(Lit(first), Lit(last) / 6) << codec;
    EXPECT_LT(MeanDifference(last, expected), 4.0) << codec;
    EXPECT_GT(MeanDifference(last, expected.Mirrored()), 20.0) << codec;
  }
}

// The complete figure of `figure` as a frame of a morph of `width` x `height` shows it: drawn
// whole at once.
Image FramePicture(const FigureRecord& figure, int width, int height) {
  LargePicture picture(width, height);
  SegmentRecorder drawing;
  TraceAgain(figure, drawing);
  picture.DrawWhole(drawing.segments());
  return Image(picture.pixels(), width, height);
}

TEST_F(Renderer, MorphsStartOnOneFigureAndEndOnTheOther) {
  SKIP_UNLESS_FFPROBE();
  const std::string kOther = "0.6,0.7,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.2,0.3,0.55";
  std::string unused;
  const FigureRecord from{*ParseDraws(kExample, unused), {-1, 1, 1}, {}};
  const FigureRecord to{*ParseDraws(kOther, unused), from.start, {}};
  const Image first = FramePicture(from, 600, 500), last = FramePicture(to, 600, 500);
  ASSERT_GT(MeanDifference(first, last), 10.0) << "the two figures must look apart";
  const std::string file = Path("morph.mp4");
  // One second at 6 frames a second, then one second of the last figure.
  const Outcome run = Render({"--draws", kExample, "--directions", "-1,1,1", "--morph-to", kOther,
                              "--size", "600x500", "--seconds", "1", "--fps", "6", "-o", file});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Probe(file, "stream=nb_read_frames"), "nb_read_frames=12\n");
  const auto request = ExportRequest::Make(file, {600, 500}, 1, 6, to.draws, unused);
  ASSERT_TRUE(request) << unused;
  EXPECT_NE(Probe(file, "format_tags=comment").find(RemakeCommand(from, *request)),
            std::string::npos);
  for (const auto& [frame, expected, other] :
       {std::tuple{0, &first, &last}, std::tuple{5, &last, &first},
        std::tuple{11, &last, &first}}) {
    const Image decoded = Frame(file, frame);
    ASSERT_EQ(decoded.width * 1000 + decoded.height, 600 * 1000 + 500) << "frame " << frame;
    EXPECT_LT(MeanDifference(decoded, *expected), 4.0) << "frame " << frame;
    EXPECT_GT(MeanDifference(decoded, *other), 10.0) << "frame " << frame;
  }
}

TEST_F(Renderer, BadSizesAndTimingsGetOneLineStatusTwoAndNoFile) {
  const std::string png = Path("x.png"), svg = Path("x.svg"), mp4 = Path("x.mp4");
  const std::vector<std::vector<std::string>> bad = {
      {"--size", "499", "-o", png},
      {"--size", "16385", "-o", png},
      {"--size", "1000x", "-o", png},
      {"--size", "x1000", "-o", png},
      {"--size", "1000x1000x1000", "-o", png},
      {"--size", "big", "-o", png},
      {"--size", "-1000", "-o", svg},
      {"--size", "1001", "-o", mp4},
      {"--size", "5000", "-o", Path("x.webm")},
      {"--seconds", "0", "-o", mp4},
      {"--seconds", "601", "-o", mp4},
      {"--seconds", "2.5", "-o", mp4},
      {"--fps", "0", "-o", mp4},
      {"--fps", "121", "-o", mp4},
      {"--seconds", "2", "-o", png},
      {"--fps", "30", "--size", "1000", "-o", svg},
      {"-o", Path("x.avi")},
      {"--morph-to", kExample, "-o", png},
      {"--morph-to", "0.1,0.2", "-o", mp4},
      {"--morph-to", "1,0,0,0,0,0,0,0,0,0,0,0", "-o", mp4},
  };
  ExpectRefused(bad);
}

TEST_F(Renderer, FailedOrInterruptedExportsLeaveNothing) {
  const Outcome missing = Render({"--draws", kExample, "-o", Path("missing/clip.mp4")});
  EXPECT_EQ(missing.status, 1) << missing.err;
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

  // An animation long enough to be interrupted while it is being encoded.
  for (const auto& [signal, status] : {std::pair{"INT", "130"}, std::pair{"TERM", "143"}}) {
    const Outcome run = Shell(std::string("\"$R\" --draws ") + kExample +
                              " --seconds 600 --size 500 -o \"$D/long.mp4\" >/dev/null &\n"
                              "pid=$!\nsleep 1.5\nkill -" +
                              signal + " $pid\nwait $pid\necho status $?\n");
    EXPECT_EQ(run.out, std::string("status ") + status + "\n") << signal << ": " << run.err;
    EXPECT_NE(run.err.find("nothing written"), std::string::npos) << run.err;
  }
  EXPECT_TRUE(Files().empty());
}

TEST_F(Renderer, AFullDiskDuringAnExportLeavesNoFile) {
  SKIP_UNLESS_MOUNTS_WORK();
  // Each file is larger than the 26 KiB left: the PNG about 100 KiB, the clips about 40.
  for (const auto& [name, options] : {std::pair<std::string, std::string>{"f.png", "--size 600"},
                                      {"f.mp4", "--size 500 --seconds 2 --fps 24"},
                                      {"f.webm", "--size 500 --seconds 2 --fps 24"}}) {
    const Outcome run = Shell(
        "mkdir -p \"$D/disk\"\n"
        "unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs \"$D/disk\" &&"
        " dd if=/dev/zero of=\"$D/disk/filler\" bs=1k count=230 2>/dev/null;"
        " \"$R\" --draws " +
        kExample + " " + options + " -o \"$D/disk/" + name +
        "\" >/dev/null; echo status $?; ls -A \"$D/disk\"'\n");
    EXPECT_EQ(run.out, "status 1\nfiller\n") << name << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "[" << run.err << "]";
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
  }
}

// Ten minutes at 4096 x 4096 on two CPUs: memory at its most in the first 15 s stays within what
// the picture and the encoder's threads need (0.7 GB for MP4, 1.2 GB for WebM) and a bounded
// lookahead; before, 1.73 GB and 2.03 GB.
TEST_F(Renderer, TheLargestClipHoldsFewFramesInFlight) {
#ifdef STRINGART_SANITIZED
  GTEST_SKIP() << "the sanitizers' shadow memory makes resident memory meaningless";
#endif
  if (std::system("taskset -c 0,1 true 2>/dev/null") != 0) GTEST_SKIP() << "no two CPUs to pin";
  for (const auto& [name, mostKb] : {std::pair{"long.mp4", 1'200'000}, {"long.webm", 1'600'000}}) {
    const Outcome run = Shell(std::string("taskset -c 0,1 \"$R\" --draws ") + kExample +
                              " --seconds 600 --size 4096 -o \"$D/" + name +
                              "\" >/dev/null 2>&1 &\npid=$!\nsleep 15\n"
                              "awk '/VmHWM/ { print $2 }' /proc/$pid/status\n"
                              "kill $pid\nwait $pid\n");
    ASSERT_FALSE(run.out.empty()) << name << ": " << run.err;
    EXPECT_LT(std::stol(run.out), mostKb) << name << ": " << run.out << " kB at the most";
  }
  EXPECT_TRUE(Files().empty());
}

}  // namespace
}  // namespace stringart
