#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#include "figure/FigureJournal.h"
#include "journal/FiguresFile.h"

struct sqlite3;

namespace stringart {

// What the journal tells the person at the window, each kind at most once.
enum class JournalNotice {
  Damaged,  // the file could not be read as a journal: it was set aside and a fresh one began
  Foreign,  // the file is some other program's database: set aside, and a fresh one began
  NotKept,  // figures are not being kept (a read-only or full disk, a newer journal, ...)
};

// One notice with what it is about, for the window to word in its own language.
struct JournalNews {
  JournalNotice notice = JournalNotice::NotKept;
  std::string path;    // the journal's file; empty when no folder is named for it
  std::string aside;   // Damaged, Foreign: the name the file was given
  bool newer = false;  // NotKept: a newer stringart wrote the file, which is left as it is
  std::string reason;  // NotKept otherwise: SQLite's or the system's words for what failed
  // The notice in English, as the terminal gets it.
  std::string Text() const;
};

// A figure as the gallery lists it.
struct JournalRow {
  std::int64_t id = 0;  // newer figures have greater ones
  FigureRecord figure;  // draws and start directions; the end directions are left rising
  bool favourite = false;
  std::int64_t shownAt = 0;  // seconds since 1970 UTC, when last shown
  double markedAt = 0;  // when it was last marked a favourite, seconds since 1970 UTC; 0: never
  std::string note;
};

// Which of the kept figures a gallery lists, in which order.
struct GalleryQuery {
  enum class Order {
    Shown,   // most recently shown first
    Marked,  // most recently marked first, then those never marked, most recently shown first
  };
  bool favouritesOnly = false;
  Order order = Order::Shown;
  // Seconds since 1970: only the figures shown (by Marked: marked, or shown when never marked)
  // from then on.
  std::int64_t since = 0;
  // Only the figures whose note holds this text, letters in any case (as the fold given to
  // Journal::SetFold sees them; else ASCII letters only).
  std::string search;
};

// Where the last page read ended; the next page goes on from there. A fresh one starts at the top.
struct GalleryCursor {
  int phase = 0;   // Marked reads the marked figures, then (phase 1) those never marked
  double key = 0;  // the last row's time, with its id: the page goes on below both
  std::int64_t id = 0;
  bool started = false, end = false;
};

// What Import did; `error` says why nothing was added when `ok` is false.
struct ImportResult {
  bool ok = false;
  std::size_t added = 0;  // figures new to the journal
  std::size_t known = 0;  // figures it kept already, each counted once
  std::string error;
};

// Every figure of every run and the favourites among them, in an SQLite database (WAL mode).
// One thread of its own opens the file and writes; Record only queues, so a figure never waits
// for the disk. Each figure is committed on its own as soon as it is taken from the queue, and a
// committed figure survives the program being killed. Reads (earlier figures, the gallery) go
// through a second connection on the caller's thread. Several processes may share one file.
// One figure has one row: shown again (not as a fresh "new"), it takes its row's place as the
// most recently shown.
class Journal final : public FigureJournal {
 public:
  // The version PRAGMA user_version carries once the schema is up to date.
  static constexpr int kSchemaVersion = 2;
  using Tell = std::function<void(const JournalNews& news)>;
  // Text, UTF-8, with every letter in one case, so that a search finds "GRÜN" by "grün".
  using Fold = std::function<std::string(std::string_view text)>;

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
  // Sets the note of `figure` (and of row `rowId` when not 0) as KeptNote makes it. Queued.
  void SetNote(const FigureRecord& figure, const std::string& note, std::int64_t rowId = 0);
  // Takes `rows`' figures out of the gallery, keeping them in the file; Restore with the
  // number returned brings back exactly those rows. Queued.
  std::int64_t Remove(const std::vector<JournalRow>& rows);
  void Restore(const std::vector<JournalRow>& rows, std::int64_t removal);
  // The next `count` figures of `query` after `cursor`, which moves on past them. Reads after
  // what is queued; call it off the window's thread, as it waits for the disk.
  std::vector<JournalRow> Page(const GalleryQuery& query, GalleryCursor& cursor, std::size_t count);
  // How the search of a page folds case. SQLite knows only ASCII's; the caller knows Unicode's.
  void SetFold(Fold fold);
  // A number that changes when another connection (another window, `stringart --import`)
  // commits to the file, and not for this journal's own writes. Waits for the writer; call it
  // off the window's thread. 0 when nothing is kept.
  std::int64_t OthersVersion();
  // Adds `figures` in one transaction, all or none: a figure kept already gets no second row
  // (it takes a favourite mark, and a note when it has none, and comes back into the gallery).
  // Waits for the writer.
  ImportResult Import(const std::vector<TravellingFigure>& figures);
  // False once figures are not being kept.
  bool keeping();
  const std::string& path() const { return path_; }

  // The statement that reads phase `phase` of a page of `query`: for checking its query plan.
  static std::string PageSql(const GalleryQuery& query, int phase);

 private:
  struct Op {
    enum class Kind { Record, Mark, Note, Remove, Restore, Import, Version };
    Kind kind = Kind::Record;
    FigureRecord figure;
    FigureOrigin origin = FigureOrigin::New;
    bool on = false;
    std::int64_t rowId = 0;
    double at = 0;  // seconds since 1970
    std::int64_t removal = 0;
    std::string note;
    std::shared_ptr<std::vector<TravellingFigure>> imported;
    std::shared_ptr<std::promise<ImportResult>> done;
    std::shared_ptr<std::promise<std::int64_t>> version;
  };

  void Run();
  void Queue(Op op);
  // Queues an op of `kind` for each of `rows`, under `removal`.
  void QueueRows(Op::Kind kind, const std::vector<JournalRow>& rows, std::int64_t removal);
  // Opens the file, sets it aside when damaged or foreign and starts afresh; sets db_, or tells
  // why not.
  void Open();
  // Opens and brings the schema up to date: an SQLite result code.
  int OpenAndMigrate();
  // Brings an older journal's schema up to date, in one transaction: an SQLite result code.
  int Migrate();
  // Reads which figures are favourites, and where this run's rows begin: an SQLite result code.
  int ReadFavourites();
  // Reads the schema in one snapshot; foreign_ and newer_ say what it is.
  int Inspect(int& version);
  // Renames the file and its log to `path_` + `suffix` + a time; the new name, empty on failure.
  std::string SetAside(const char* suffix);
  // Writes `ops` in one transaction; an SQLite result code, with why_ saying why on failure.
  int Write(const std::vector<Op>& ops);
  int Apply(const Op& op);
  // A figure shown: a row of its own, or for a figure kept already its row shown again.
  int ApplyRecord(const Op& op);
  void WriteWithRetries(const std::vector<Op>& ops);
  ImportResult WriteImport(const std::vector<TravellingFigure>& figures);
  // `rc`, having noted SQLite's words for it while the connection still holds them: a rollback
  // after a failure replaces them.
  int Failed(int rc);
  void TellOnce(JournalNews news);
  void CannotWrite();
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
  std::int64_t lastRemoval_ = 0;
  std::unordered_set<std::string> favourites_;  // FavouriteKey of every favourite figure
  bool told_[3] = {false, false, false};

  sqlite3* db_ = nullptr;  // the writer thread's
  bool newer_ = false;     // the file has a schema newer than this program's
  bool foreign_ = false;   // the file is an SQLite database of something else
  std::string why_;        // SQLite's words for the last failure
  std::mutex readerMutex_;
  sqlite3* reader_ = nullptr;
  Fold fold_;  // guarded by readerMutex_, as the reader calls it
  int readerGeneration_ = -1;
  std::thread writer_;
};

}  // namespace stringart
