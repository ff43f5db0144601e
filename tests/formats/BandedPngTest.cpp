// Large pictures' PNGs deflated in bands: read back by libpng to the pixel, with their text and
// resolution, on every CPU and on one, at awkward sizes; a cancel leaves no file.
#include <gtest/gtest.h>
#include <png.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "formats/BandedPng.h"
#include "formats/LargePng.h"
#include "options/FigureCommand.h"
#include "tests/support/PngImage.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;

// Black with flat rectangles, as figures are, and some rows of noise, which deflate cannot shrink.
testing::Image Picture(int width, int height, std::uint32_t seed) {
  std::mt19937 random(seed);
  testing::Image image(width, height);
  for (int r = 0; r < 12; ++r) {
    const int left = random() % width, top = random() % height;
    const std::uint32_t colour = 0xFF000000u | (random() & 0xFFFFFFu);
    for (int y = top; y < std::min(height, top + 1 + static_cast<int>(random() % 90)); ++y) {
      for (int x = left; x < std::min(width, left + 1 + static_cast<int>(random() % 90)); ++x) {
        image.at(x, y) = colour;
      }
    }
  }
  for (int y = 0; y < height; y += 1 + random() % 40) {
    for (int x = 0; x < width; ++x) image.at(x, y) = 0xFF000000u | (random() & 0xFFFFFFu);
  }
  return image;
}

// The pixels per metre the file's pHYs chunk gives, or 0.
int PixelsPerMetre(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_uint_32 x = 0, y = 0;
  int unit = 0;
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_read_info(png, info);
    png_get_pHYs(png, info, &x, &y, &unit);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return unit == PNG_RESOLUTION_METER && x == y ? static_cast<int>(x) : 0;
}

class BandedPng : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("stringart-banded-png-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(BandedPng, ReadsBackToThePixelOnEveryCpuAndOnOne) {
  PngOptions options;
  options.texts = {{"Software", "stringart"}, {"Comment", "stringart-render --draws 0", true}};
  options.pixelsPerMetre = 11811;  // 300 dpi
  cpu_set_t all, one;
  ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof all, &all), 0);
  CPU_ZERO(&one);
  CPU_SET(sched_getcpu(), &one);
  for (const cpu_set_t* cpus : {&all, &one}) {
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof *cpus, cpus), 0);
    for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {3, 7}, {500, 333}, {1013, 777}}) {
      const std::string repro = std::to_string(width) + " x " + std::to_string(height) + " on " +
                                std::to_string(CPU_COUNT(cpus)) + " CPUs";
      const testing::Image picture = Picture(width, height, static_cast<std::uint32_t>(width));
      std::vector<std::uint32_t> spent = picture.pixels;  // the writer packs it in place
      const std::string path = (dir_ / "large.png").string();
      std::string error;
      ASSERT_EQ(WriteBandedPng(path, spent.data(), width, height, options, {}, error),
                ExportResult::Written)
          << repro << ": " << error;
      EXPECT_TRUE(testing::ReadPng(path) == picture) << repro;
      EXPECT_EQ(ReadPngText(path, "Comment", error), "stringart-render --draws 0") << repro;
      EXPECT_EQ(PixelsPerMetre(path), 11811) << repro;
    }
  }
  pthread_setaffinity_np(pthread_self(), sizeof all, &all);
}

// Cancelled at once, or while the file is written out: no file, and an older one of that name
// as it was.
TEST_F(BandedPng, ACancelLeavesNoFileAndTheOlderOneAsItWas) {
  const std::string path = (dir_ / "cancelled.png").string();
  std::ofstream(path) << "older";
  for (const double cancelAt : {0.0, 1.0}) {
    testing::Image picture = Picture(2000, 1500, 7);
    std::string error;
    const auto progress = [cancelAt](double done) { return done < cancelAt; };
    EXPECT_EQ(WriteBandedPng(path, picture.pixels.data(), 2000, 1500, {}, progress, error),
              ExportResult::Cancelled)
        << "cancelled at " << cancelAt;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "cancelled at " << cancelAt;
    std::ifstream older(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(older), {}), "older");
  }
}

// The largest picture's drawing looks at the request to stop after at most a tenth of a second's
// work of the thread that is asked (whatever else the machine runs), and ends soon after a
// refusal. Before, the picture was painted black first, 0.44 s of work unheard.
TEST_F(BandedPng, TheLargestPicturesDrawingHearsACancelEveryTenthOfASecond) {
#ifdef STRINGART_SANITIZED
  GTEST_SKIP() << "the sanitizers' checks make every piece of work several times longer";
#endif
  const auto threadTime = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
  };
  std::string error;
  const auto request =
      ExportRequest::Make((dir_ / "l.png").string(), {16384, 16384}, 0, 0, std::nullopt, error);
  ASSERT_TRUE(request) << error;
  // Times of the thread's own work, which a busy machine does not stretch as it does the clock's.
  std::chrono::nanoseconds last = threadTime(), longest{};
  const auto progress = [&](double done) {
    longest = std::max(longest, threadTime() - last);
    last = threadTime();
    return done < 0.49;  // refused near the end of the drawing, the first half of the progress
  };
  EXPECT_EQ(SaveLargePicture({kExampleDraws, {1, 1, 1}, {}}, *request, progress, error),
            ExportResult::Cancelled);
  EXPECT_LT(longest, std::chrono::milliseconds(100)) << longest.count() << " ns unheard";
  EXPECT_LT(threadTime() - last, std::chrono::milliseconds(500)) << "work went on after the cancel";
  EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
}  // namespace stringart
