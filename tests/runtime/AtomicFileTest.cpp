// Writing a file all or nothing where a user's files are: names as long as the file system takes,
// what may be written over, and the temporaries a killed run leaves behind.
#include "runtime/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace stringart {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class AtomicFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stringart-atomic-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  fs::path dir_;
};

TEST_F(AtomicFile, ANameAsLongAsTheFileSystemTakesIsWritten) {
  for (const std::size_t length : {249u, 250u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".png";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically((dir_ / name).string(), "picture", error))
        << length << ": " << error;
    EXPECT_EQ(Names(), std::set<std::string>{name}) << length;
    EXPECT_EQ(Read(dir_ / name), "picture");
    fs::remove(dir_ / name);
  }
}

// A pipe or a device named as the output is refused and stays what it was; a symbolic link is
// replaced by the file, the file it points to left alone.
TEST_F(AtomicFile, OnlyARegularFileIsWrittenOverAndALinkIsReplaced) {
  ASSERT_EQ(mkfifo((dir_ / "f.png").c_str(), 0644), 0);
  const bool device = mknod((dir_ / "null.png").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_directory(dir_ / "folder.png");
  for (const char* name : {"f.png", "null.png", "folder.png"}) {
    if (std::string(name) == "null.png" && !device) continue;  // mknod needs privilege
    const fs::path path = dir_ / name;
    const fs::file_type kind = fs::symlink_status(path).type();
    EXPECT_NE(CheckWritable(path.string()), WriteProblem::None) << name;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path.string(), "picture", error)) << name;
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << name << ": " << error;
    EXPECT_EQ(fs::symlink_status(path).type(), kind) << name;
    EXPECT_FALSE(CreateTempBeside(path.string(), error)) << name;
  }
  Write(dir_ / "target.txt", "a user's text");
  fs::create_symlink("target.txt", dir_ / "link.png");
  std::string error;
  EXPECT_EQ(CheckWritable((dir_ / "link.png").string()), WriteProblem::None);
  ASSERT_TRUE(WriteFileAtomically((dir_ / "link.png").string(), "picture", error)) << error;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_ / "link.png")));
  EXPECT_EQ(Read(dir_ / "link.png"), "picture");
  EXPECT_EQ(Read(dir_ / "target.txt"), "a user's text");
}

// A temporary is named as ours, hidden, short whatever the target's name; the next write into a
// folder removes temporaries of ours an hour old, and nothing else.
TEST_F(AtomicFile, TemporariesLeftOverAnHourAreRemovedAndNothingElse) {
  std::string error;
  const auto temp = CreateTempBeside((dir_ / (std::string(251, 'n') + ".png")).string(), error);
  ASSERT_TRUE(temp) << error;
  const std::string made = fs::path(*temp).filename().string();
  EXPECT_TRUE(made.starts_with(".stringart-")) << made;
  EXPECT_LT(made.size(), 32u) << made;
  EXPECT_EQ(fs::path(*temp).parent_path(), dir_);
  fs::remove(*temp);

  struct Case {
    const char* name;
    std::chrono::minutes age;
    bool removed;
  };
  const Case cases[] = {
      {".stringart-Ab12Cd.tmp", 120min, true},    // left by a killed run
      {".stringart-Zz99Yy.tmp", 50min, false},    // maybe still being written
      {"report.pdf.backup", 120min, false},       // a user's
      {"v.webm.a1B2c3", 120min, false},           // a name a user may give too
      {"stringart-Ab12Cd.tmp", 120min, false},    // not hidden
      {".stringart-Ab12C.tmp", 120min, false},    // a letter short
      {".stringart-Ab12Cd.tmp~", 120min, false},  // an editor's copy
      {".stringart-Ab-2Cd.tmp", 120min, false},   // a character mkstemp never puts
  };
  for (const Case& c : cases) {
    Write(dir_ / c.name, "kept");
    fs::last_write_time(dir_ / c.name, fs::file_time_type::clock::now() - c.age);
  }
  fs::create_directory(dir_ / ".stringart-Folder.tmp");
  fs::last_write_time(dir_ / ".stringart-Folder.tmp", fs::file_time_type::clock::now() - 120min);
  ASSERT_TRUE(WriteFileAtomically((dir_ / "out.svg").string(), "picture", error)) << error;
  const std::set<std::string> left = Names();
  for (const Case& c : cases) EXPECT_EQ(left.count(c.name), c.removed ? 0u : 1u) << c.name;
  EXPECT_EQ(left.count(".stringart-Folder.tmp"), 1u);
  EXPECT_EQ(left.count("out.svg"), 1u);
}

}  // namespace
}  // namespace stringart
