// The journal without the window: every figure to the bit, what a script may add, earlier runs,
// favourites, the size of 100,000 figures, a newer file and where it lives. (Damaged files, and
// disks that refuse, are tested with the window: JournalProcessTest.)
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "tests/support/Figures.h"
#include "text/FigureCommand.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;
using testing::DrawnFigure;
using namespace std::chrono_literals;

// A folder of its own for each test, removed afterwards.
class JournalFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stringart-journal-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    path_ = (dir_ / "stringart" / "figures.sqlite").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Opens the journal, noting what it tells.
  std::unique_ptr<Journal> Open() {
    return std::make_unique<Journal>(path_, [this](JournalNotice notice, const std::string& t) {
      std::lock_guard lock(mutex_);
      told_.push_back({notice, t});
    });
  }
  // Runs `sql` on the file with SQLite alone, as a script would; returns the first column of
  // the first row, if any.
  std::string Sql(const std::string& sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    std::string first;
    char* error = nullptr;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int, char** values, char**) {
          auto& s = *static_cast<std::string*>(out);
          if (s.empty() && values[0] != nullptr) s = values[0];
          return 0;
        },
        &first, &error);
    EXPECT_EQ(error, nullptr) << sql << ": " << error;
    sqlite3_free(error);
    sqlite3_close(db);
    return first;
  }
  std::vector<std::pair<JournalNotice, std::string>> told() {
    std::lock_guard lock(mutex_);
    return told_;
  }

  fs::path dir_;
  std::string path_;
  std::mutex mutex_;
  std::vector<std::pair<JournalNotice, std::string>> told_;
};

TEST_F(JournalFile, KeepsEveryFigureToTheBitAndTakesRowsAScriptAdds) {
  {
    auto journal = Open();
    for (int i = 0; i < 20; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
    ASSERT_TRUE(journal->AwaitKept(5s));
    const std::vector<JournalRow> rows = journal->Figures(false, 0);
    ASSERT_EQ(rows.size(), 20u);
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(rows[19 - static_cast<std::size_t>(i)].figure, DrawnFigure(i)) << "newest first";
    }
  }
  EXPECT_EQ(Sql("PRAGMA user_version"), std::to_string(Journal::kSchemaVersion));
  EXPECT_EQ(Sql("PRAGMA journal_mode"), "wal");
  EXPECT_EQ(Sql("SELECT draws FROM figures WHERE id = 3"), FormatDraws(DrawnFigure(2).draws));
  EXPECT_EQ(Sql("SELECT directions FROM figures WHERE id = 2"), "-1,1,1");
  EXPECT_EQ(Sql("SELECT origin FROM figures WHERE id = 2"), "2") << "new";

  // A script's row: only draws, directions and favourite; and one that is no figure at all.
  Sql("INSERT INTO figures (draws, directions, favourite) VALUES ('" + FormatDraws(kExampleDraws) +
      "', '1,-1,1', 1)");
  Sql("INSERT INTO figures (draws, directions) VALUES ('not draws', '1,1,1')");
  auto journal = Open();
  const std::vector<JournalRow> favourites = journal->Figures(true, 0);
  ASSERT_EQ(favourites.size(), 1u);
  EXPECT_EQ(favourites[0].figure, (FigureRecord{kExampleDraws, {1, -1, 1}, {}}));
  EXPECT_TRUE(journal->IsFavourite(favourites[0].figure));
  EXPECT_EQ(journal->Figures(false, 0).size(), 21u) << "the script's figure among all";
  EXPECT_EQ(journal->Figures(false, favourites[0].shownAt + 1000).size(), 0u) << "since later";
  EXPECT_TRUE(told().empty());
}

TEST_F(JournalFile, EarlierFiguresAreThoseOfEarlierRunsNewestFirstAPageAtATime) {
  Open()->Record(DrawnFigure(0), FigureOrigin::Start);
  {
    auto second = Open();
    for (int i = 1; i < 5; ++i) second->Record(DrawnFigure(i), FigureOrigin::New);
  }
  auto journal = Open();
  journal->Record(DrawnFigure(99), FigureOrigin::Start);  // this run's: never earlier
  ASSERT_TRUE(journal->AwaitKept(5s));
  const std::vector<KeptFigure> page = journal->Earlier(0, 3);
  ASSERT_EQ(page.size(), 3u);
  EXPECT_EQ(page[0].figure, DrawnFigure(4));
  EXPECT_EQ(page[2].figure, DrawnFigure(2));
  const std::vector<KeptFigure> rest = journal->Earlier(page.back().id, 3);
  ASSERT_EQ(rest.size(), 2u);
  EXPECT_EQ(rest[1].figure, DrawnFigure(0));
  EXPECT_TRUE(journal->Earlier(rest.back().id, 3).empty());
}

TEST_F(JournalFile, FavouritesComeMostRecentlyMarkedFirstAndAnUndoneUnmarkKeepsItsPlace) {
  auto journal = Open();
  for (int i = 0; i < 3; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
  journal->Record(DrawnFigure(1), FigureOrigin::Gallery);  // shown twice: one favourite
  journal->SetFavourite(DrawnFigure(1), true, 0, 1000.0);
  journal->SetFavourite(DrawnFigure(2), true, 0, 2000.0);
  journal->SetFavourite(DrawnFigure(0), true, 0, 3000.0);
  auto order = [&journal] {
    std::vector<FigureRecord> figures;
    for (const JournalRow& row : journal->Figures(true, 0)) figures.push_back(row.figure);
    return figures;
  };
  EXPECT_EQ(order(), (std::vector{DrawnFigure(0), DrawnFigure(2), DrawnFigure(1)}));
  journal->SetFavourite(DrawnFigure(2), false);
  EXPECT_FALSE(journal->IsFavourite(DrawnFigure(2)));
  EXPECT_EQ(order(), (std::vector{DrawnFigure(0), DrawnFigure(1)}));
  journal->SetFavourite(DrawnFigure(2), true, 0, 2000.0);
  EXPECT_EQ(order(), (std::vector{DrawnFigure(0), DrawnFigure(2), DrawnFigure(1)}));
  journal.reset();
  EXPECT_TRUE(Open()->IsFavourite(DrawnFigure(2))) << "marks outlive the run";
}

// 15 MiB. The draws' text alone, as the program draws them, is 126.5 bytes a figure on average,
// and the directions 6.5.
TEST_F(JournalFile, AHundredThousandFiguresTakeUnderFifteenMegabytes) {
  constexpr int kFigures = 100000;
  {
    auto journal = Open();
    for (int i = 0; i < kFigures; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
  }
  std::uintmax_t bytes = 0;
  for (const auto& file : fs::directory_iterator(dir_ / "stringart")) bytes += file.file_size();
  EXPECT_LT(bytes, 15u << 20) << "bytes on disk for " << kFigures << " figures";
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM figures"), std::to_string(kFigures));
  EXPECT_EQ(Sql("SELECT draws FROM figures WHERE id = 77777"),
            FormatDraws(DrawnFigure(77776).draws));
}

TEST_F(JournalFile, ANewerJournalIsLeftAloneAndNothingIsKept) {
  Open().reset();
  Sql("PRAGMA user_version = 99");
  auto journal = Open();
  journal->Record(DrawnFigure(1), FigureOrigin::Start);
  EXPECT_TRUE(journal->AwaitKept(5s));
  EXPECT_FALSE(journal->keeping());
  EXPECT_TRUE(journal->Earlier(0, 10).empty());
  ASSERT_EQ(told().size(), 1u);
  EXPECT_EQ(told()[0].first, JournalNotice::NotKept);
  journal.reset();
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM figures"), "0");
  EXPECT_EQ(Sql("PRAGMA user_version"), "99");
}

TEST(JournalPath, FollowsXdgDataHomeElseHome) {
  const std::string data = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_DATA_HOME", "/data", 1);
  EXPECT_EQ(Journal::DefaultPath(), "/data/stringart/figures.sqlite");
  setenv("XDG_DATA_HOME", "relative", 1);  // a relative one is to be ignored
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(Journal::DefaultPath(), "/home/u/.local/share/stringart/figures.sqlite");
  unsetenv("XDG_DATA_HOME");
  unsetenv("HOME");
  EXPECT_EQ(Journal::DefaultPath(), "");
  setenv("HOME", home.c_str(), 1);
  if (!data.empty()) setenv("XDG_DATA_HOME", data.c_str(), 1);
}

}  // namespace
}  // namespace stringart
