// stringart-render handed what a careless or a hostile user hands it: output names that look like
// addresses, the terminal closing, a file of another mode to write over, escapes and pages of
// text in its arguments.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "export/FigureFile.h"
#include "tests/support/RenderRun.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;
using testing::kExample;
using testing::Outcome;
using testing::Renderer;

// Names FFmpeg would read as protocols (file:, pipe:, tee:, md5:) or not at all (12:30); each file
// then opens again as its figure, at every size.
TEST_F(Renderer, AnyNameThatWorksForAPictureWorksForAClip) {
  const std::vector<std::string> names = {
      "file:y.mp4",      "pipe:x.webm", "tee:t.mp4",  "md5:m.webm",    "12:30.webm",
      "take2:final.mp4", "pipe:p.png",  "file:f.svg", "tee:large.png", "md5:large.svg"};
  for (const std::string& name : names) {
    std::vector<std::string> args = {"--draws", kExample, "-o", name};
    if (FormatForPath(name) == FigureFormat::Mp4 || FormatForPath(name) == FigureFormat::Webm) {
      args.insert(args.end(), {"--size", "500", "--seconds", "1", "--fps", "2"});
    } else if (name.find("large") != std::string::npos) {
      args.insert(args.end(), {"--size", "600x500"});
    }
    const Outcome run = Render(args);
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_EQ(run.out, "figure 1 draws " + kExample + " directions 1,1,1 -> 1,1,-1\n") << name;
    EXPECT_EQ(Files(), std::vector<std::string>{name}) << name;
    std::string error;
    const auto opened = OpenFigure(Path(name), error);
    ASSERT_TRUE(opened) << name << ": " << error;
    EXPECT_EQ(opened->draws, kExampleDraws) << name;
    fs::remove(Path(name));
  }
}

TEST_F(Renderer, HangingUpLeavesNothingAndTheOlderFileUntouched) {
  testing::WriteText(Path("hup.webm"), "older");
  const Outcome run = Shell("\"$R\" --draws " + kExample +
                            " --seconds 600 --size 500 -o \"$D/hup.webm\" >/dev/null &\n"
                            "pid=$!\nsleep 1.5\nkill -HUP $pid\nwait $pid\necho status $?\n");
  EXPECT_EQ(run.out, "status 129\n") << run.err;
  EXPECT_NE(run.err.find("hung up"), std::string::npos) << run.err;
  EXPECT_EQ(Files(), std::vector<std::string>{"hup.webm"});
  EXPECT_EQ(testing::ReadFile(Path("hup.webm")), "older");
}

// Standard output on a full disk: the figure lines, and --help, are output too; status 1, one
// line, and no file.
TEST_F(Renderer, StandardOutputThatCannotBeWrittenFailsTheRun) {
  for (const std::string& args :
       {"--draws " + kExample + " -o \"$D/f.png\"", std::string("--help")}) {
    const Outcome run = Shell("\"$R\" " + args + " >/dev/full\necho status $?\n");
    EXPECT_EQ(run.out, "status 1\n") << args << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << run.err;
    EXPECT_NE(run.err.find("No space left"), std::string::npos) << args << run.err;
    EXPECT_TRUE(Files().empty()) << args;
  }
}

TEST_F(Renderer, WritingOverAFileKeepsItsPermissionBits) {
  struct Case {
    std::string name, options;
    mode_t mode;
  };
  for (const auto& [name, options, mode] :
       std::vector<Case>{{"a.png", "", 0600},
                         {"a.svg", "", 0640},
                         {"b.png", "--size 600", 0604},
                         {"a.mp4", "--size 500 --seconds 1 --fps 2", 0660}}) {
    testing::WriteText(Path(name), "older");
    chmod(Path(name).c_str(), mode);
    const Outcome run =
        Shell("\"$R\" --draws " + kExample + " " + options + " -o \"$D/" + name + "\" >/dev/null");
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    struct stat about {};
    ASSERT_EQ(stat(Path(name).c_str(), &about), 0);
    EXPECT_EQ(about.st_mode & 0777, mode)
        << name << " written over a file of mode " << std::oct << mode;
  }
}

// Names of 249 to 255 bytes, which the file system takes, through each way a file is written.
TEST_F(Renderer, TheLongestNameTheFolderTakesIsWritten) {
  for (const auto& [name, size] : std::vector<std::pair<std::string, std::string>>{
           {std::string(251, 'n') + ".png", ""},
           {std::string(245, 'n') + ".png", "600"},
           {std::string(250, 'n') + ".webm", "500 --seconds 1 --fps 2"}}) {
    const Outcome run = Shell("\"$R\" --draws " + kExample + (size.empty() ? "" : " --size ") +
                              size + " -o \"$D/" + name + "\" >/dev/null");
    EXPECT_EQ(run.status, 0) << name.size() << " bytes: " << run.err;
    EXPECT_EQ(Files(), std::vector<std::string>{name});
    fs::remove(Path(name));
  }
}

// A pipe, a device or a folder named as the output is refused before any figure and stays as it
// was; a symbolic link is replaced by the file, the file it pointed to left alone.
TEST_F(Renderer, AnOutputThatIsNoRegularFileIsRefusedAndALinkIsReplaced) {
  Shell(
      "mkfifo \"$D/f.png\"; mknod \"$D/null.png\" c 1 3 2>/dev/null; mkdir \"$D/d.png\"\n"
      "echo text >\"$D/t.txt\"; ln -s t.txt \"$D/link.png\"");
  for (const char* name : {"f.png", "null.png", "d.png"}) {
    if (!fs::exists(fs::symlink_status(Path(name)))) continue;  // mknod needs privilege
    const fs::file_type kind = fs::symlink_status(Path(name)).type();
    const Outcome run = Render({"--draws", kExample, "-o", name});
    EXPECT_EQ(run.status, 1) << name << ": " << run.err;
    EXPECT_EQ(fs::symlink_status(Path(name)).type(), kind) << name;
  }
  EXPECT_NE(Render({"--draws", kExample, "-o", "f.png"}).err.find("not a regular file"),
            std::string::npos);
  ASSERT_EQ(Render({"--draws", kExample, "-o", "link.png"}).status, 0);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Path("link.png"))));
  EXPECT_EQ(testing::ReadFile(Path("t.txt")), "text\n");
}

// The next write into a folder removes temporaries of ours (a killed run's) an hour old, and
// nothing else: not one being written, nor a user's file of another name.
TEST_F(Renderer, TemporariesLeftOverAnHourAreRemovedAndNothingElse) {
  const std::vector<std::pair<std::string, int>> files = {
      {".stringart-Ab12Cd.tmp", 120},  {".stringart-Zz99Yy.tmp", 50}, {"report.pdf.backup", 120},
      {"v.webm.a1B2c3", 120},          {"stringart-Ab12Cd.tmp", 120}, {".stringart-Ab12C.tmp", 120},
      {".stringart-Ab12Cd.tmp~", 120}, {".stringart-Ab-2Cd.tmp", 120}};
  std::set<std::string> kept = {"f.svg"};
  for (const auto& [name, minutes] : files) {
    testing::WriteText(Path(name), "kept");
    fs::last_write_time(Path(name),
                        fs::file_time_type::clock::now() - std::chrono::minutes(minutes));
    if (name != files[0].first) kept.insert(name);
  }
  ASSERT_EQ(Render({"--draws", kExample, "-o", "f.svg"}).status, 0);
  const std::vector<std::string> left = Files();
  EXPECT_EQ(std::set<std::string>(left.begin(), left.end()), kept);
}

TEST_F(Renderer, MessagesShowControlCharactersEscapedAndLongTextCut) {
  const std::string page(100000, '7');
  const std::vector<std::vector<std::string>> runs = {
      {"-o", "\x1b]0;owned\x07\x1b[2J.txt"},
      {"--draws", "\x1b[31m,0,0"},
      {"--draws", page},
      {"--seed", page},
      {"--figures", "1\r\n2"},
      {"\x1b[1;1H"},
  };
  for (const auto& args : runs) {
    std::vector<std::string> all = args;
    if (std::find(all.begin(), all.end(), "-o") == all.end())
      all.insert(all.end(), {"-o", "x.png"});
    const Outcome run = Render(all);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(std::none_of(run.err.begin(), run.err.end() - 1, [](unsigned char c) {
      return c < 0x20 || c == 0x7f;
    })) << run.err;
    EXPECT_LT(run.err.size(), 400u) << run.err.substr(0, 400);
  }
}

}  // namespace
}  // namespace stringart
