// The journal with real processes (keep_figures: the window, offscreen): killed with SIGKILL at
// random moments during fast "new"s it loses no figure that was on the screen; two windows at
// once lose no row; on a damaged file, a read-only disk or a full one the window goes on and
// tells once.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "text/Quote.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;

// What a run of keep_figures printed: the figures it had on the screen and what it told.
struct Printed {
  std::vector<std::string> shown, told;
  int status = -1;
  void Add(const std::string& line) {
    if (line.rfind("shown ", 0) == 0) shown.push_back(line.substr(6));
    if (line.rfind("told ", 0) == 0) told.push_back(line.substr(5));
  }
};

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stringart-keep-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Journal() const { return (dir_ / "stringart" / "figures.sqlite").string(); }

  // Every figure in the journal, "DRAWS DIRECTIONS", with how many rows each has.
  std::map<std::string, int> Kept() const {
    std::map<std::string, int> kept;
    // Killed early, a run may leave no file or no table yet: then nothing is kept.
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_open_v2(Journal().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "SELECT draws || ' ' || directions FROM figures", -1, &s, nullptr) !=
            SQLITE_OK) {
      sqlite3_close(db);
      return kept;
    }
    while (sqlite3_step(s) == SQLITE_ROW) {
      ++kept[reinterpret_cast<const char*>(sqlite3_column_text(s, 0))];
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return kept;
  }

  // Each figure shown has a row of its own, and no row is missing.
  void ExpectAllKept(const std::vector<std::string>& shown, const char* what) {
    std::map<std::string, int> wanted;
    for (const std::string& figure : shown) ++wanted[figure];
    const std::map<std::string, int> kept = Kept();
    for (const auto& [figure, times] : wanted) {
      const auto found = kept.find(figure);
      EXPECT_TRUE(found != kept.end() && found->second >= times)
          << what << ": shown " << times << " times, kept "
          << (found == kept.end() ? 0 : found->second) << ": " << figure;
    }
  }

  // Runs `script` with K for keep_figures, D for the test folder and the journal in D; what it
  // printed ("status N" lines give the status).
  Printed Shell(const std::string& script) {
    const std::string command = "K='" STRINGART_KEEP_FIGURES "' D='" + dir_.string() +
                                "' XDG_DATA_HOME='" + dir_.string() +
                                "' QT_QPA_PLATFORM=offscreen sh -c '" + script + "' 2>/dev/null";
    Printed printed;
    FILE* out = popen(command.c_str(), "r");
    char line[4096];
    while (fgets(line, sizeof line, out) != nullptr) {
      std::string text(line);
      if (!text.empty() && text.back() == '\n') text.pop_back();
      printed.Add(text);
      if (text.rfind("status ", 0) == 0) printed.status = std::stoi(text.substr(7));
    }
    pclose(out);
    return printed;
  }
  // keep_figures `figures`, to its end.
  Printed Run(long figures) { return Shell("$K " + std::to_string(figures) + "; echo status $?"); }

  fs::path dir_;
};

TEST_F(Windows, KilledAtRandomMomentsItLosesNoFigureThatWasOnTheScreen) {
  std::mt19937 random(20261208);
  std::vector<std::string> shown;
  for (int round = 0; round < 10; ++round) {
    // From the start-up (before the first figure) to a dozen figures in; what it printed before
    // it died was on the screen.
    const std::string wait = std::to_string(random() % 1500 / 1000.0);
    const Printed printed =
        Shell("$K 0 & p=$!; sleep " + wait + "; kill -9 $p; wait $p; echo status $?");
    ASSERT_EQ(printed.status, 128 + 9) << "round " << round << " ended before it was killed";
    EXPECT_TRUE(printed.told.empty()) << "round " << round << ": " << printed.told[0];
    shown.insert(shown.end(), printed.shown.begin(), printed.shown.end());
    ExpectAllKept(shown, ("after round " + std::to_string(round)).c_str());
  }
  EXPECT_GT(shown.size(), 10u) << "too few figures were shown to tell anything";
  const Printed after = Run(1);  // the journal opens after it all, undamaged
  EXPECT_TRUE(after.told.empty()) << after.told[0];
  EXPECT_EQ(after.shown.size(), 2u);
}

TEST_F(Windows, TwoWindowsAtOnceLoseNoRow) {
  const Printed both = Shell("$K 40 > \"$D/a\" & $K 40 > \"$D/b\" & wait; cat \"$D/a\" \"$D/b\"");
  ASSERT_EQ(both.shown.size(), 82u);
  EXPECT_TRUE(both.told.empty());
  ExpectAllKept(both.shown, "two windows");
  int rows = 0;
  for (const auto& [figure, times] : Kept()) rows += times;
  EXPECT_EQ(rows, 82);
}

TEST_F(Windows, ADamagedJournalIsSetAsideTheWindowWorksAndSaysSoOnce) {
  fs::create_directories(fs::path(Journal()).parent_path());
  const std::string garbage(50000, '\x5a');
  std::ofstream(Journal()) << garbage;
  std::ofstream(Journal() + "-wal") << "a log of some other file";
  const Printed run = Run(3);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.shown.size(), 4u);
  ASSERT_EQ(run.told.size(), 1u);
  std::string aside;
  for (const auto& file : fs::directory_iterator(fs::path(Journal()).parent_path())) {
    const std::string name = file.path().string();
    if (name.find(".damaged-") != std::string::npos && !name.ends_with("-wal") &&
        !name.ends_with("-shm")) {
      aside = name;
    }
  }
  EXPECT_NE(run.told[0].find("set aside as " + Quoted(aside)), std::string::npos) << run.told[0];
  ExpectAllKept(run.shown, "the fresh journal");
  // Unchanged, and with its log: left behind, a log would be replayed onto the fresh file.
  std::ifstream in(aside);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage) << aside;
  EXPECT_TRUE(fs::exists(aside + "-wal")) << aside;
  EXPECT_EQ(Run(1).told.size(), 0u) << "told again on the next start";
}

TEST_F(Windows, OnAReadOnlyOrFullDiskTheWindowWorksAndSaysOnceThatFiguresAreNotKept) {
  if (Shell("unshare -rm true; echo status $?").status != 0) GTEST_SKIP() << "no private mounts";
  const std::string readOnly =
      "mkdir \"$D/ro\"; unshare -rm sh -c \"mount -t tmpfs -o ro tmpfs $D/ro &&"
      " XDG_DATA_HOME=$D/ro $K 5\"";
  // Nearly full: a few KiB left, less than a fresh journal's first pages.
  const std::string full =
      "mkdir \"$D/full\"; unshare -rm sh -c \"mount -t tmpfs -o size=256k tmpfs $D/full &&"
      " dd if=/dev/zero of=$D/full/filler bs=1k count=248 2>/dev/null;"
      " XDG_DATA_HOME=$D/full $K 5\"";
  // The reason is SQLite's for the step that failed, not for the rollback after it.
  for (const auto& [script, reason] : {std::pair{readOnly, "unable to open database file"},
                                       std::pair{full, "database or disk is full"}}) {
    const Printed run = Shell(script);
    EXPECT_EQ(run.shown.size(), 6u) << script;
    ASSERT_EQ(run.told.size(), 1u) << script;
    EXPECT_NE(run.told[0].find("not being kept"), std::string::npos) << run.told[0];
    EXPECT_NE(run.told[0].find(std::string("(") + reason + ")."), std::string::npos) << run.told[0];
  }
}

}  // namespace
}  // namespace stringart
