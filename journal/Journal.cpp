#include "journal/Journal.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

#include "text/FigureCommand.h"

namespace stringart {
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
};
static_assert(std::size(kMigrations) == Journal::kSchemaVersion);

// How a figure came, as the origin column holds it: a number, since every byte of a row counts
// a hundred thousand times. 0 is anything else, such as a row a script added.
int OriginCode(FigureOrigin origin) {
  switch (origin) {
    case FigureOrigin::Start: return 1;
    case FigureOrigin::New: return 2;
    case FigureOrigin::Opened: return 3;
    case FigureOrigin::Gallery: return 4;
    case FigureOrigin::Variation: return 5;
    case FigureOrigin::Adjusted: return 6;
  }
  return 0;
}

std::string FavouriteKey(const std::string& draws, const std::string& directions) {
  return draws + ' ' + directions;
}

std::string FavouriteKey(const FigureRecord& figure) {
  return FavouriteKey(FormatDraws(figure.draws), FormatDirections(figure.start));
}

double Now() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

bool Damaged(int rc) {
  rc &= 0xFF;
  return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB;
}

// A prepared statement that finalises itself.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
  ~Statement() { sqlite3_finalize(s_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  int rc() const { return rc_; }
  sqlite3_stmt* get() const { return s_; }
  void Text(int at, const std::string& text) {
    sqlite3_bind_text(s_, at, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  std::string Column(int at) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, at));
    return text != nullptr ? text : "";
  }

 private:
  sqlite3_stmt* s_ = nullptr;
  int rc_;
};

int Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// The single integer a statement like PRAGMA user_version returns, or an SQLite error code in
// `rc`.
std::int64_t Integer(sqlite3* db, const char* sql, int& rc) {
  Statement s(db, sql);
  if ((rc = s.rc()) != SQLITE_OK) return 0;
  rc = sqlite3_step(s.get());
  if (rc != SQLITE_ROW) return 0;
  rc = SQLITE_OK;
  return sqlite3_column_int64(s.get(), 0);
}

// The figure a row describes; false for a row a script filled with something else.
bool ReadFigure(const std::string& draws, const std::string& directions, FigureRecord& figure) {
  std::string error;
  const auto d = ParseDraws(draws, error);
  const auto start = ParseDirections(directions, error);
  if (!d || !start) return false;
  figure = {*d, *start, {}};
  return true;
}

}  // namespace

std::string Journal::DefaultPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string folder;
  // XDG base directories count only when absolute.
  if (data != nullptr && data[0] == '/') {
    folder = data;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::string(home) + "/.local/share";
  } else {
    return "";
  }
  return folder + "/stringart/figures.sqlite";
}

Journal::Journal(std::string path, Tell tell) : path_(std::move(path)), tell_(std::move(tell)) {
  writer_ = std::thread([this] { Run(); });
}

Journal::~Journal() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
  sqlite3_close(reader_);
}

void Journal::Record(const FigureRecord& figure, FigureOrigin origin) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({figure, origin, false, false, 0, Now()});
    ++queued_;
  }
  changed_.notify_all();
}

void Journal::SetFavourite(const FigureRecord& figure, bool on, std::int64_t rowId,
                           double markedAt) {
  {
    std::lock_guard lock(mutex_);
    if (on) {
      favourites_.insert(FavouriteKey(figure));
    } else {
      favourites_.erase(FavouriteKey(figure));
    }
    queue_.push_back({figure, FigureOrigin::New, true, on, rowId, markedAt > 0 ? markedAt : Now()});
    ++queued_;
  }
  changed_.notify_all();
}

bool Journal::IsFavourite(const FigureRecord& figure) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::seconds(2), [this] { return ready_; });
  return favourites_.contains(FavouriteKey(figure));
}

bool Journal::keeping() {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::seconds(2), [this] { return ready_; });
  return keeping_;
}

bool Journal::AwaitKept(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = queued_;
  return changed_.wait_for(lock, limit, [&] { return written_ >= target; });
}

void Journal::TellOnce(JournalNotice notice, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    bool& told = told_[static_cast<int>(notice)];
    if (told) return;
    told = true;
  }
  if (tell_) tell_(notice, text);
}

void Journal::Run() {
  Open();
  std::unique_lock lock(mutex_);
  ready_ = true;
  keeping_ = db_ != nullptr;
  changed_.notify_all();
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) break;  // stopping, and all is written
    std::vector<Op> ops;
    ops.swap(queue_);
    const std::uint64_t last = queued_;
    lock.unlock();
    WriteWithRetries(ops);
    lock.lock();
    written_ = last;
    keeping_ = db_ != nullptr;
    changed_.notify_all();
  }
  lock.unlock();
  sqlite3_close(db_);
  db_ = nullptr;
}

void Journal::Open() {
  if (path_.empty()) {
    TellOnce(JournalNotice::NotKept,
             "Figures are not being kept: neither XDG_DATA_HOME nor HOME names a folder for them.");
    return;
  }
  std::error_code error;
  fs::create_directories(fs::path(path_).parent_path(), error);
  int rc = OpenAndMigrate();
  // Two windows starting together on a fresh file: switching it to WAL can find it busy without
  // waiting out the busy timeout. Tried again for up to five seconds, as the timeout would.
  for (int tries = 0; (rc & 0xFF) == SQLITE_BUSY && tries < 100; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rc = OpenAndMigrate();
  }
  // A file that is there but cannot be read at all is as lost as a damaged one.
  const bool unreadable = (rc & 0xFF) == SQLITE_CANTOPEN && fs::exists(path_, error) &&
                          access(path_.c_str(), R_OK) != 0;
  if (Damaged(rc) || unreadable) {
    SetAside();
    rc = OpenAndMigrate();
  }
  if (rc != SQLITE_OK) {
    const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    if (newer_) {
      TellOnce(JournalNotice::NotKept,
               "Figures are not being kept: " + path_ +
                   " was written by a newer stringart; it is left as it is.");
    } else {
      TellOnce(JournalNotice::NotKept,
               "Figures are not being kept: " + path_ + " cannot be written (" + why + ").");
    }
  }
}

int Journal::OpenAndMigrate() {
  sqlite3_close(db_);
  db_ = nullptr;
  int rc =
      sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) return rc;
  // Another window may be writing: wait for it rather than fail.
  sqlite3_busy_timeout(db_, 5000);
  sqlite3_extended_result_codes(db_, 1);
  const int version = static_cast<int>(Integer(db_, "PRAGMA user_version", rc));
  if (rc != SQLITE_OK) return rc;
  newer_ = version > kSchemaVersion;
  if (newer_) return SQLITE_READONLY;  // a journal of a newer program: not to be touched
  // Pages of 16 KiB: a row is about 160 bytes, and the part of a page too small for one more
  // row is a smaller share of a larger page. It takes effect only on a new file.
  if ((rc = Exec(db_, "PRAGMA page_size = 16384")) != SQLITE_OK) return rc;
  {
    Statement mode(db_, "PRAGMA journal_mode = WAL");
    if ((rc = mode.rc()) != SQLITE_OK) return rc;
    rc = sqlite3_step(mode.get());
    if (rc != SQLITE_ROW) return rc;
  }
  // NORMAL: a commit is in the file when it returns, though not yet flushed to the disk; it
  // survives the program being killed, and the disk's own loss of power costs at most the last
  // figures. The WAL file is cut back after checkpoints.
  if ((rc = Exec(db_, "PRAGMA synchronous = NORMAL; PRAGMA journal_size_limit = 1048576")) !=
      SQLITE_OK) {
    return rc;
  }
  if (version < kSchemaVersion) {
    if ((rc = Exec(db_, "BEGIN IMMEDIATE")) != SQLITE_OK) return rc;
    // Another window may have migrated it meanwhile.
    int now = static_cast<int>(Integer(db_, "PRAGMA user_version", rc));
    for (; rc == SQLITE_OK && now < kSchemaVersion; ++now) rc = Exec(db_, kMigrations[now]);
    if (rc == SQLITE_OK) {
      const std::string set = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
      rc = Exec(db_, set.c_str());
    }
    if (rc == SQLITE_OK) rc = Exec(db_, "COMMIT");
    if (rc != SQLITE_OK) {
      Exec(db_, "ROLLBACK");
      return rc;
    }
  }
  std::unordered_set<std::string> favourites;
  {
    Statement s(db_, "SELECT draws, directions FROM figures WHERE favourite = 1");
    if ((rc = s.rc()) != SQLITE_OK) return rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
      FigureRecord figure;
      if (ReadFigure(s.Column(0), s.Column(1), figure)) favourites.insert(FavouriteKey(figure));
    }
    if (rc != SQLITE_DONE) return rc;
  }
  const std::int64_t next = Integer(db_, "SELECT COALESCE(MAX(id), 0) + 1 FROM figures", rc);
  if (rc != SQLITE_OK) return rc;
  std::lock_guard lock(mutex_);
  favourites_.merge(favourites);
  earlierBefore_ = next;
  ++generation_;
  return SQLITE_OK;
}

void Journal::SetAside() {
  // Renamed while still open: closing might otherwise tidy away a log that looks invalid to it.
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string aside = path_ + ".damaged-" + stamp;
  std::error_code error;
  fs::rename(path_, aside, error);
  if (!error) {
    // Its write-ahead log belongs to it; left behind, it would be replayed onto the fresh file.
    for (const char* suffix : {"-wal", "-shm"}) {
      std::error_code ignored;
      if (fs::exists(path_ + suffix, ignored)) fs::rename(path_ + suffix, aside + suffix, ignored);
    }
  }
  sqlite3_close(db_);
  db_ = nullptr;
  if (error) return;  // OpenAndMigrate fails again and says so
  TellOnce(JournalNotice::Damaged,
           "The journal of figures could not be read. It was set aside as " + aside +
               ", and a fresh one has begun.");
}

void Journal::WriteWithRetries(const std::vector<Op>& ops) {
  if (db_ == nullptr) return;
  int rc = SQLITE_OK;
  // Busy: other windows hold the file longer than the busy timeout; keep trying for a minute,
  // but not while the window closes.
  for (int attempt = 0; attempt < 12; ++attempt) {
    if (attempt > 0) {
      std::lock_guard lock(mutex_);
      if (stopping_) break;
    }
    rc = Write(ops);
    if (Damaged(rc)) {
      SetAside();
      rc = OpenAndMigrate();
      if (rc == SQLITE_OK) rc = Write(ops);
    }
    if ((rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) break;
  }
  if (rc != SQLITE_OK) {
    const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    TellOnce(JournalNotice::NotKept,
             "Figures are not being kept: " + path_ + " cannot be written (" + why + ").");
  }
}

int Journal::Write(const std::vector<Op>& ops) {
  if (db_ == nullptr) return SQLITE_CANTOPEN;
  int rc = Exec(db_, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) return rc;
  Statement insert(db_,
                   "INSERT INTO figures (draws, directions, shown_at, origin) VALUES (?, ?, ?, ?)");
  Statement mark(db_,
                 "UPDATE figures SET favourite = ?1, marked_at = CASE WHEN ?1 THEN ?2 ELSE "
                 "marked_at END WHERE (draws = ?3 AND directions = ?4) OR id = ?5");
  rc = insert.rc() != SQLITE_OK ? insert.rc() : mark.rc();
  for (const Op& op : ops) {
    if (rc != SQLITE_OK) break;
    const std::string draws = FormatDraws(op.figure.draws);
    const std::string directions = FormatDirections(op.figure.start);
    sqlite3_stmt* s = op.favouriteMark ? mark.get() : insert.get();
    sqlite3_reset(s);
    if (op.favouriteMark) {
      sqlite3_bind_int(s, 1, op.on ? 1 : 0);
      sqlite3_bind_double(s, 2, op.at);
      mark.Text(3, draws);
      mark.Text(4, directions);
      sqlite3_bind_int64(s, 5, op.rowId);
    } else {
      insert.Text(1, draws);
      insert.Text(2, directions);
      sqlite3_bind_int64(s, 3, static_cast<std::int64_t>(op.at));
      sqlite3_bind_int(s, 4, OriginCode(op.origin));
    }
    rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  if (rc == SQLITE_OK) rc = Exec(db_, "COMMIT");
  if (rc != SQLITE_OK) Exec(db_, "ROLLBACK");
  return rc;
}

sqlite3* Journal::Reader() {
  int generation;
  {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(2), [this] { return ready_; });
    if (!ready_ || !keeping_) return nullptr;
    generation = generation_;
  }
  if (reader_ != nullptr && readerGeneration_ == generation) return reader_;
  sqlite3_close(reader_);
  reader_ = nullptr;
  if (sqlite3_open_v2(path_.c_str(), &reader_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(reader_);
    reader_ = nullptr;
    return nullptr;
  }
  sqlite3_busy_timeout(reader_, 5000);
  readerGeneration_ = generation;
  return reader_;
}

std::vector<KeptFigure> Journal::Earlier(std::int64_t beforeId, std::size_t count) {
  std::lock_guard guard(readerMutex_);
  std::vector<KeptFigure> figures;
  sqlite3* db = Reader();
  if (db == nullptr) return figures;
  std::int64_t before;
  {
    std::lock_guard lock(mutex_);
    before = beforeId > 0 && beforeId < earlierBefore_ ? beforeId : earlierBefore_;
  }
  Statement s(db, "SELECT id, draws, directions FROM figures WHERE id < ? ORDER BY id DESC");
  if (s.rc() != SQLITE_OK) return figures;
  sqlite3_bind_int64(s.get(), 1, before);
  while (figures.size() < count && sqlite3_step(s.get()) == SQLITE_ROW) {
    KeptFigure kept;
    kept.id = sqlite3_column_int64(s.get(), 0);
    if (ReadFigure(s.Column(1), s.Column(2), kept.figure)) figures.push_back(kept);
  }
  return figures;
}

std::vector<JournalRow> Journal::Figures(bool favouritesOnly, std::int64_t since) {
  AwaitKept(std::chrono::seconds(2));
  std::lock_guard guard(readerMutex_);
  std::vector<JournalRow> rows;
  sqlite3* db = Reader();
  if (db == nullptr) return rows;
  Statement s(db, favouritesOnly
                      ? "SELECT id, draws, directions, favourite, shown_at, marked_at FROM figures"
                        " WHERE favourite = 1 AND shown_at >= ?"
                        " ORDER BY COALESCE(marked_at, shown_at) DESC, id DESC"
                      : "SELECT id, draws, directions, favourite, shown_at, marked_at FROM figures"
                        " WHERE shown_at >= ? ORDER BY id DESC");
  if (s.rc() != SQLITE_OK) return rows;
  sqlite3_bind_int64(s.get(), 1, since);
  std::unordered_set<std::string> seen;
  while (sqlite3_step(s.get()) == SQLITE_ROW) {
    JournalRow row;
    row.id = sqlite3_column_int64(s.get(), 0);
    if (!ReadFigure(s.Column(1), s.Column(2), row.figure)) continue;
    if (favouritesOnly && !seen.insert(FavouriteKey(row.figure)).second) continue;
    row.favourite = sqlite3_column_int(s.get(), 3) != 0;
    row.shownAt = sqlite3_column_int64(s.get(), 4);
    row.markedAt = sqlite3_column_double(s.get(), 5);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace stringart
