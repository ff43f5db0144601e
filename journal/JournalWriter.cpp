// The journal's writes: the queue of figures shown, marks, notes and removals, and the
// transactions that put them and imports in the file.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "journal/Journal.h"
#include "journal/Journal_p.h"

namespace stringart {
using namespace journal_detail;
namespace {

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

}  // namespace

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

ImportResult Journal::Import(const std::vector<TravellingFigure>& figures) {
  Op op;
  op.kind = Op::Kind::Import;
  op.imported = std::make_shared<std::vector<TravellingFigure>>(figures);
  op.done = std::make_shared<std::promise<ImportResult>>();
  std::future<ImportResult> result = op.done->get_future();
  Queue(std::move(op));
  return result.get();
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

}  // namespace stringart
