#include "journal/Journal.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The rows of one figure: its draws' first digits lead the lookup through figures_draws. The
// unary plus keeps SQLite from putting ?1 for draws inside the indexed expression, which would
// no longer match the index.
#define STRINGART_BY_FIGURE                                                                       \
  "CAST(substr(draws, 3, 7) AS INTEGER) = CAST(substr(?1, 3, 7) AS INTEGER) AND +draws = ?1 AND " \
  "directions = ?2"

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
constexpr int kImported = 7;

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
  // Binds a figure's draws and directions as ?1 and ?2, for STRINGART_BY_FIGURE.
  void Figure(const FigureRecord& figure) {
    Text(1, FormatDraws(figure.draws));
    Text(2, FormatDirections(figure.start));
  }
  std::string Column(int at) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, at));
    return text != nullptr
               ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s_, at)))
               : "";
  }
  // Runs a statement that returns no rows, then readies it for the next run.
  int Run() {
    int rc = sqlite3_step(s_);
    sqlite3_reset(s_);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
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

// PRAGMA data_version of `db`, 0 when there is no file.
std::int64_t DataVersion(sqlite3* db) {
  if (db == nullptr) return 0;
  int rc = SQLITE_OK;
  const std::int64_t version = Integer(db, "PRAGMA data_version", rc);
  return rc == SQLITE_OK ? version : 0;
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

constexpr const char* kRowOf =
    "SELECT id FROM figures WHERE " STRINGART_BY_FIGURE " ORDER BY id DESC LIMIT 1";

// The newest row of `figure` by `lookup` (kRowOf), or 0.
std::int64_t RowOf(Statement& lookup, const FigureRecord& figure, int& rc) {
  sqlite3_reset(lookup.get());
  lookup.Figure(figure);
  rc = sqlite3_step(lookup.get());
  std::int64_t row = 0;
  if (rc == SQLITE_ROW) row = sqlite3_column_int64(lookup.get(), 0);
  if (rc == SQLITE_ROW || rc == SQLITE_DONE) rc = SQLITE_OK;
  sqlite3_reset(lookup.get());
  return row;
}

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

std::string JournalNews::Text() const {
  switch (notice) {
    case JournalNotice::Damaged:
      return "The journal of figures could not be read. It was set aside as " + aside +
             ", and a fresh one has begun.";
    case JournalNotice::Foreign:
      return path + " holds another program's data, not figures. It was set aside as " + aside +
             ", and a fresh journal has begun.";
    case JournalNotice::NotKept: break;
  }
  if (path.empty()) {
    return "Figures are not being kept: neither XDG_DATA_HOME nor HOME names a folder for them.";
  }
  if (newer) {
    return "Figures are not being kept: " + path +
           " was written by a newer stringart; it is left as it is.";
  }
  return "Figures are not being kept: " + path + " cannot be written (" + reason + ").";
}

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

void Journal::Queue(Op op) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(op));
    ++queued_;
  }
  changed_.notify_all();
}

void Journal::Record(const FigureRecord& figure, FigureOrigin origin) {
  Op op;
  op.figure = figure;
  op.origin = origin;
  op.at = Now();
  Queue(std::move(op));
}

void Journal::SetFavourite(const FigureRecord& figure, bool on, std::int64_t rowId,
                           double markedAt) {
  Op op;
  op.kind = Op::Kind::Mark;
  op.figure = figure;
  op.on = on;
  op.rowId = rowId;
  op.at = markedAt > 0 ? markedAt : Now();
  {
    std::lock_guard lock(mutex_);
    if (on) {
      favourites_.insert(FavouriteKey(figure));
    } else {
      favourites_.erase(FavouriteKey(figure));
    }
  }
  Queue(std::move(op));
}

void Journal::SetNote(const FigureRecord& figure, const std::string& note, std::int64_t rowId) {
  Op op;
  op.kind = Op::Kind::Note;
  op.figure = figure;
  op.rowId = rowId;
  op.note = KeptNote(note);
  Queue(std::move(op));
}

std::int64_t Journal::Remove(const std::vector<JournalRow>& rows) {
  std::int64_t removal;
  {
    std::lock_guard lock(mutex_);
    // Microseconds since 1970, each removal its own, so that undoing one brings back its rows
    // and no row another removal took out.
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    removal = lastRemoval_ = std::max<std::int64_t>(now, lastRemoval_ + 1);
  }
  QueueRows(Op::Kind::Remove, rows, removal);
  return removal;
}

void Journal::Restore(const std::vector<JournalRow>& rows, std::int64_t removal) {
  QueueRows(Op::Kind::Restore, rows, removal);
}

void Journal::QueueRows(Op::Kind kind, const std::vector<JournalRow>& rows, std::int64_t removal) {
  for (const JournalRow& row : rows) {
    Op op;
    op.kind = kind;
    op.figure = row.figure;
    op.rowId = row.id;
    op.removal = removal;
    Queue(std::move(op));
  }
}

std::int64_t Journal::OthersVersion() {
  Op op;
  op.kind = Op::Kind::Version;
  op.version = std::make_shared<std::promise<std::int64_t>>();
  std::future<std::int64_t> version = op.version->get_future();
  Queue(std::move(op));
  return version.get();
}

void Journal::SetFold(Fold fold) {
  std::lock_guard guard(readerMutex_);
  fold_ = std::move(fold);
}

ImportResult Journal::Import(const std::vector<TravellingFigure>& figures) {
  Op op;
  op.kind = Op::Kind::Import;
  op.imported = std::make_shared<std::vector<TravellingFigure>>(figures);
  op.done = std::make_shared<std::promise<ImportResult>>();
  std::future<ImportResult> result = op.done->get_future();
  Queue(std::move(op));
  return result.get();
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

void Journal::TellOnce(JournalNews news) {
  news.path = news.path.empty() && !path_.empty() ? path_ : news.path;
  {
    std::lock_guard lock(mutex_);
    bool& told = told_[static_cast<int>(news.notice)];
    if (told) return;
    told = true;
  }
  if (tell_) tell_(news);
}

void Journal::CannotWrite() {
  JournalNews news;
  news.reason = why_.empty() ? "unknown reason" : why_;
  TellOnce(news);
}

int Journal::Failed(int rc) {
  if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
    why_ = db_ != nullptr && sqlite3_errcode(db_) != SQLITE_OK ? sqlite3_errmsg(db_)
                                                               : sqlite3_errstr(rc);
  }
  return rc;
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
    // An import is a transaction of its own, all or nothing whatever else is queued with it.
    std::vector<Op> batch;
    for (Op& op : ops) {
      if (op.kind != Op::Kind::Import && op.kind != Op::Kind::Version) {
        batch.push_back(std::move(op));
        continue;
      }
      if (!batch.empty()) WriteWithRetries(batch);
      batch.clear();
      if (op.kind == Op::Kind::Import) {
        op.done->set_value(WriteImport(*op.imported));
      } else {
        // The writer's own connection: its data_version moves only with others' commits.
        op.version->set_value(DataVersion(db_));
      }
    }
    if (!batch.empty()) WriteWithRetries(batch);
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
      const std::string aside = SetAside(".damaged-");
      if (!aside.empty()) {
        JournalNews news;
        news.notice = JournalNotice::Damaged;
        news.aside = aside;
        TellOnce(news);
      }
      rc = aside.empty() ? SQLITE_CANTOPEN : OpenAndMigrate();
      if (rc == SQLITE_OK) rc = Write(ops);
    }
    if ((rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) break;
  }
  if (rc != SQLITE_OK) CannotWrite();
}

int Journal::Write(const std::vector<Op>& ops) {
  if (db_ == nullptr) return SQLITE_CANTOPEN;
  why_.clear();
  int rc = Failed(Exec(db_, "BEGIN IMMEDIATE"));
  if (rc != SQLITE_OK) return rc;
  for (const Op& op : ops) {
    if ((rc = Apply(op)) != SQLITE_OK) break;
  }
  if (rc == SQLITE_OK) rc = Failed(Exec(db_, "COMMIT"));
  if (rc != SQLITE_OK) Exec(db_, "ROLLBACK");
  return rc;
}

int Journal::ApplyRecord(const Op& op) {
  int rc = SQLITE_OK;
  // One figure, one row: shown again from anywhere but a fresh "new", it is the row it has.
  if (op.origin != FigureOrigin::New && op.origin != FigureOrigin::Start) {
    Statement lookup(db_, kRowOf);
    if ((rc = Failed(lookup.rc())) != SQLITE_OK) return rc;
    const std::int64_t row = RowOf(lookup, op.figure, rc);
    if (Failed(rc) != SQLITE_OK) return rc;
    if (row != 0) {
      Statement s(db_, "UPDATE figures SET shown_at = ?, removed = 0 WHERE id = ?");
      if ((rc = Failed(s.rc())) != SQLITE_OK) return rc;
      sqlite3_bind_int64(s.get(), 1, static_cast<std::int64_t>(op.at));
      sqlite3_bind_int64(s.get(), 2, row);
      return Failed(s.Run());
    }
  }
  Statement insert(db_,
                   "INSERT INTO figures (draws, directions, shown_at, origin) "
                   "VALUES (?1, ?2, ?3, ?4)");
  if ((rc = Failed(insert.rc())) != SQLITE_OK) return rc;
  insert.Figure(op.figure);
  sqlite3_bind_int64(insert.get(), 3, static_cast<std::int64_t>(op.at));
  sqlite3_bind_int(insert.get(), 4, OriginCode(op.origin));
  return Failed(insert.Run());
}

int Journal::Apply(const Op& op) {
  int rc = SQLITE_OK;
  // An update of every row of the figure, then of row `rowId`, whose text a script may have
  // written otherwise; ?3 and on are bound by `bind`.
  auto update = [&](const std::string& set, const std::string& where, auto bind) {
    for (const bool byFigure : {true, false}) {
      if (!byFigure && op.rowId == 0) break;
      const std::string sql = "UPDATE figures SET " + set + " WHERE " +
                              (byFigure ? STRINGART_BY_FIGURE : "id = ?4") + where;
      Statement s(db_, sql.c_str());
      if ((rc = Failed(s.rc())) != SQLITE_OK) return rc;
      s.Figure(op.figure);
      bind(s.get());
      if (!byFigure) sqlite3_bind_int64(s.get(), 4, op.rowId);
      if ((rc = Failed(s.Run())) != SQLITE_OK) return rc;
    }
    return rc;
  };
  switch (op.kind) {
    case Op::Kind::Record: return ApplyRecord(op);
    case Op::Kind::Mark:
      return update("favourite = ?3, marked_at = CASE WHEN ?3 THEN ?5 ELSE marked_at END", "",
                    [&](sqlite3_stmt* s) {
                      sqlite3_bind_int(s, 3, op.on ? 1 : 0);
                      sqlite3_bind_double(s, 5, op.at);
                    });
    case Op::Kind::Note:
      return update("note = ?3", "", [&](sqlite3_stmt* s) {
        sqlite3_bind_text(s, 3, op.note.data(), static_cast<int>(op.note.size()), SQLITE_TRANSIENT);
      });
    case Op::Kind::Remove:
      return update("removed = ?3", " AND removed = 0",
                    [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 3, op.removal); });
    case Op::Kind::Restore:
      return update("removed = 0", " AND removed = ?3",
                    [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 3, op.removal); });
    case Op::Kind::Import:
    case Op::Kind::Version: break;  // each taken from the queue on its own, never batched
  }
  return rc;
}

ImportResult Journal::WriteImport(const std::vector<TravellingFigure>& figures) {
  ImportResult result;
  if (db_ == nullptr) {
    result.error = why_.empty() ? "figures are not being kept" : why_;
    return result;
  }
  why_.clear();
  int rc = Failed(Exec(db_, "BEGIN IMMEDIATE"));
  // Prepared once: a file may hold a hundred thousand figures.
  Statement lookup(db_, kRowOf);
  Statement insert(db_,
                   "INSERT INTO figures (draws, directions, favourite, shown_at, marked_at,"
                   " origin, note) VALUES (?1, ?2, ?3, ?4, CASE WHEN ?3 THEN ?4 END, ?5, ?6)");
  // Kept already: what the file adds to it, and back into the gallery.
  Statement merge(db_,
                  "UPDATE figures SET removed = 0,"
                  " marked_at = CASE WHEN ?1 AND favourite = 0 THEN ?2 ELSE marked_at END,"
                  " favourite = MAX(favourite, ?1),"
                  " note = CASE WHEN note = '' THEN ?3 ELSE note END WHERE id = ?4");
  for (const Statement* s : {&lookup, &insert, &merge}) {
    if (rc == SQLITE_OK) rc = Failed(s->rc());
  }
  std::unordered_set<std::string> seen, favourites;
  for (std::size_t i = 0; rc == SQLITE_OK && i < figures.size(); ++i) {
    const TravellingFigure& f = figures[i];
    const std::string key = FavouriteKey(f.figure);
    if (f.favourite) favourites.insert(key);
    const std::int64_t row = RowOf(lookup, f.figure, rc);
    if (Failed(rc) != SQLITE_OK) break;
    if (row == 0) {
      insert.Figure(f.figure);
      sqlite3_bind_int(insert.get(), 3, f.favourite ? 1 : 0);
      sqlite3_bind_int64(insert.get(), 4, f.shownAt);
      sqlite3_bind_int(insert.get(), 5, kImported);
      insert.Text(6, f.note);
      rc = Failed(insert.Run());
      seen.insert(key);
      ++result.added;
      continue;
    }
    if (seen.insert(key).second) ++result.known;
    sqlite3_bind_int(merge.get(), 1, f.favourite ? 1 : 0);
    sqlite3_bind_double(merge.get(), 2, Now());
    merge.Text(3, f.note);
    sqlite3_bind_int64(merge.get(), 4, row);
    rc = Failed(merge.Run());
  }
  if (rc == SQLITE_OK) rc = Failed(Exec(db_, "COMMIT"));
  if (rc != SQLITE_OK) {
    Exec(db_, "ROLLBACK");
    result = {};
    result.error = why_;
    return result;
  }
  result.ok = true;
  std::lock_guard lock(mutex_);
  favourites_.merge(favourites);
  return result;
}

sqlite3* Journal::Reader() {
  // The search's lower() folds as fold_ does: the reader's own, overriding SQLite's ASCII one.
  const auto lower = [](sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    if (text == nullptr) {
      sqlite3_result_null(context);
      return;
    }
    const std::string_view in(text, static_cast<std::size_t>(sqlite3_value_bytes(values[0])));
    const Fold& fold = static_cast<Journal*>(sqlite3_user_data(context))->fold_;
    std::string out;
    if (fold) {
      out = fold(in);
    } else {
      out.assign(in);
      for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    sqlite3_result_text(context, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
  };
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
  sqlite3_create_function(reader_, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, this, lower,
                          nullptr, nullptr);
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

std::string Journal::PageSql(const GalleryQuery& query, int phase) {
  // Phase 0 of Marked goes by marked_at, everything else by shown_at; each phase reads down one
  // partial index in its order, from below the last row read (?1, ?2), so that a page costs its
  // rows whatever the journal holds.
  const bool marked = query.order == GalleryQuery::Order::Marked && phase == 0;
  const std::string time = marked ? "marked_at" : "shown_at";
  std::string sql = "SELECT id, draws, directions, favourite, shown_at, marked_at, note, " + time +
                    " FROM figures";
  // Named, since SQLite would otherwise take figures_favourites for "marked_at IS NULL" and sort.
  // Notes are few: the matches are found among them rather than among all figures.
  sql += marked                  ? " INDEXED BY figures_marked"
         : !query.search.empty() ? " INDEXED BY figures_noted"
         : query.favouritesOnly  ? " INDEXED BY figures_favourites_shown"
                                 : " INDEXED BY figures_shown";
  sql += " WHERE removed = 0";
  if (query.favouritesOnly) sql += " AND favourite = 1";
  if (query.order == GalleryQuery::Order::Marked) {
    sql += marked ? " AND marked_at IS NOT NULL" : " AND marked_at IS NULL";
  }
  if (!query.search.empty()) sql += " AND note <> '' AND instr(lower(note), lower(?4)) > 0";
  sql += " AND " + time + " >= ?3 AND (" + time + ", id) < (?1, ?2) ORDER BY " + time +
         " DESC, id DESC LIMIT ?5";
  return sql;
}

std::vector<JournalRow> Journal::Page(const GalleryQuery& query, GalleryCursor& cursor,
                                      std::size_t count) {
  AwaitKept(std::chrono::seconds(2));
  std::lock_guard guard(readerMutex_);
  std::vector<JournalRow> rows;
  sqlite3* db = Reader();
  if (db == nullptr) cursor.end = true;
  const int phases = query.order == GalleryQuery::Order::Marked ? 2 : 1;
  while (!cursor.end && rows.size() < count) {
    Statement s(db, PageSql(query, cursor.phase).c_str());
    if (s.rc() != SQLITE_OK) {
      cursor.end = true;
      break;
    }
    if (cursor.started) {
      sqlite3_bind_double(s.get(), 1, cursor.key);
    } else {
      sqlite3_bind_double(s.get(), 1, 1e300);
    }
    sqlite3_bind_int64(s.get(), 2, cursor.started ? cursor.id : INT64_MAX);
    sqlite3_bind_int64(s.get(), 3, query.since);
    if (!query.search.empty()) s.Text(4, query.search);
    const std::size_t wanted = count - rows.size();
    sqlite3_bind_int64(s.get(), 5, static_cast<std::int64_t>(wanted));
    std::size_t read = 0;
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
      ++read;
      cursor.started = true;
      cursor.id = sqlite3_column_int64(s.get(), 0);
      cursor.key = sqlite3_column_double(s.get(), 7);
      JournalRow row;
      row.id = cursor.id;
      if (!ReadFigure(s.Column(1), s.Column(2), row.figure)) continue;
      row.favourite = sqlite3_column_int(s.get(), 3) != 0;
      row.shownAt = sqlite3_column_int64(s.get(), 4);
      row.markedAt = sqlite3_column_double(s.get(), 5);
      row.note = s.Column(6);
      rows.push_back(std::move(row));
    }
    if (read < wanted) {
      // This phase is over: the next begins at its top, or the query is.
      cursor.started = false;
      if (++cursor.phase >= phases) cursor.end = true;
    }
  }
  return rows;
}

}  // namespace stringart
