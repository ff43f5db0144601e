// The journal's reads: earlier figures, and the gallery's pages, a page at a time in its order.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>

#include "journal/Journal.h"
#include "journal/Journal_p.h"

namespace stringart {
using namespace journal_detail;

void Journal::SetFold(Fold fold) {
  std::lock_guard guard(readerMutex_);
  fold_ = std::move(fold);
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
