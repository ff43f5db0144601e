#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "figure/FigureJournal.h"

struct sqlite3;

namespace stringart {

// What the journal tells the person at the window, each at most once.
enum class JournalNotice {
  Damaged,  // the file could not be read as a journal: it was set aside and a fresh one began
  NotKept,  // figures are not being kept (a read-only or full disk, a newer journal, ...)
};

// A figure as the gallery lists it.
struct JournalRow {
  std::int64_t id = 0;  // newer figures have greater ones
  FigureRecord figure;  // draws and start directions; the end directions are left rising
  bool favourite = false;
  std::int64_t shownAt = 0;  // seconds since 1970 UTC
  double markedAt = 0;  // when it was last marked a favourite, seconds since 1970 UTC; 0: never
};

// Every figure of every run and the favourites among them, in an SQLite database (WAL mode).
// One thread of its own opens the file and writes; Record only queues, so a figure never waits
// for the disk. Each figure is committed on its own as soon as it is taken from the queue, and a
// committed figure survives the program being killed. Reads (earlier figures, the gallery) go
// through a second connection on the caller's thread. Several processes may share one file.
class Journal final : public FigureJournal {
 public:
  // The version PRAGMA user_version carries once the schema is up to date.
  static constexpr int kSchemaVersion = 1;
  using Tell = std::function<void(JournalNotice notice, const std::string& text)>;

  // $XDG_DATA_HOME/stringart/figures.sqlite, else ~/.local/share/stringart/figures.sqlite; empty
  // when neither variable gives a place.
  static std::string DefaultPath();

  // Opens or creates the journal at `path` on the writer thread and returns at once. `tell` is
  // called from that thread, once per kind of notice.
  explicit Journal(std::string path, Tell tell = {});
  // Writes what is queued, then closes.
  ~Journal() override;
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  void Record(const FigureRecord& figure, FigureOrigin origin) override;
  std::vector<KeptFigure> Earlier(std::int64_t beforeId, std::size_t count) override;

  // Waits up to `limit` until everything recorded or marked so far is written, or has failed to
  // be; false on timing out.
  bool AwaitKept(std::chrono::milliseconds limit);
  // Marks `figure` (every row of it, and row `rowId` when not 0) a favourite or not; a mark takes
  // the time `markedAt` (seconds since 1970; 0: now), so that undoing an unmark restores its
  // place. Queued like Record.
  void SetFavourite(const FigureRecord& figure, bool on, std::int64_t rowId = 0,
                    double markedAt = 0);
  bool IsFavourite(const FigureRecord& figure);
  // The kept figures shown at or after `since` (seconds since 1970): all, newest first, or the
  // favourites, one row per figure, most recently marked first. Reads after what is queued.
  std::vector<JournalRow> Figures(bool favouritesOnly, std::int64_t since);
  // False once figures are not being kept.
  bool keeping();
  const std::string& path() const { return path_; }

 private:
  struct Op {
    FigureRecord figure;
    FigureOrigin origin = FigureOrigin::New;
    bool favouriteMark = false;  // a favourite mark rather than a figure shown
    bool on = false;
    std::int64_t rowId = 0;
    double at = 0;  // seconds since 1970
  };

  void Run();
  // Opens the file, sets it aside when damaged and starts afresh; sets db_, or tells why not.
  void Open();
  // Opens and brings the schema up to date: an SQLite result code.
  int OpenAndMigrate();
  void SetAside();
  // Writes `ops` in one transaction; an SQLite result code.
  int Write(const std::vector<Op>& ops);
  void WriteWithRetries(const std::vector<Op>& ops);
  void TellOnce(JournalNotice notice, const std::string& text);
  // Waits for the writer to open the file; the reader connection, or null when nothing is kept.
  sqlite3* Reader();

  const std::string path_;
  const Tell tell_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Op> queue_;
  std::uint64_t queued_ = 0, written_ = 0;  // ops queued and settled, counted from 1
  bool ready_ = false, stopping_ = false, keeping_ = false;
  int generation_ = 0;              // counts fresh starts, so the reader reopens after one
  std::int64_t earlierBefore_ = 0;  // rows below this were kept before this run
  std::unordered_set<std::string> favourites_;  // FavouriteKey of every favourite figure
  bool told_[2] = {false, false};

  sqlite3* db_ = nullptr;  // the writer thread's
  bool newer_ = false;     // the file has a schema newer than this program's
  std::mutex readerMutex_;
  sqlite3* reader_ = nullptr;
  int readerGeneration_ = -1;
  std::thread writer_;
};

}  // namespace stringart
