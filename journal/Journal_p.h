// What the parts of the journal share: its prepared statements, a row read as a figure and keyed
// as a favourite, the time of a change, and which failures mean a damaged file. Private to
// journal/.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "figure/FigureJournal.h"
#include "options/FigureCommand.h"

namespace stringart::journal_detail {

inline std::string FavouriteKey(const std::string& draws, const std::string& directions) {
  return draws + ' ' + directions;
}

inline std::string FavouriteKey(const FigureRecord& figure) {
  return FavouriteKey(FormatDraws(figure.draws), FormatDirections(figure.start));
}

inline double Now() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

inline bool Damaged(int rc) {
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

inline int Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// The single integer a statement like PRAGMA user_version returns, or an SQLite error code in
// `rc`.
inline std::int64_t Integer(sqlite3* db, const char* sql, int& rc) {
  Statement s(db, sql);
  if ((rc = s.rc()) != SQLITE_OK) return 0;
  rc = sqlite3_step(s.get());
  if (rc != SQLITE_ROW) return 0;
  rc = SQLITE_OK;
  return sqlite3_column_int64(s.get(), 0);
}

// The figure a row describes; false for a row a script filled with something else.
inline bool ReadFigure(const std::string& draws, const std::string& directions,
                       FigureRecord& figure) {
  std::string error;
  const auto d = ParseDraws(draws, error);
  const auto start = ParseDirections(directions, error);
  if (!d || !start) return false;
  figure = {*d, *start, {}};
  return true;
}

}  // namespace stringart::journal_detail
