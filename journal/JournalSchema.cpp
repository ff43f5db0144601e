// The journal's file: opening it, telling a journal from a damaged or foreign file, setting those
// aside, and bringing an older schema up to date.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

#include "journal/Journal.h"
#include "journal/Journal_p.h"

namespace stringart {
using namespace journal_detail;
namespace {

namespace fs = std::filesystem;

// Each step brings the schema from the version before it to its own (PRAGMA user_version);
// a journal of any older version is brought up to date in one transaction.
const char* const kMigrations[] = {
    // 1: one row per figure shown. Every column but draws and directions has a default, so that
    // a row a script inserts with those (and favourite) is a figure like any other.
    "CREATE TABLE figures ("
    " id INTEGER PRIMARY KEY,"
    " draws TEXT NOT NULL,"
    " directions TEXT NOT NULL DEFAULT '1,1,1',"
    " favourite INTEGER NOT NULL DEFAULT 0 CHECK (favourite IN (0, 1)),"
    " shown_at INTEGER NOT NULL DEFAULT (CAST(strftime('%s', 'now') AS INTEGER)),"
    " marked_at REAL,"
    " origin INTEGER NOT NULL DEFAULT 0,"
    " note TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX figures_favourites ON figures (marked_at) WHERE favourite = 1;",
    // 2: the gallery reads a page at a time from an index in its order, so that a million
    // figures cost what a screenful does; a figure is found by its draws' first digits (a whole
    // index on the draws would double the file). Figures taken out of the gallery keep their
    // rows. Earlier versions kept a row per showing: all but the newest of a figure are taken
    // out of the gallery, as removal 1.
    "CREATE INDEX figures_draws ON figures (CAST(substr(draws, 3, 7) AS INTEGER));"
    "ALTER TABLE figures ADD COLUMN removed INTEGER NOT NULL DEFAULT 0;"
    "UPDATE figures SET removed = 1 WHERE EXISTS (SELECT 1 FROM figures AS later"
    " WHERE CAST(substr(later.draws, 3, 7) AS INTEGER) = CAST(substr(figures.draws, 3, 7) AS"
    " INTEGER) AND +later.draws = figures.draws AND later.directions = figures.directions"
    " AND later.id > figures.id);"
    "CREATE INDEX figures_shown ON figures (shown_at) WHERE removed = 0;"
    "CREATE INDEX figures_marked ON figures (marked_at) WHERE marked_at IS NOT NULL"
    " AND removed = 0;"
    "CREATE INDEX figures_favourites_shown ON figures (shown_at) WHERE favourite = 1"
    " AND removed = 0;"
    "CREATE INDEX figures_noted ON figures (shown_at) WHERE note <> '' AND removed = 0;",
};
static_assert(std::size(kMigrations) == Journal::kSchemaVersion);

// The columns each version's figures table has: a file whose table lacks one is not a journal.
const char* const kColumns[] = {"id",        "draws",  "directions", "favourite", "shown_at",
                                "marked_at", "origin", "note",       "removed"};
constexpr std::size_t kColumnsOf[] = {0, 8, 9};

// What a symbolic link at the journal's path leads to.
enum class LinkedTo { NoLink, Journal, Nothing, Other };

// Whether the journal's path is a link, and to what. A journal is an SQLite database in WAL mode
// (the header's format bytes 18 and 19 are 2): the program makes every journal so before it
// writes anything. Its version is not looked at: in a journal still open elsewhere it may be in
// the log alone.
LinkedTo LinkAt(const std::string& path) {
  struct stat about {};
  if (lstat(path.c_str(), &about) != 0 || !S_ISLNK(about.st_mode)) return LinkedTo::NoLink;
  // Without blocking: the link may lead to a pipe.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? LinkedTo::Nothing : LinkedTo::Other;
  static constexpr char kMagic[] = "SQLite format 3";  // with its NUL, 16 bytes
  unsigned char header[20] = {};
  const bool journal = fstat(fd, &about) == 0 && S_ISREG(about.st_mode) &&
                       pread(fd, header, sizeof header, 0) == sizeof header &&
                       std::memcmp(header, kMagic, sizeof kMagic) == 0 && header[18] == 2 &&
                       header[19] == 2;
  close(fd);
  return journal ? LinkedTo::Journal : LinkedTo::Other;
}

}  // namespace

void Journal::Open() {
  if (path_.empty()) {
    TellOnce({});
    return;
  }
  std::error_code error;
  fs::create_directories(fs::path(path_).parent_path(), error);
  // A link is followed only to a journal: SQLite would make one of any file it leads to, or
  // create the file it names, and write its log and shared memory beside it, in a folder that
  // may not be ours. A link to anything else is set aside, the file it leads to untouched.
  const LinkedTo linked = LinkAt(path_);
  int rc = SQLITE_OK;
  if (linked == LinkedTo::Nothing) {
    rc = SQLITE_CANTOPEN;
  } else if (linked == LinkedTo::Other) {
    foreign_ = true;
  } else {
    rc = OpenAndMigrate();
  }
  // Two windows starting together on a fresh file: switching it to WAL can find it busy without
  // waiting out the busy timeout. Tried again for up to five seconds, as the timeout would.
  for (int tries = 0; (rc & 0xFF) == SQLITE_BUSY && tries < 100; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rc = OpenAndMigrate();
  }
  // A file that is there but cannot be read at all is as lost as a damaged one, and so is a link
  // that leads nowhere.
  const bool unreadable =
      linked == LinkedTo::Nothing || ((rc & 0xFF) == SQLITE_CANTOPEN && fs::exists(path_, error) &&
                                      access(path_.c_str(), R_OK) != 0);
  if (Damaged(rc) || unreadable || foreign_) {
    const bool foreign = foreign_;
    const std::string aside = SetAside(foreign ? ".foreign-" : ".damaged-");
    if (aside.empty()) {
      rc = SQLITE_CANTOPEN;  // why_ has the system's reason the file could not be renamed
    } else {
      JournalNews news;
      news.notice = foreign ? JournalNotice::Foreign : JournalNotice::Damaged;
      news.aside = aside;
      TellOnce(news);
      rc = OpenAndMigrate();
    }
  }
  if (rc != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    if (newer_) {
      JournalNews news;
      news.newer = true;
      TellOnce(news);
    } else {
      CannotWrite();
    }
  }
}

int Journal::Inspect(int& version) {
  newer_ = foreign_ = false;
  // One snapshot: another window that creates the journal meanwhile is seen whole or not at all,
  // never as tables without their version.
  int rc = Failed(Exec(db_, "BEGIN"));
  if (rc != SQLITE_OK) return rc;
  version = static_cast<int>(Integer(db_, "PRAGMA user_version", rc));
  std::int64_t objects = 0;
  std::unordered_set<std::string> columns;
  if (rc == SQLITE_OK) objects = Integer(db_, "SELECT COUNT(*) FROM sqlite_master", rc);
  if (rc == SQLITE_OK) {
    Statement s(db_, "SELECT name FROM pragma_table_info('figures')");
    rc = s.rc();
    int step = SQLITE_DONE;
    if (rc == SQLITE_OK) {
      while ((step = sqlite3_step(s.get())) == SQLITE_ROW) columns.insert(s.Column(0));
    }
    if (rc == SQLITE_OK && step != SQLITE_DONE) rc = step;
  }
  Failed(rc);
  Exec(db_, "COMMIT");
  if (rc != SQLITE_OK) return rc;
  newer_ = version > kSchemaVersion;
  if (newer_) return SQLITE_OK;
  // A fresh file is empty; a journal has its version from the transaction that made its table.
  if (version == 0) {
    foreign_ = objects > 0;
  } else {
    for (std::size_t c = 0; c < kColumnsOf[version]; ++c)
      foreign_ |= !columns.contains(kColumns[c]);
  }
  return SQLITE_OK;
}

int Journal::OpenAndMigrate() {
  sqlite3_close(db_);
  db_ = nullptr;
  why_.clear();
  int rc =
      sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) return Failed(rc);
  // Another window may be writing: wait for it rather than fail.
  sqlite3_busy_timeout(db_, 5000);
  sqlite3_extended_result_codes(db_, 1);
  int version = 0;
  // Before anything is written: a file that is not a journal is set aside as it was found.
  if ((rc = Inspect(version)) != SQLITE_OK) return rc;
  if (newer_) return SQLITE_READONLY;  // a journal of a newer program: not to be touched
  if (foreign_) {
    why_ = "it holds another program's data";
    return SQLITE_CANTOPEN;
  }
  // Pages of 16 KiB: a row is about 160 bytes, and the part of a page too small for one more
  // row is a smaller share of a larger page. It takes effect only on a new file.
  if ((rc = Failed(Exec(db_, "PRAGMA page_size = 16384"))) != SQLITE_OK) return rc;
  {
    Statement mode(db_, "PRAGMA journal_mode = WAL");
    if ((rc = Failed(mode.rc())) != SQLITE_OK) return rc;
    rc = Failed(sqlite3_step(mode.get()));
    if (rc != SQLITE_ROW) return rc;
  }
  // NORMAL: a commit is in the file when it returns, though not yet flushed to the disk; it
  // survives the program being killed, and the disk's own loss of power costs at most the last
  // figures. The WAL file is cut back after checkpoints.
  if ((rc =
           Failed(Exec(db_, "PRAGMA synchronous = NORMAL; PRAGMA journal_size_limit = 1048576"))) !=
      SQLITE_OK) {
    return rc;
  }
  if (version < kSchemaVersion && (rc = Migrate()) != SQLITE_OK) return rc;
  return ReadFavourites();
}

int Journal::Migrate() {
  int rc = Failed(Exec(db_, "BEGIN IMMEDIATE"));
  if (rc != SQLITE_OK) return rc;
  // Another window may have migrated it meanwhile.
  int now = static_cast<int>(Integer(db_, "PRAGMA user_version", rc));
  for (; rc == SQLITE_OK && now < kSchemaVersion; ++now) rc = Exec(db_, kMigrations[now]);
  if (rc == SQLITE_OK) {
    const std::string set = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    rc = Exec(db_, set.c_str());
  }
  if (rc == SQLITE_OK) rc = Exec(db_, "COMMIT");
  if (rc != SQLITE_OK) {
    Failed(rc);
    Exec(db_, "ROLLBACK");
  }
  return rc;
}

int Journal::ReadFavourites() {
  int rc = SQLITE_OK;
  std::unordered_set<std::string> favourites;
  {
    Statement s(db_, "SELECT draws, directions FROM figures WHERE favourite = 1");
    if ((rc = Failed(s.rc())) != SQLITE_OK) return rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
      FigureRecord figure;
      if (ReadFigure(s.Column(0), s.Column(1), figure)) favourites.insert(FavouriteKey(figure));
    }
    if (rc != SQLITE_DONE) return Failed(rc);
  }
  const std::int64_t next = Integer(db_, "SELECT COALESCE(MAX(id), 0) + 1 FROM figures", rc);
  if (rc != SQLITE_OK) return Failed(rc);
  std::lock_guard lock(mutex_);
  favourites_.merge(favourites);
  earlierBefore_ = next;
  ++generation_;
  return SQLITE_OK;
}

std::string Journal::SetAside(const char* suffix) {
  // Renamed while still open: closing might otherwise tidy away a log that looks invalid to it.
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string aside = path_ + suffix + stamp;
  std::error_code error;
  fs::rename(path_, aside, error);
  if (!error) {
    // Its write-ahead log belongs to it; left behind, it would be replayed onto the fresh file.
    for (const char* log : {"-wal", "-shm"}) {
      std::error_code ignored;
      if (fs::exists(path_ + log, ignored)) fs::rename(path_ + log, aside + log, ignored);
    }
  }
  sqlite3_close(db_);
  db_ = nullptr;
  if (error) {
    why_ = error.message();
    return "";
  }
  return aside;
}

}  // namespace stringart
