// The journal without the window: every figure to the bit, what a script may add, earlier runs,
// favourites, one row a figure, the gallery's pages, removing and notes, the size of 100,000
// figures, older, newer and foreign files and where it lives. (Damaged files, and disks that
// refuse, are tested with the window: JournalProcessTest.)
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "journal/Journal.h"
#include "options/FigureCommand.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;
using testing::DrawnFigure;
using namespace std::chrono_literals;

// The favourites, most recently marked first; or all figures since `since`, with `search` in
// their notes.
GalleryQuery Query(bool favourites, std::int64_t since = 0, std::string search = "") {
  GalleryQuery query;
  query.favouritesOnly = favourites;
  query.order = favourites ? GalleryQuery::Order::Marked : GalleryQuery::Order::Shown;
  query.since = since;
  query.search = std::move(search);
  return query;
}
const GalleryQuery kFavourites = Query(true);

// Every row of `query`, read page by page, `page` rows at a time.
std::vector<JournalRow> All(Journal& journal, const GalleryQuery& query, std::size_t page = 7) {
  std::vector<JournalRow> rows;
  GalleryCursor cursor;
  while (!cursor.end) {
    const std::vector<JournalRow> more = journal.Page(query, cursor, page);
    EXPECT_LE(more.size(), page);
    rows.insert(rows.end(), more.begin(), more.end());
  }
  return rows;
}

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
    return std::make_unique<Journal>(path_, [this](const JournalNews& news) {
      std::lock_guard lock(mutex_);
      told_.push_back({news.notice, news.Text()});
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
  // How SQLite runs `sql`: the details of its query plan.
  std::string Plan(const std::string& sql) {
    std::string plan;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    sqlite3_exec(
        db, ("EXPLAIN QUERY PLAN " + sql).c_str(),
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += std::string(values[3]) + "; ";
          return 0;
        },
        &plan, nullptr);
    sqlite3_close(db);
    return plan;
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
    const std::vector<JournalRow> rows = All(*journal, {});
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
  const std::vector<JournalRow> favourites = All(*journal, kFavourites);
  ASSERT_EQ(favourites.size(), 1u);
  EXPECT_EQ(favourites[0].figure, (FigureRecord{kExampleDraws, {1, -1, 1}, {}}));
  EXPECT_TRUE(journal->IsFavourite(favourites[0].figure));
  EXPECT_EQ(All(*journal, {}).size(), 21u) << "the script's figure among all";
  EXPECT_EQ(All(*journal, Query(false, favourites[0].shownAt + 1000)).size(), 0u) << "since later";
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
  // Closed with its reader open, the last journal takes its write-ahead log with it: left, it
  // grew with every run, and every start read it whole.
  journal.reset();
  EXPECT_FALSE(fs::exists(path_ + "-wal"));
}

TEST_F(JournalFile, FavouritesComeMostRecentlyMarkedFirstAndAnUndoneUnmarkKeepsItsPlace) {
  auto journal = Open();
  for (int i = 0; i < 3; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
  journal->Record(DrawnFigure(1), FigureOrigin::Gallery);  // shown again: still one row
  journal->SetFavourite(DrawnFigure(1), true, 0, 1000.0);
  journal->SetFavourite(DrawnFigure(2), true, 0, 2000.0);
  journal->SetFavourite(DrawnFigure(0), true, 0, 3000.0);
  auto order = [&journal] {
    std::vector<FigureRecord> figures;
    for (const JournalRow& row : All(*journal, kFavourites)) figures.push_back(row.figure);
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

// 20 MiB. The draws' text alone, as the program draws them, is 126.5 bytes a figure on average,
// and the directions 6.5; the gallery's indexes take some 30 more.
TEST_F(JournalFile, AHundredThousandFiguresTakeUnderTwentyMegabytes) {
  constexpr int kFigures = 100000;
  {
    auto journal = Open();
    for (int i = 0; i < kFigures; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
  }
  std::uintmax_t bytes = 0;
  for (const auto& file : fs::directory_iterator(dir_ / "stringart")) bytes += file.file_size();
  EXPECT_LT(bytes, 20u << 20) << "bytes on disk for " << kFigures << " figures";
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

TEST_F(JournalFile, AFigureShownAgainKeepsItsOneRowUnlessANewOneIsDrawn) {
  auto journal = Open();
  journal->Record(DrawnFigure(1), FigureOrigin::Start);
  ASSERT_TRUE(journal->AwaitKept(5s));
  Sql("UPDATE figures SET shown_at = 1000");
  const std::vector<JournalRow> first = All(*journal, {});
  journal->Remove(first);
  for (FigureOrigin again : {FigureOrigin::Gallery, FigureOrigin::Opened, FigureOrigin::Variation,
                             FigureOrigin::Adjusted}) {
    journal->Record(DrawnFigure(1), again);
    const std::vector<JournalRow> rows = All(*journal, {});
    ASSERT_EQ(rows.size(), 1u) << "origin " << static_cast<int>(again) << " added a row";
    EXPECT_GT(rows[0].shownAt, 1000) << "shown again: the most recently shown";
  }
  for (FigureOrigin fresh : {FigureOrigin::New, FigureOrigin::Start}) {
    journal->Record(DrawnFigure(1), fresh);
  }
  ASSERT_TRUE(journal->AwaitKept(5s));
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM figures"), "3") << "a fresh figure always has its row";
}

// Pages of 7 through 120 figures whose times tie in runs, with favourites, notes and removed
// figures: every query reads exactly the rows a plain sort gives, and each reads down an index.
TEST_F(JournalFile, PagesInEveryOrderAndFilterAreTheWholeListAndUseAnIndex) {
  auto journal = Open();
  for (int i = 0; i < 120; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
  ASSERT_TRUE(journal->AwaitKept(5s));
  Sql("UPDATE figures SET shown_at = 1000 + id / 6;"
      "UPDATE figures SET favourite = (id % 3 = 0);"  // 1: marked once, unmarked since
      "UPDATE figures SET marked_at = 5000 + id / 4 WHERE id % 3 < 2 AND id % 9 <> 0;"
      "UPDATE figures SET note = 'Sea ' || id WHERE id % 5 = 0;"
      "UPDATE figures SET removed = 77 WHERE id % 11 = 0");
  struct Row {
    std::int64_t id, shown;
    double marked;
    bool favourite, removed;
    std::string note;
  };
  std::vector<Row> rows;
  for (std::int64_t id = 1; id <= 120; ++id) {
    const bool marked = id % 3 < 2 && id % 9 != 0;
    rows.push_back({id, 1000 + id / 6, marked ? 5000.0 + static_cast<double>(id / 4) : -1,
                    id % 3 == 0, id % 11 == 0, id % 5 == 0 ? "Sea " + std::to_string(id) : ""});
  }
  for (const bool favourites : {false, true}) {
    for (const auto order : {GalleryQuery::Order::Shown, GalleryQuery::Order::Marked}) {
      for (const std::int64_t since : {0, 1012, 5020}) {
        for (const std::string search : {"", "sEA 1"}) {
          const GalleryQuery query{favourites, order, since, search};
          const bool byMark = order == GalleryQuery::Order::Marked;
          std::vector<const Row*> wanted;
          for (const Row& r : rows) {
            const double time = byMark && r.marked >= 0 ? r.marked : static_cast<double>(r.shown);
            if (!r.removed && (!favourites || r.favourite) && time >= static_cast<double>(since) &&
                (search.empty() || r.note.find("Sea 1") == 0)) {
              wanted.push_back(&r);
            }
          }
          // Marked ones first when by mark, then by the time, then by id, newest first.
          std::stable_sort(wanted.begin(), wanted.end(), [byMark](const Row* a, const Row* b) {
            const auto key = [byMark](const Row* r) {
              const bool marked = byMark && r->marked >= 0;
              return std::tuple(marked, marked ? r->marked : static_cast<double>(r->shown), r->id);
            };
            return key(a) > key(b);
          });
          std::vector<std::int64_t> want, got;
          for (const Row* r : wanted) want.push_back(r->id);
          for (const JournalRow& r : All(*journal, query)) got.push_back(r.id);
          const std::string what = "favourites " + std::to_string(favourites) + ", by mark " +
                                   std::to_string(byMark) + ", since " + std::to_string(since) +
                                   ", search '" + search + "'";
          EXPECT_EQ(got, want) << what;
          for (int phase = 0; phase < (byMark ? 2 : 1); ++phase) {
            const std::string plan = Plan(Journal::PageSql(query, phase));
            EXPECT_TRUE(plan.find("USING INDEX") != std::string::npos &&
                        plan.find("TEMP B-TREE") == std::string::npos)
                << what << ", phase " << phase << ": " << plan;
          }
        }
      }
    }
  }
}

TEST_F(JournalFile, RemovingKeepsTheRowsAndUndoingBringsBackExactlyThoseRemoved) {
  auto journal = Open();
  for (int i = 0; i < 4; ++i) journal->Record(DrawnFigure(i), FigureOrigin::New);
  std::vector<JournalRow> rows = All(*journal, {});  // 3, 2, 1, 0
  const std::int64_t first = journal->Remove({rows[0], rows[1]});
  const std::int64_t second = journal->Remove({rows[3]});
  EXPECT_NE(first, second);
  ASSERT_EQ(All(*journal, {}).size(), 1u);
  journal->Restore({rows[0], rows[1]}, first);
  std::vector<FigureRecord> left;
  for (const JournalRow& row : All(*journal, {})) left.push_back(row.figure);
  EXPECT_EQ(left, (std::vector{DrawnFigure(3), DrawnFigure(2), DrawnFigure(1)}));
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM figures"), "4") << "nothing is deleted";
}

TEST_F(JournalFile, NotesAreWrittenFoundAndCutOnACharacter) {
  auto journal = Open();
  journal->Record(DrawnFigure(0), FigureOrigin::New);
  journal->Record(DrawnFigure(1), FigureOrigin::New);
  journal->SetNote(DrawnFigure(0), "Blue Whale");
  const std::vector<JournalRow> found = All(*journal, Query(false, 0, "whale"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].note, "Blue Whale");
  journal->SetNote(DrawnFigure(1), std::string(kNoteMax - 1, 'a') + "\xc3\xa9");  // é across
  ASSERT_TRUE(journal->AwaitKept(5s));
  EXPECT_EQ(Sql("SELECT length(CAST(note AS BLOB)) FROM figures WHERE id = 2"),
            std::to_string(kNoteMax - 1));
}

// Journals of version 1 kept a row each time a figure was shown: the newest stands for it.
TEST_F(JournalFile, AnOlderJournalIsBroughtUpToDateWithOneFigureARowInTheGallery) {
  fs::create_directories(dir_ / "stringart");
  Sql("CREATE TABLE figures (id INTEGER PRIMARY KEY, draws TEXT NOT NULL, directions TEXT NOT"
      " NULL DEFAULT '1,1,1', favourite INTEGER NOT NULL DEFAULT 0 CHECK (favourite IN (0, 1)),"
      " shown_at INTEGER NOT NULL DEFAULT 0, marked_at REAL, origin INTEGER NOT NULL DEFAULT 0,"
      " note TEXT NOT NULL DEFAULT ''); PRAGMA user_version = 1");
  for (int i : {0, 1, 0, 2, 0}) {
    Sql("INSERT INTO figures (draws, directions, favourite) VALUES ('" +
        FormatDraws(DrawnFigure(i).draws) + "', '" + FormatDirections(DrawnFigure(i).start) +
        "', " + std::to_string(i == 0) + ")");
  }
  auto journal = Open();
  std::vector<std::int64_t> ids;
  for (const JournalRow& row : All(*journal, {})) ids.push_back(row.id);
  EXPECT_EQ(ids, (std::vector<std::int64_t>{5, 4, 2}));
  EXPECT_TRUE(journal->IsFavourite(DrawnFigure(0)));
  journal.reset();
  EXPECT_EQ(Sql("PRAGMA user_version"), std::to_string(Journal::kSchemaVersion));
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM figures"), "5");
  EXPECT_TRUE(told().empty());
}

// Another program's SQLite file where the journal belongs: set aside untouched, said once.
TEST_F(JournalFile, AForeignDatabaseIsSetAsideOnceAndAFreshJournalBegins) {
  const char* const foreign[] = {
      "CREATE TABLE notes (text TEXT); PRAGMA user_version = 1",
      "CREATE TABLE figures (a, b); PRAGMA user_version = 1",
      "PRAGMA user_version = 1",
      "CREATE TABLE figures (a, b)",
      "CREATE TABLE notes (text TEXT)",
  };
  for (const char* sql : foreign) {
    fs::remove_all(dir_);
    told_.clear();
    fs::create_directories(dir_ / "stringart");
    Sql(std::string(sql) + "; CREATE TABLE mine (x); INSERT INTO mine VALUES (42)");
    {
      auto journal = Open();
      journal->Record(DrawnFigure(3), FigureOrigin::Start);
      ASSERT_TRUE(journal->AwaitKept(5s));
      EXPECT_EQ(All(*journal, {}).size(), 1u) << sql;
    }
    Open().reset();
    ASSERT_EQ(told().size(), 1u) << sql;
    EXPECT_EQ(told()[0].first, JournalNotice::Foreign) << told()[0].second;
    std::vector<fs::path> aside;
    for (const auto& file : fs::directory_iterator(dir_ / "stringart")) {
      if (file.path().filename().string().starts_with("figures.sqlite.foreign-")) {
        aside.push_back(file.path());
      }
    }
    ASSERT_EQ(aside.size(), 1u) << sql;
    EXPECT_NE(told()[0].second.find(aside[0].string()), std::string::npos) << told()[0].second;
    const std::string kept = path_;
    path_ = aside[0].string();
    EXPECT_EQ(Sql("SELECT x FROM mine"), "42") << sql;
    EXPECT_EQ(Sql("PRAGMA journal_mode"), "delete") << sql << ": changed before set aside";
    path_ = kept;
  }
}

// A journal's path that is a symbolic link: followed to a journal; a link to an empty file, a
// text or nothing is set aside itself, with nothing made or written where it leads.
TEST_F(JournalFile, ALinkIsFollowedOnlyToAJournalOfOurs) {
  const fs::path elsewhere = dir_ / "elsewhere";
  for (const std::string target : {"", "a user's text", "nothing", "journal"}) {
    fs::remove_all(dir_);
    told_.clear();
    fs::create_directories(dir_ / "stringart");
    const std::string own = std::exchange(path_, elsewhere.string());
    if (target == "journal") Open()->Record(DrawnFigure(1), FigureOrigin::Start);
    if (target != "journal" && target != "nothing") std::ofstream(elsewhere) << target;
    path_ = own;
    fs::create_symlink(elsewhere, path_);
    {
      auto journal = Open();
      journal->Record(DrawnFigure(2), FigureOrigin::New);
      ASSERT_TRUE(journal->AwaitKept(5s));
      EXPECT_EQ(All(*journal, {}).size(), target == "journal" ? 2u : 1u) << target;
    }
    if (target == "journal") {
      EXPECT_TRUE(told().empty() && fs::is_symlink(path_));
      continue;
    }
    ASSERT_EQ(told().size(), 1u) << target;
    EXPECT_EQ(told()[0].first,
              target == "nothing" ? JournalNotice::Damaged : JournalNotice::Foreign);
    std::ifstream left(elsewhere);  // as it was, or still not there
    EXPECT_EQ(left ? std::string(std::istreambuf_iterator<char>(left), {}) : "nothing", target);
    EXPECT_FALSE(fs::exists(elsewhere.string() + "-wal") ||
                 fs::exists(elsewhere.string() + "-shm"));
    std::size_t links = 0;
    for (const auto& file : fs::directory_iterator(dir_ / "stringart")) {
      links += file.is_symlink() && fs::read_symlink(file.path()) == elsewhere;
    }
    EXPECT_EQ(links, 1u) << target;  // the link itself set aside
  }
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
