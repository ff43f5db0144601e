#include "journal/FiguresFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "options/FigureCommand.h"
#include "runtime/AtomicFile.h"
#include "runtime/Interrupted.h"
#include "text/Quote.h"

namespace stringart {
namespace {

using Json = nlohmann::json;

// Containers deeper than this, even under a key that is passed over, refuse the file: nesting
// is what a parser's memory and stack give out on first.
constexpr int kDeepest = 8;

std::int64_t NowSeconds() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

// Whether `text` (valid UTF-8) holds a C0 or C1 control character or DEL.
bool HasControl(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      return true;
    }
  }
  return false;
}

// Reads the figures as the parser meets them, so that memory holds the figures and never a tree
// of the whole text; any event out of place stops the parse with `error` set.
class FiguresReader final : public nlohmann::json_sax<Json> {
 public:
  std::vector<TravellingFigure> figures;
  std::string error;

  bool null() override { return Value(Kind::Null); }
  bool boolean(bool value) override {
    boolean_ = value;
    return Value(Kind::Boolean);
  }
  bool number_integer(number_integer_t value) override {
    integer_ = value;
    return Value(Kind::Integer);
  }
  bool number_unsigned(number_unsigned_t value) override {
    // Past the largest signed number is past any time a figure may carry.
    integer_ = value > static_cast<number_unsigned_t>(kLatestShownAt)
                   ? -1
                   : static_cast<std::int64_t>(value);
    return Value(Kind::Integer);
  }
  bool number_float(number_float_t, const string_t&) override { return Value(Kind::Other); }
  bool string(string_t& value) override {
    text_ = std::move(value);
    return Value(Kind::Text);
  }
  bool binary(binary_t&) override { return Value(Kind::Other); }
  bool start_object(std::size_t) override {
    if (depth_ == 0) return Fail("it is not a list of figures");
    if (depth_ == 1) {
      figure_ = {};
      figure_.shownAt = NowSeconds();
      keys_.clear();
      return Enter();
    }
    if (depth_ == 2 && Known()) return Wrong();
    return Enter();
  }
  bool end_object() override {
    --depth_;
    if (depth_ != 1) return true;
    if (!keys_.contains("draws")) return Fail(Where() + "it has no \"draws\"");
    figures.push_back(std::move(figure_));
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth_ == 1) return Fail(Where(figures.size() + 1) + "it is not an object");
    if (depth_ == 2 && Known()) return Wrong();
    return Enter();
  }
  bool end_array() override {
    --depth_;
    return true;
  }
  bool key(string_t& name) override {
    if (depth_ != 2) return true;
    if (!keys_.insert(name).second) {
      return Fail(Where() + "\"" + EscapeText(name, 40) + "\" is given twice");
    }
    key_ = std::move(name);
    return true;
  }
  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception&) override {
    if (error.empty()) error = "it is not JSON (at byte " + std::to_string(position) + ")";
    return false;
  }

 private:
  enum class Kind { Null, Boolean, Integer, Text, Other };

  bool Enter() {
    if (++depth_ > kDeepest) return Fail("it is nested too deeply");
    return true;
  }
  bool Fail(std::string why) {
    error = std::move(why);
    return false;
  }
  // "figure N: ", counting from 1.
  std::string Where(std::size_t n) const { return "figure " + std::to_string(n) + ": "; }
  std::string Where() const { return Where(figures.size() + 1); }
  bool Known() const {
    return key_ == "draws" || key_ == "directions" || key_ == "favourite" || key_ == "shown_at" ||
           key_ == "note";
  }
  bool Wrong() {
    const char* wanted = key_ == "favourite"  ? "true or false"
                         : key_ == "shown_at" ? "a whole number of seconds"
                                              : "text";
    return Fail(Where() + "\"" + key_ + "\" is not " + wanted);
  }

  bool Value(Kind kind) {
    if (depth_ == 0) return Fail("it is not a list of figures");
    if (depth_ == 1) return Fail(Where(figures.size() + 1) + "it is not an object");
    if (depth_ > 2 || !Known()) return true;  // under a key passed over
    std::string why;
    if (key_ == "draws" || key_ == "directions") {
      if (kind != Kind::Text) return Wrong();
      if (key_ == "draws") {
        const auto draws = ParseDraws(text_, why);
        if (!draws) return Fail(Where() + why);
        figure_.figure.draws = *draws;
      } else {
        const auto directions = ParseDirections(text_, why);
        if (!directions) return Fail(Where() + why);
        figure_.figure.start = *directions;
      }
    } else if (key_ == "favourite") {
      if (kind != Kind::Boolean) return Wrong();
      figure_.favourite = boolean_;
    } else if (key_ == "shown_at") {
      if (kind != Kind::Integer) return Wrong();
      if (integer_ < 0 || integer_ > kLatestShownAt) {
        return Fail(Where() + "\"shown_at\" is not a time from 1970 to 9999");
      }
      figure_.shownAt = integer_;
    } else {
      if (kind != Kind::Text) return Wrong();
      if (text_.size() > kNoteMax) {
        return Fail(Where() + "the note is longer than " + std::to_string(kNoteMax) + " bytes");
      }
      if (HasControl(text_)) return Fail(Where() + "the note holds a control character");
      figure_.note = std::move(text_);
    }
    return true;
  }

  int depth_ = 0;  // containers open
  TravellingFigure figure_;
  std::unordered_set<std::string> keys_;  // of the figure being read
  std::string key_;
  bool boolean_ = false;
  std::int64_t integer_ = 0;
  std::string text_;
};

}  // namespace

std::string KeptNote(std::string_view note) {
  std::size_t end = std::min(note.size(), kNoteMax);
  while (end < note.size() && end > 0 && (static_cast<unsigned char>(note[end]) & 0xC0) == 0x80) {
    --end;
  }
  std::string kept(note.substr(0, end));
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const auto c = static_cast<unsigned char>(kept[i]);
    if (c < 0x20 || c == 0x7F) kept[i] = ' ';
    // C1 controls, U+0080 to U+009F: two bytes, two spaces.
    if (c == 0xC2 && i + 1 < kept.size() && static_cast<unsigned char>(kept[i + 1]) < 0xA0) {
      kept[i] = kept[i + 1] = ' ';
    }
  }
  return kept;
}

std::string FormatFiguresFile(const std::vector<TravellingFigure>& figures) {
  std::string text = "[";
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const TravellingFigure& f = figures[i];
    nlohmann::ordered_json object;
    object["draws"] = FormatDraws(f.figure.draws);
    object["directions"] = FormatDirections(f.figure.start);
    object["favourite"] = f.favourite;
    object["shown_at"] = f.shownAt;
    // A note a script wrote may be any text: written as the journal would keep it, so that the
    // file reads back.
    object["note"] = KeptNote(f.note);
    text += i == 0 ? "\n" : ",\n";
    // A note a script wrote may hold bytes that are no UTF-8: written as U+FFFD, not refused.
    text += object.dump(-1, ' ', false, Json::error_handler_t::replace);
  }
  text += "\n]\n";
  return text;
}

std::optional<std::vector<TravellingFigure>> ParseFiguresFile(std::string_view text,
                                                              std::string& error) {
  FiguresReader reader;
  const bool read = Json::sax_parse(text.begin(), text.end(), &reader,
                                    nlohmann::detail::input_format_t::json, true);
  if (!read) {
    error = reader.error.empty() ? "it is not JSON" : reader.error;
    return std::nullopt;
  }
  return std::move(reader.figures);
}

bool WriteFiguresFile(const std::string& path, const std::vector<TravellingFigure>& figures,
                      std::string& error) {
  return WriteFileAtomically(path, FormatFiguresFile(figures), error);
}

std::optional<std::vector<TravellingFigure>> ReadFiguresFile(const std::string& path,
                                                             std::string& error) {
  // Without blocking: a pipe or a device named like a file must not hold the reader.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  struct stat info {};
  std::string text;
  if (fstat(fd, &info) != 0) {
    error = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    error = "it is a folder";
  } else if (!S_ISREG(info.st_mode)) {
    error = "it is not a regular file";
  } else if (static_cast<std::uintmax_t>(info.st_size) > kFiguresFileMax) {
    error = "it is larger than " + std::to_string(kFiguresFileMax >> 20) + " MiB";
  } else {
    // Read to its end, which may have moved since fstat: past the limit is refused all the same.
    text.reserve(static_cast<std::size_t>(info.st_size) + 1);
    char block[65536];
    for (;;) {
      const ssize_t n = RetryInterrupted([&] { return read(fd, block, sizeof block); });
      if (n < 0) {
        error = std::strerror(errno);
        break;
      }
      if (n == 0) break;
      text.append(block, static_cast<std::size_t>(n));
      if (text.size() > kFiguresFileMax) {
        error = "it is larger than " + std::to_string(kFiguresFileMax >> 20) + " MiB";
        break;
      }
    }
  }
  close(fd);
  if (!error.empty()) return std::nullopt;
  return ParseFiguresFile(text, error);
}

}  // namespace stringart
