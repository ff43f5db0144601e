#include "journal/Journal.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <future>

#include "journal/Journal_p.h"

namespace stringart {
using namespace journal_detail;
namespace {

// PRAGMA data_version of `db`, 0 when there is no file.
std::int64_t DataVersion(sqlite3* db) {
  if (db == nullptr) return 0;
  int rc = SQLITE_OK;
  const std::int64_t version = Integer(db, "PRAGMA data_version", rc);
  return rc == SQLITE_OK ? version : 0;
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
  // The reader first: a connection that only reads cannot fold the write-ahead log back into the
  // file, so the writer's must be the last to close, which does and removes the log.
  sqlite3_close(reader_);
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void Journal::Queue(Op op) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(op));
    ++queued_;
  }
  changed_.notify_all();
}

std::int64_t Journal::OthersVersion() {
  Op op;
  op.kind = Op::Kind::Version;
  op.version = std::make_shared<std::promise<std::int64_t>>();
  std::future<std::int64_t> version = op.version->get_future();
  Queue(std::move(op));
  return version.get();
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

}  // namespace stringart
