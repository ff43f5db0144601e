// Opening figure files as anyone may hand them over: files made to harm (no regular file, text
// made to exhaust memory, NULs, markup) are refused at once with a message.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/FigureFile.h"
#include "options/FigureCommand.h"
#include "tests/support/PngChunks.h"
#include "tests/support/RenderRun.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;
using testing::PngWith;
using testing::TextChunk;

// A folder of the test's own, as the renderer's tests have.
using OpenFigureFile = testing::Renderer;

std::string Write(const std::string& path, const std::string& bytes) {
  testing::WriteText(path, bytes);
  return path;
}

const FigureRecord kFigure{kExampleDraws, {-1, 1, -1}, {}};
const std::string kCommand = RemakeCommand(kFigure);

// Peak resident memory of this process, KiB.
long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST_F(OpenFigureFile, AnythingButARegularFileIsRefusedAtOnce) {
  // Each would block a reader (a FIFO without a writer, a terminal) or never end (a device).
  ASSERT_EQ(mkfifo(Path("fifo.png").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(Path("fifo.svg").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(Path("fifo.webm").c_str(), 0600), 0);
  fs::create_directories(dir_ / "folder.png");
  fs::create_symlink("/dev/zero", dir_ / "zero.svg");
  fs::create_symlink("/dev/null", dir_ / "null.mp4");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"fifo.png", "pipe"},     {"fifo.svg", "pipe"},   {"fifo.webm", "pipe"},
      {"folder.png", "folder"}, {"zero.svg", "device"}, {"null.mp4", "device"},
  };
  for (const auto& [name, why] : cases) {
    std::string error;
    EXPECT_FALSE(OpenFigure(Path(name), error)) << name;
    EXPECT_NE(error.find(why), std::string::npos) << name << ": " << error;
  }
}

TEST_F(OpenFigureFile, TextMadeToExhaustMemoryIsRefusedUnread) {
  // A tEXt chunk that says it holds 1 GiB, in a sparse file of that size.
  {
    std::string png = PngWith({});
    std::string head = png.substr(0, 33);
    head += std::string("\x40\0\0\0tEXtComment\0", 16) + kCommand;
    std::ofstream(Path("huge.png"), std::ios::binary) << head;
    fs::resize_file(Path("huge.png"), (1u << 30) + 64);
  }
  Write(Path("bomb.png"),
        PngWith({{"zTXt", TextChunk("Comment", std::string(64 << 20, ' '), true)}}));
  Write(Path("long.png"),
        PngWith({{"tEXt", TextChunk("Comment", kCommand + std::string(70000, ' '))}}));
  Write(Path("long.svg"),
        "<svg><metadata>" + kCommand + std::string(70000, ' ') + "</metadata></svg>");
  Write(Path("open.svg"), "<svg><metadata>" + kCommand + "</svg>");
  const long before = PeakKib();
  for (const char* name : {"huge.png", "bomb.png", "long.png", "long.svg", "open.svg"}) {
    std::string error;
    EXPECT_FALSE(OpenFigure(Path(name), error)) << name;
    EXPECT_NE(error.find(name == std::string("open.svg") ? "never closed" : "longer than 64 KiB"),
              std::string::npos)
        << name << ": " << error;
  }
  EXPECT_LT(PeakKib() - before, 16 * 1024) << "KiB more at the peak";
}

TEST_F(OpenFigureFile, ACommandWithBytesNoCommandHoldsIsDamaged) {
  // Cut at the NUL, this would still be a good command, for a figure starting 1,1,1.
  const std::string nul = "stringart-render --draws " + FormatDraws(kFigure.draws) +
                          std::string(1, '\0') + " --directions -1,1,-1";
  const std::string markup = kCommand + " <h1>big</h1><a href=\"https://example.com\">x</a>";
  const std::string escape = kCommand + " \x1b[2J";
  const std::vector<std::pair<std::string, std::string>> files = {
      {"nul.png", PngWith({{"tEXt", TextChunk("Comment", nul)}})},
      {"nulz.png", PngWith({{"zTXt", TextChunk("Comment", nul, true)}})},
      {"nul.svg", "<svg><metadata>" + nul + "</metadata></svg>"},
      {"markup.png", PngWith({{"tEXt", TextChunk("Comment", markup)}})},
      {"escape.svg", "<svg><metadata>" + escape + "</metadata></svg>"},
  };
  for (const auto& [name, bytes] : files) {
    std::string error;
    EXPECT_FALSE(OpenFigure(Write(Path(name), bytes), error)) << name;
    EXPECT_NE(error.find("damaged"), std::string::npos) << name << ": " << error;
    for (const char* raw : {"\x1b", "<h1>"}) {
      EXPECT_EQ(error.find(raw), std::string::npos) << name << ": " << error;
    }
  }
}

}  // namespace
}  // namespace stringart
