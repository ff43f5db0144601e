#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "figure/FigureRecord.h"
#include "options/ExportLimits.h"
#include "options/Paper.h"
#include "text/Translatable.h"

namespace stringart {

// The one grammar of every command line this program reads: the renderer's, the window's and
// the screensaver's options, the command a figure file carries, and a page link's fragment.
// Each declares a table of options; the same table checks what is given and writes --help.

struct OptionRow;
using OptionValue = std::variant<std::monostate, std::string, long long, float, FigureDraws,
                                 Directions, FrameSize, PaperSize, PenChoice, PenLift>;
// Reads an option's value: what it becomes, or nullopt with `why` set to what is wrong with it,
// worded as a reason that may follow the option's name ("'0' is not a whole number ...").
using OptionReader = std::optional<OptionValue> (*)(const OptionRow& row, std::string_view value,
                                                    std::string& why);

struct OptionRow {
  // "--figures". A name without a dash ("FILE...") is the operands' line in --help.
  std::string_view name = {};
  std::string_view alias = {};  // a short form, "-o"; or empty
  std::string_view value = {};  // what --help calls the value, "N"; empty for a flag
  // What --help says of it: "\n" continues on the next line, and {range} stands for "least to
  // most". Empty: the option is not listed.
  std::string_view help = {};
  OptionReader read = nullptr;    // null for a flag
  long long least = 0, most = 0;  // a whole number's range
  float low = 0, high = 0;        // a decimal's range
  std::string_view unit = {};     // what a whole number counts, as messages say it: "seconds"
  // The value may be left out, before another option or at the end; any other word that follows
  // is its value, and is refused when it does not read.
  bool optionalValue = false;
  // What the option sets, as messages to people name it where options are not typed (the
  // command a file carries): "the size is".
  std::string_view what = {};
};

// How messages name what is wrong.
enum class Naming {
  ByOption,  // "--figures '0' is not ...": a command line
  ByWhat,    // "the frame rate: '0' is not ...": the command a file carries
  ByKey,     // "draws given more than once": a link's fragment, its keys the names without "--"
};

// The rules a command line keeps beyond its table.
struct OptionRules {
  Naming naming = Naming::ByOption;
  bool operands = false;    // words that are not options are operands (files), else refused;
                            // "--" makes every word after it one
  bool eitherDash = false;  // every option may be written with one dash or two: -root, --root
  // Options of others that are read and dropped (the toolkit's), one dash or two.
  std::span<const OptionRow> passOver = {};
  std::string_view unknownHint = {};  // said after "unknown option 'X'"
};

// The readers of every kind of value, and what each makes of it.
std::optional<OptionValue> ReadAsText(const OptionRow&, std::string_view value,
                                      std::string& why);  // std::string, never empty
std::optional<OptionValue> ReadAsWhole(const OptionRow& row, std::string_view value,
                                       std::string& why);  // long long, least to most
std::optional<OptionValue> ReadAsTimeOfDay(const OptionRow&, std::string_view value,
                                           std::string& why);  // float, 0 to below 86400 s
std::optional<OptionValue> ReadAsDraws(const OptionRow&, std::string_view value,
                                       std::string& why);  // FigureDraws, each 0 <= u < 1
std::optional<OptionValue> ReadAsDirections(const OptionRow&, std::string_view value,
                                            std::string& why);  // Directions, R,G,B of 1 or -1
std::optional<OptionValue> ReadAsSize(const OptionRow&, std::string_view value,
                                      std::string& why);  // FrameSize, N or WxH
std::optional<OptionValue> ReadAsDecimal(const OptionRow& row, std::string_view value,
                                         std::string& why);  // float, low to high
std::optional<OptionValue> ReadAsPaper(const OptionRow&, std::string_view value,
                                       std::string& why);  // PaperSize, a name or WxHmm
std::optional<OptionValue> ReadAsPlotTime(const OptionRow&, std::string_view value,
                                          std::string& why);  // float minutes, 90m or 2h
std::optional<OptionValue> ReadAsPenLift(const OptionRow&, std::string_view value,
                                         std::string& why);  // PenLift, servo[:S] or z[:MM]
std::optional<OptionValue> ReadAsPaperColour(const OptionRow&, std::string_view value,
                                             std::string& why);  // long long, 0xRRGGBB
std::optional<OptionValue> ReadAsPens(const OptionRow&, std::string_view value,
                                      std::string& why);  // PenChoice, N or #rrggbb,...
std::optional<OptionValue> ReadAsWindowId(const OptionRow&, std::string_view value,
                                          std::string& why);  // long long, an X window id

// The options a command line gave, each checked, and its operands.
class GivenOptions {
 public:
  // Whether the option named `name` in the table was given.
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // Its value; nullopt when it was not given (or, for an optional value, given without one).
  template <class T>
  std::optional<T> Get(std::string_view name) const {
    const OptionValue* value = Find(name);
    if (value == nullptr || !std::holds_alternative<T>(*value)) return std::nullopt;
    return std::get<T>(*value);
  }
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  friend std::optional<GivenOptions> ParseOptions(std::span<const OptionRow>,
                                                  const std::vector<std::string>&,
                                                  const OptionRules&, std::string&);
  const OptionValue* Find(std::string_view name) const;

  std::vector<std::pair<std::string_view, OptionValue>> values_;  // by the table's names
  std::vector<std::string> operands_;
};

// Reads `args` by `table`: "--name value", "--name=value", a flag alone, each option with a value
// at most once, in any order. Nullopt with `error` set to one line naming what is wrong.
std::optional<GivenOptions> ParseOptions(std::span<const OptionRow> table,
                                         const std::vector<std::string>& args,
                                         const OptionRules& rules, std::string& error);

// The table's lines of --help, each option's help in a column of its own, told in the person's
// language by `translate` where the table's texts are marked in `context`.
std::string OptionHelp(std::span<const OptionRow> table, const Translate& translate = {},
                       const char* context = "");

// The whole number `text` spells, in `base` (10, or 16 without a prefix), when it lies from
// `least` to `most`; nothing else in `text`.
std::optional<long long> ReadWhole(std::string_view text, long long least, long long most,
                                   int base = 10);
// An X window id as xscreensaver writes one: decimal, or hexadecimal after 0x; never 0.
std::optional<unsigned long> ReadWindowId(std::string_view text);

}  // namespace stringart
