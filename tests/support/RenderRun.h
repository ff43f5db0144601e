#pragma once

// Runs stringart-render as a user does, in a folder of the test's own: its files, its report and
// its refusals. STRINGART_RENDER names the program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "options/FigureCommand.h"

namespace stringart::testing {

namespace fs = std::filesystem;

// The example figure's draws.
inline const std::string kExample = FormatDraws(kExampleDraws);

struct Outcome {
  int status;
  std::string out, err;
};

inline void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stringart-render-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the renderer in the test folder, so that relative names land there.
  Outcome Render(const std::vector<std::string>& args) {
    std::string command = "cd '" + dir_.string() + "' && '" STRINGART_RENDER "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >'" + (dir_ / "out.txt").string() + "' 2>'" + (dir_ / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir_ / "out.txt"),
                ReadFile(dir_ / "err.txt")};
    fs::remove(dir_ / "out.txt");
    fs::remove(dir_ / "err.txt");
    return run;
  }

  // Runs a shell script with R standing for the renderer and D for the test folder.
  Outcome Shell(const std::string& script) {
    const std::string file = (dir_ / "script.sh").string();
    std::ofstream(file) << "export R='" STRINGART_RENDER "' D='" << dir_.string() << "'\n"
                        << script;
    const std::string command = "sh '" + file + "' >'" + (dir_ / "out.txt").string() + "' 2>'" +
                                (dir_ / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir_ / "out.txt"),
                ReadFile(dir_ / "err.txt")};
    for (const char* name : {"script.sh", "out.txt", "err.txt"}) fs::remove(dir_ / name);
    return run;
  }

  // Everything in the test folder: a failed run must leave nothing, not even a temporary.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    return names;
  }

  // Each of `runs` refused as bad input: status 2, one line on stderr, and nothing written.
  void ExpectRefused(const std::vector<std::vector<std::string>>& runs) {
    for (const auto& args : runs) {
      std::string shown;
      for (const auto& a : args) shown += a + " ";
      const Outcome run = Render(args);
      EXPECT_EQ(run.status, 2) << shown;
      EXPECT_EQ(run.err.rfind("stringart-render: ", 0), 0u) << shown << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << run.err;
      EXPECT_TRUE(Files().empty()) << shown;
    }
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

// Skips the test where private mounts (unshare -rm) are not allowed.
#define SKIP_UNLESS_MOUNTS_WORK() \
  if (Shell("unshare -rm true").status != 0) GTEST_SKIP() << "no private mounts here"

}  // namespace stringart::testing
