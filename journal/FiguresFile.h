#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "figure/FigureRecord.h"

namespace stringart {

// Figures that travel between journals: a JSON array of objects
//   {"draws": "U1,...,U12", "directions": "R,G,B", "favourite": true, "shown_at": 1733680000,
//    "note": "..."}
// with draws and directions as stringart-render's --draws and --directions take them.

struct TravellingFigure {
  FigureRecord figure;  // draws and start directions
  bool favourite = false;
  std::int64_t shownAt = 0;  // seconds since 1970
  std::string note;
};

// The longest note a figure keeps, in bytes of UTF-8.
inline constexpr std::size_t kNoteMax = 4000;
// The largest figures file read: some 150,000 figures. Larger ones are refused unread.
inline constexpr std::size_t kFiguresFileMax = 32u << 20;
// The latest time a figure may carry: the end of the year 9999.
inline constexpr std::int64_t kLatestShownAt = 253402300799;

// `note` as the journal keeps it: one line, each control character a space, cut to kNoteMax
// bytes before the character the cut falls in. What is kept is what a figures file may carry.
std::string KeptNote(std::string_view note);

// The file's text, one figure a line.
std::string FormatFiguresFile(const std::vector<TravellingFigure>& figures);

// The figures `text` holds; nullopt with `error` set to one line saying what is wrong and where
// (the figure's place, from 1). Draws and directions, and "shown_at" from 0 to kLatestShownAt,
// are checked as the renderer checks them; "draws" is needed, the rest have defaults (rising
// directions, not a favourite, shown now, no note); a note over the journal's longest or holding
// a control character, a key given twice, any other type or nesting refuses the whole text.
// Other keys are passed over.
std::optional<std::vector<TravellingFigure>> ParseFiguresFile(std::string_view text,
                                                              std::string& error);

// Writes FormatFiguresFile's text to `path`, all or nothing (see WriteFileAtomically); false with
// `error` set to the system's reason.
bool WriteFiguresFile(const std::string& path, const std::vector<TravellingFigure>& figures,
                      std::string& error);

// Reads and parses the file at `path`: only a regular file of at most kFiguresFileMax bytes.
std::optional<std::vector<TravellingFigure>> ReadFiguresFile(const std::string& path,
                                                             std::string& error);

}  // namespace stringart
