#include "options/OptionGrammar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "options/FigureCommand.h"
#include "runtime/FloatText.h"
#include "text/Quote.h"

namespace stringart {
namespace {

// `word` as the row writes it: its name or alias, or its name with one dash less or more.
bool Names(const OptionRow& row, std::string_view word, bool eitherDash) {
  if (!row.name.starts_with('-')) return false;
  if (word == row.name || (!row.alias.empty() && word == row.alias)) return true;
  if (!eitherDash) return false;
  auto bare = [](std::string_view w) { return w.substr(w.starts_with("--") ? 2 : 1); };
  return word.starts_with('-') && bare(word) == bare(row.name);
}

const OptionRow* Find(std::span<const OptionRow> table, std::string_view word, bool eitherDash) {
  for (const OptionRow& row : table) {
    if (Names(row, word, eitherDash)) return &row;
  }
  return nullptr;
}

std::pair<std::string, std::string> RangeEnds(const OptionRow& row) {
  if (row.read == ReadAsDecimal) return {FormatDecimal(row.low), FormatDecimal(row.high)};
  return {std::to_string(row.least), std::to_string(row.most)};
}

std::string RangeText(const OptionRow& row) {
  const auto [least, most] = RangeEnds(row);
  return least + " to " + most;
}

// The range as --help says it in the person's language; in English when a translation lost a
// place for either end.
std::string RangeText(const OptionRow& row, const Translate& translate) {
  std::string words = Translated(translate, "OptionGrammar",
                                 QT_TRANSLATE_NOOP("OptionGrammar", "{least} to {most}"));
  const std::size_t least = words.find("{least}"), most = words.find("{most}");
  if (least == std::string::npos || most == std::string::npos) return RangeText(row);
  const auto [low, high] = RangeEnds(row);
  // The later place first, so that the earlier one stays where it was found.
  if (least < most) {
    words.replace(most, 6, high).replace(least, 7, low);
  } else {
    words.replace(least, 7, low).replace(most, 6, high);
  }
  return words;
}

// The messages of one naming. `row` is what is wrong, or null for a word that names nothing.
class Wording {
 public:
  explicit Wording(const OptionRules& rules) : rules_(rules) {}

  std::string Unknown(std::string_view word) const {
    if (rules_.naming == Naming::ByOption) {
      return "unknown option " + Quoted(word) + std::string(rules_.unknownHint);
    }
    return "unexpected " + Quoted(word);
  }
  std::string Operand(std::string_view word) const {
    return rules_.naming == Naming::ByOption ? "unexpected argument " + Quoted(word)
                                             : "unexpected " + Quoted(word);
  }
  std::string TakesNoValue(const OptionRow& row) const {
    return std::string(row.name) + " takes no value";
  }
  std::string Missing(const OptionRow& row) const {
    if (rules_.naming == Naming::ByWhat) return std::string(row.what) + " missing";
    return Named(row) + " needs a value";
  }
  std::string Twice(const OptionRow& row) const {
    if (rules_.naming == Naming::ByWhat) return std::string(row.what) + " given twice";
    return Named(row) + " given more than once";
  }
  std::string Bad(const OptionRow& row, const std::string& why) const {
    if (rules_.naming == Naming::ByOption && why.starts_with('\'')) return Named(row) + " " + why;
    return Named(row) + ": " + why;
  }

 private:
  // The option as messages name it: "--size", "size", or "the size" for "the size is".
  std::string Named(const OptionRow& row) const {
    switch (rules_.naming) {
      case Naming::ByOption: break;
      case Naming::ByKey: return std::string(row.name.substr(2));
      case Naming::ByWhat: return std::string(row.what.substr(0, row.what.rfind(' ')));
    }
    return std::string(row.name);
  }

  const OptionRules& rules_;
};

bool IsOptionWord(std::string_view word) {
  return word.size() > 1 && word[0] == '-';
}

}  // namespace

const OptionValue* GivenOptions::Find(std::string_view name) const {
  for (const auto& [given, value] : values_) {
    if (given == name) return &value;
  }
  return nullptr;
}

std::optional<GivenOptions> ParseOptions(std::span<const OptionRow> table,
                                         const std::vector<std::string>& args,
                                         const OptionRules& rules, std::string& error) {
  const Wording say(rules);
  auto fail = [&error](std::string message) {
    error = std::move(message);
    return std::optional<GivenOptions>();
  };
  GivenOptions given;
  bool onlyOperands = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (onlyOperands || !IsOptionWord(word)) {
      if (!rules.operands) return fail(say.Operand(word));
      given.operands_.push_back(word);
      continue;
    }
    if (word == "--" && rules.operands) {
      onlyOperands = true;
      continue;
    }
    const std::size_t eq = word.find('=');
    const std::string_view name = std::string_view(word).substr(0, eq);
    const OptionRow* row = Find(table, name, rules.eitherDash);
    const bool dropped = row == nullptr && (row = Find(rules.passOver, name, true)) != nullptr;
    if (row == nullptr) return fail(say.Unknown(name));

    std::optional<std::string> value;
    if (eq != std::string::npos) value = word.substr(eq + 1);
    if (row->read == nullptr) {
      if (value) return fail(say.TakesNoValue(*row));
    } else if (!value) {
      const bool next = i + 1 < args.size();
      if (next && (!row->optionalValue || !IsOptionWord(args[i + 1]))) {
        value = args[++i];
      } else if (!row->optionalValue) {
        return fail(say.Missing(*row));
      }
    }
    if (dropped) continue;
    if (row->read != nullptr && given.Find(row->name) != nullptr) {
      return fail(say.Twice(*row));
    }
    // An empty name or text is no value at all.
    if (value && value->empty() && row->read == ReadAsText) return fail(say.Missing(*row));
    OptionValue read;
    if (value) {
      std::string why;
      auto checked = row->read(*row, *value, why);
      if (!checked) return fail(say.Bad(*row, why));
      read = std::move(*checked);
    }
    if (given.Find(row->name) == nullptr) given.values_.emplace_back(row->name, std::move(read));
  }
  return given;
}

std::string OptionHelp(std::span<const OptionRow> table, const Translate& translate,
                       const char* context) {
  auto named = [](const OptionRow& row) {
    std::string left = "  ";
    if (!row.alias.empty()) (left += row.alias) += ", ";
    left += row.name;
    if (row.optionalValue) {
      ((left += " [") += row.value) += ']';
    } else if (!row.value.empty()) {
      (left += ' ') += row.value;
    }
    return left;
  };
  std::size_t column = 0;  // where every option's help starts: two spaces after the longest
  for (const OptionRow& row : table) {
    if (!row.help.empty()) column = std::max(column, named(row).size() + 2);
  }
  std::string help;
  for (const OptionRow& row : table) {
    if (row.help.empty()) continue;
    std::string left = named(row);
    left.resize(column, ' ');
    std::string text = Translated(translate, context, std::string(row.help).c_str());
    if (const std::size_t range = text.find("{range}"); range != std::string::npos) {
      text.replace(range, 7, RangeText(row, translate));
    }
    for (std::size_t start = 0;;) {
      const std::size_t end = text.find('\n', start);
      help += left;
      help.append(text, start, end - start);
      help += '\n';
      if (end == std::string::npos) break;
      left.assign(column, ' ');
      start = end + 1;
    }
  }
  return help;
}

std::optional<OptionValue> ReadAsText(const OptionRow&, std::string_view value, std::string&) {
  return std::string(value);
}

std::optional<OptionValue> ReadAsWhole(const OptionRow& row, std::string_view value,
                                       std::string& why) {
  if (const auto number = ReadWhole(value, row.least, row.most)) return *number;
  why = Quoted(value) + " is not a whole number " +
        (row.unit.empty() ? "" : "of " + std::string(row.unit) + " ") + "from " + RangeText(row);
  return std::nullopt;
}

std::optional<OptionValue> ReadAsTimeOfDay(const OptionRow&, std::string_view value,
                                           std::string& why) {
  float seconds = 0;
  const auto [end, ec] = TextToFloat(value.data(), value.data() + value.size(), seconds);
  if (value.empty() || ec != std::errc() || end != value.data() + value.size() ||
      !std::isfinite(seconds)) {
    why = Quoted(value) + " is not a number";
  } else if (!(seconds >= 0.0f && seconds < 86400.0f)) {
    why = Quoted(value) + " is not a time of day from 0 to below 86400 seconds";
  } else {
    return seconds;
  }
  return std::nullopt;
}

std::optional<OptionValue> ReadAsDraws(const OptionRow&, std::string_view value, std::string& why) {
  if (auto draws = ParseDraws(value, why)) return *draws;
  return std::nullopt;
}

std::optional<OptionValue> ReadAsDirections(const OptionRow&, std::string_view value,
                                            std::string& why) {
  if (auto directions = ParseDirections(value, why)) return *directions;
  return std::nullopt;
}

std::optional<OptionValue> ReadAsSize(const OptionRow&, std::string_view value, std::string& why) {
  if (auto size = ParseSize(value, why)) return *size;
  return std::nullopt;
}

std::optional<OptionValue> ReadAsDecimal(const OptionRow& row, std::string_view value,
                                         std::string& why) {
  const auto number = ParseDecimal(value);
  if (number && *number >= row.low && *number <= row.high) return *number;
  why = Quoted(value) + " is not a number " +
        (row.unit.empty() ? "" : "of " + std::string(row.unit) + " ") + "from " + RangeText(row);
  return std::nullopt;
}

std::optional<OptionValue> ReadAsPaper(const OptionRow&, std::string_view value, std::string& why) {
  if (auto paper = ParsePaper(value, why)) return *paper;
  return std::nullopt;
}

std::optional<OptionValue> ReadAsPlotTime(const OptionRow&, std::string_view value,
                                          std::string& why) {
  if (const auto minutes = ParsePlotTime(value, why)) return *minutes;
  return std::nullopt;
}

std::optional<OptionValue> ReadAsPenLift(const OptionRow&, std::string_view value,
                                         std::string& why) {
  if (const auto lift = ParsePenLift(value, why)) return *lift;
  return std::nullopt;
}

std::optional<OptionValue> ReadAsPaperColour(const OptionRow&, std::string_view value,
                                             std::string& why) {
  if (const auto colour = ParsePaperColour(value, why)) {
    return static_cast<long long>(colour->red()) << 16 | colour->green() << 8 | colour->blue();
  }
  return std::nullopt;
}

std::optional<OptionValue> ReadAsPens(const OptionRow&, std::string_view value, std::string& why) {
  if (auto pens = ParsePens(value, why)) return std::move(*pens);
  return std::nullopt;
}

std::optional<OptionValue> ReadAsWindowId(const OptionRow&, std::string_view value,
                                          std::string& why) {
  if (const auto id = ReadWindowId(value)) return static_cast<long long>(*id);
  why = Quoted(value) + " is not a window id (decimal, or hexadecimal after 0x)";
  return std::nullopt;
}

std::optional<long long> ReadWhole(std::string_view text, long long least, long long most,
                                   int base) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < least ||
      value > most) {
    return std::nullopt;
  }
  return value;
}

std::optional<unsigned long> ReadWindowId(std::string_view text) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  // X resource ids are 32-bit words: anything wider names no window.
  const auto id = ReadWhole(hex ? text.substr(2) : text, 1,
                            std::numeric_limits<std::uint32_t>::max(), hex ? 16 : 10);
  if (!id) return std::nullopt;
  return static_cast<unsigned long>(*id);
}

}  // namespace stringart
