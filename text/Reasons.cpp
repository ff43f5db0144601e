#include "text/Reasons.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace stringart {
namespace {

// Every wording of a reason the layers without Qt build, as they build it in English: %1, %2 …
// stand for what changes (a name, a number, the reason under it). The translators' tools collect
// them from here; the code keeps building its English as before, so that English never changes.
constexpr const char* kWordings[] = {
    // Writing files.
    QT_TRANSLATE_NOOP("Reasons", "cannot write %1: %2"),
    QT_TRANSLATE_NOOP("Reasons", "cannot save %1: %2"),
    QT_TRANSLATE_NOOP("Reasons", "cannot save %1: the name must end in .png or .svg"),
    QT_TRANSLATE_NOOP("Reasons", "it is a directory"),
    QT_TRANSLATE_NOOP("Reasons", "folder %1 does not exist"),
    QT_TRANSLATE_NOOP("Reasons", "folder %1 is not writable"),
    QT_TRANSLATE_NOOP("Reasons", "it is a folder, not a regular file"),
    QT_TRANSLATE_NOOP("Reasons", "it is a pipe (FIFO), not a regular file"),
    QT_TRANSLATE_NOOP("Reasons", "it is a socket, not a regular file"),
    QT_TRANSLATE_NOOP("Reasons", "it is a device, not a regular file"),
    QT_TRANSLATE_NOOP("Reasons", "nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "out of memory"),
    QT_TRANSLATE_NOOP("Reasons", "not enough memory for %1 x %2 pixels"),
    QT_TRANSLATE_NOOP("Reasons", "not enough memory for the page"),
    QT_TRANSLATE_NOOP("Reasons", "not enough memory to write the picture"),
    QT_TRANSLATE_NOOP("Reasons", "cannot make the folder %1: %2"),
    QT_TRANSLATE_NOOP("Reasons", "there is no screen to set a wallpaper on"),
    // Reading files.
    QT_TRANSLATE_NOOP("Reasons", "cannot open %1: %2"),
    QT_TRANSLATE_NOOP(
        "Reasons",
        "cannot open %1: only .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode and .pdf files "
        "written by stringart carry a figure"),
    QT_TRANSLATE_NOOP("Reasons",
                      "cannot open %1: it carries no stringart-render command; only pictures saved "
                      "by stringart do"),
    QT_TRANSLATE_NOOP("Reasons", "cannot open %1: its stringart-render command is damaged: %2"),
    QT_TRANSLATE_NOOP("Reasons", "cannot import %1: %2; nothing was added."),
    QT_TRANSLATE_NOOP("Reasons", "it is a folder"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a regular file"),
    QT_TRANSLATE_NOOP("Reasons", "it is a pipe (FIFO), not a file"),
    QT_TRANSLATE_NOOP("Reasons", "it is a socket, not a file"),
    QT_TRANSLATE_NOOP("Reasons", "it is a device, not a file"),
    QT_TRANSLATE_NOOP("Reasons", "it is larger than %1 MiB"),
    QT_TRANSLATE_NOOP("Reasons", "the file ends early"),
    QT_TRANSLATE_NOOP("Reasons", "the file cannot be read"),
    QT_TRANSLATE_NOOP("Reasons", "the text it carries is longer than %1 KiB"),
    QT_TRANSLATE_NOOP("Reasons", "it is not an SVG drawing"),
    QT_TRANSLATE_NOOP("Reasons", "its <metadata> is never closed"),
    QT_TRANSLATE_NOOP("Reasons", "it is not an HPGL file"),
    QT_TRANSLATE_NOOP("Reasons", "its comment is never closed"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a PDF document"),
    QT_TRANSLATE_NOOP("Reasons", "its subject is never closed"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a PNG picture"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a PNG picture that can be read (%1)"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a video that can be read (%1)"),
    QT_TRANSLATE_NOOP("Reasons", "this FFmpeg cannot read the container"),
    QT_TRANSLATE_NOOP("Reasons", "this FFmpeg has no %1 encoder"),
    QT_TRANSLATE_NOOP("Reasons", "cannot open the %1 encoder: %2"),
    QT_TRANSLATE_NOOP("Reasons", "cannot convert pictures to yuv420p"),
    QT_TRANSLATE_NOOP("Reasons", "the file formats could not be loaded from %1: %2"),
    QT_TRANSLATE_NOOP("Reasons", "it has no entry"),
    // Figures files.
    QT_TRANSLATE_NOOP("Reasons", "it is not JSON"),
    QT_TRANSLATE_NOOP("Reasons", "it is not JSON (at byte %1)"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a list of figures"),
    QT_TRANSLATE_NOOP("Reasons", "it is nested too deeply"),
    QT_TRANSLATE_NOOP("Reasons", "figure %1: %2"),
    QT_TRANSLATE_NOOP("Reasons", "it is not an object"),
    QT_TRANSLATE_NOOP("Reasons", "it has no \"draws\""),
    QT_TRANSLATE_NOOP("Reasons", "\"%1\" is given twice"),
    QT_TRANSLATE_NOOP("Reasons", "\"%1\" is not true or false"),
    QT_TRANSLATE_NOOP("Reasons", "\"%1\" is not a whole number of seconds"),
    QT_TRANSLATE_NOOP("Reasons", "\"%1\" is not text"),
    QT_TRANSLATE_NOOP("Reasons", "\"shown_at\" is not a time from 1970 to 9999"),
    QT_TRANSLATE_NOOP("Reasons", "the note is longer than %1 bytes"),
    QT_TRANSLATE_NOOP("Reasons", "the note holds a control character"),
    QT_TRANSLATE_NOOP("Reasons", "figures are not being kept"),
    // Figures and their commands.
    QT_TRANSLATE_NOOP("Reasons", "expected 12 draws separated by commas, got %1"),
    QT_TRANSLATE_NOOP("Reasons", "draw %1 %2 is not a number"),
    QT_TRANSLATE_NOOP("Reasons", "draw %1 %2 is not in [0, 1) as a float"),
    QT_TRANSLATE_NOOP("Reasons", "expected three directions R,G,B, got %1"),
    QT_TRANSLATE_NOOP("Reasons", "direction %1 is neither 1 nor -1"),
    QT_TRANSLATE_NOOP("Reasons", "it holds %1 at byte %2, which no command holds"),
    QT_TRANSLATE_NOOP("Reasons", "it is not a stringart-render command"),
    QT_TRANSLATE_NOOP("Reasons", "it has no draws"),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 is not N or WxH with each side a whole number from 500 to 16384"),
    // Options.
    QT_TRANSLATE_NOOP("Reasons", "unknown option %1"),
    QT_TRANSLATE_NOOP("Reasons", "unknown option %1 (see stringart --help)"),
    QT_TRANSLATE_NOOP("Reasons", "unknown option %1 (try --help)"),
    QT_TRANSLATE_NOOP("Reasons", "unexpected argument %1"),
    QT_TRANSLATE_NOOP("Reasons", "unexpected %1"),
    QT_TRANSLATE_NOOP("Reasons", "%1 takes no value"),
    QT_TRANSLATE_NOOP("Reasons", "%1 needs a value"),
    QT_TRANSLATE_NOOP("Reasons", "%1 given more than once"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a number"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a number"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a whole number from %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a whole number from %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a whole number of seconds from %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a whole number of seconds from %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a number from %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a number from %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a number of millimetres from %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a number of millimetres from %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a number of mm/s from %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a number of mm/s from %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a time such as 90m or 2h from %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a time such as 90m or 2h from %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not a time of day from 0 to below 86400 seconds"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not a time of day from 0 to below 86400 seconds"),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 %2 is not N or WxH with each side a whole number from 500 to 16384"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is no paper: %2or WxHmm with each side %3 to %4 mm"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is no paper: %3or WxHmm with each side %4 to %5 mm"),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 %2 is neither a number of pens from %3 to %4 nor colours #rrggbb,..."),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 is neither a number of pens from %2 to %3 nor colours #rrggbb,..."),
    QT_TRANSLATE_NOOP("Reasons", "pen colour %1 is not #rrggbb"),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 is neither servo,S with S from %2 to %3 nor z,MM from %4 to %5 mm"),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 %2 is neither servo,S with S from %3 to %4 nor z,MM from %5 to %6 mm"),
    QT_TRANSLATE_NOOP("Reasons", "G-code (.gcode)"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is not white, black or #rrggbb"),
    QT_TRANSLATE_NOOP("Reasons", "%1 %2 is not white, black or #rrggbb"),
    QT_TRANSLATE_NOOP("Reasons", "%1 pen colours; a plotter takes %2 to %3"),
    QT_TRANSLATE_NOOP("Reasons", "%1 needs %2"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is for %2, not for %3"),
    QT_TRANSLATE_NOOP("Reasons", "plotter files (.svg, .hpgl, .plt, .gcode)"),
    QT_TRANSLATE_NOOP("Reasons", "a plotter's SVG"),
    QT_TRANSLATE_NOOP("Reasons", "a printed PNG"),
    QT_TRANSLATE_NOOP("Reasons", "a PDF"),
    QT_TRANSLATE_NOOP("Reasons", "output %1 is made for a sheet of paper: give --paper"),
    QT_TRANSLATE_NOOP("Reasons",
                      "--paper is for .svg, .hpgl, .plt, .gcode, .pdf and .png files, not for %1"),
    QT_TRANSLATE_NOOP("Reasons",
                      "--size and --paper cannot be used together: the paper sets the size"),
    QT_TRANSLATE_NOOP("Reasons",
                      "output %1 must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf"),
    QT_TRANSLATE_NOOP("Reasons", "%1 is for animations (.mp4, .webm), not for %2"),
    QT_TRANSLATE_NOOP("Reasons", "%1 and %2 cannot be used together"),
    QT_TRANSLATE_NOOP("Reasons", "no output file: give -o FILE.png or -o FILE.svg"),
    QT_TRANSLATE_NOOP("Reasons", "%1 stands alone: it opens no window"),
    QT_TRANSLATE_NOOP("Reasons", "give figure files or %1, not both"),
    QT_TRANSLATE_NOOP("Reasons", "%1: %2"),
    // What a file is made for.
    QT_TRANSLATE_NOOP("Reasons",
                      "the name must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf"),
    QT_TRANSLATE_NOOP("Reasons", "an HPGL, G-code or PDF file is made for a sheet of paper"),
    QT_TRANSLATE_NOOP("Reasons", "a morph is a .mp4 or .webm file"),
    QT_TRANSLATE_NOOP("Reasons",
                      "a file for paper ends in .svg, .hpgl, .plt, .gcode, .pdf or .png"),
    QT_TRANSLATE_NOOP("Reasons", "a plotter takes %1 to %2 pens, not %3"),
    QT_TRANSLATE_NOOP("Reasons", "a print takes %1 to %2 dots per inch, not %3"),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 at %2 dpi is %3 x %4 pixels, more than %5 a side: fewer dots per inch"),
    QT_TRANSLATE_NOOP("Reasons", "the size %1 x %2 has a side outside %3 to %4"),
    QT_TRANSLATE_NOOP("Reasons", "an animation's sides must be even, from %1 to %2, not %3 x %4"),
    QT_TRANSLATE_NOOP("Reasons", "an animation lasts %1 to %2 seconds, not %3"),
    QT_TRANSLATE_NOOP("Reasons", "an animation runs at %1 to %2 frames a second, not %3"),
    QT_TRANSLATE_NOOP("Reasons", "a margin of %1 mm leaves no room on %2: at most %3 mm"),
    QT_TRANSLATE_NOOP("Reasons", "%1 (%2 x %3 mm)"),
    // The renderer's run.
    QT_TRANSLATE_NOOP("Reasons", "interrupted while writing; nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "terminated while writing; nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "hung up while writing; nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "interrupted after %1 figures; nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "terminated after %1 figures; nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "hung up after %1 figures; nothing written"),
    QT_TRANSLATE_NOOP("Reasons", "%1: %2 of work"),
    QT_TRANSLATE_NOOP("Reasons", "%1 left"),
    QT_TRANSLATE_NOOP("Reasons", "about %1 s"),
    QT_TRANSLATE_NOOP("Reasons", "about %1 min"),
    QT_TRANSLATE_NOOP("Reasons", "about %1 h %2 min"),
    // A plot's estimate.
    QT_TRANSLATE_NOOP("Reasons", "pen %1: %2 m pen down, %3 m pen up, %4"),
    QT_TRANSLATE_NOOP("Reasons", "in all: %1 m pen down, %2 m pen up, %3 lifts, %4"),
    QT_TRANSLATE_NOOP("Reasons", "%1 min"),
    QT_TRANSLATE_NOOP("Reasons", "%1 h %2 min"),
    // The journal and --import.
    QT_TRANSLATE_NOOP("Reasons", "Added %1 figure from %2 to the journal."),
    QT_TRANSLATE_NOOP("Reasons", "Added %1 figures from %2 to the journal."),
    QT_TRANSLATE_NOOP("Reasons", "Added %1 figure from %2 to the journal; %3 was kept already."),
    QT_TRANSLATE_NOOP("Reasons", "Added %1 figures from %2 to the journal; %3 was kept already."),
    QT_TRANSLATE_NOOP("Reasons", "Added %1 figure from %2 to the journal; %3 were kept already."),
    QT_TRANSLATE_NOOP("Reasons", "Added %1 figures from %2 to the journal; %3 were kept already."),
    QT_TRANSLATE_NOOP("Reasons",
                      "The journal of figures could not be read. It was set aside as %1, and a "
                      "fresh one has begun."),
    QT_TRANSLATE_NOOP("Reasons",
                      "%1 holds another program's data, not figures. It was set aside as %2, and a "
                      "fresh journal has begun."),
    QT_TRANSLATE_NOOP(
        "Reasons",
        "Figures are not being kept: neither XDG_DATA_HOME nor HOME names a folder for them."),
    QT_TRANSLATE_NOOP(
        "Reasons",
        "Figures are not being kept: %1 was written by a newer stringart; it is left as it is."),
    QT_TRANSLATE_NOOP("Reasons", "Figures are not being kept: %1 cannot be written (%2)."),
    QT_TRANSLATE_NOOP("Reasons", "it holds another program's data"),
    QT_TRANSLATE_NOOP("Reasons", "unknown reason"),
    QT_TRANSLATE_NOOP("Reasons", "figure %1 of %2"),
    // Running other programs.
    QT_TRANSLATE_NOOP("Reasons", "no program to run"),
    QT_TRANSLATE_NOOP("Reasons", "%1 ended with status %2"),
    QT_TRANSLATE_NOOP("Reasons", "%1 was ended by signal %2"),
    // The screensaver's display.
    QT_TRANSLATE_NOOP("Reasons", "cannot open display %1"),
    QT_TRANSLATE_NOOP("Reasons", "cannot open a display: DISPLAY is not set"),
    QT_TRANSLATE_NOOP("Reasons", "cannot draw on window %1 (X error %2)"),
    QT_TRANSLATE_NOOP("Reasons", "there is no window %1 on this display"),
    QT_TRANSLATE_NOOP("Reasons", "the window's visual is not 24-bit true colour (depth %1)"),
    QT_TRANSLATE_NOOP("Reasons", "the X server closed the connection"),
    // The system's reasons, for where the C library speaks English.
    QT_TRANSLATE_NOOP("Reasons", "No such file or directory"),
    QT_TRANSLATE_NOOP("Reasons", "Permission denied"),
    QT_TRANSLATE_NOOP("Reasons", "Is a directory"),
    QT_TRANSLATE_NOOP("Reasons", "Not a directory"),
    QT_TRANSLATE_NOOP("Reasons", "No space left on device"),
    QT_TRANSLATE_NOOP("Reasons", "Read-only file system"),
    QT_TRANSLATE_NOOP("Reasons", "File name too long"),
    QT_TRANSLATE_NOOP("Reasons", "Disk quota exceeded"),
    QT_TRANSLATE_NOOP("Reasons", "Input/output error"),
};

constexpr std::size_t kMostPlaces = 9;
using Places = std::array<std::string_view, kMostPlaces>;

// Where the first place ("%1" to "%9") in `wording` is, or npos.
std::size_t FindPlace(std::string_view wording) {
  for (std::size_t at = wording.find('%'); at != std::string_view::npos;
       at = wording.find('%', at + 1)) {
    if (at + 1 < wording.size() && wording[at + 1] >= '1' && wording[at + 1] <= '9') return at;
  }
  return std::string_view::npos;
}

bool IsQuoted(std::string_view text) {
  return text.size() >= 2 && text.front() == '\'' && text.back() == '\'';
}

// Whether `text` is `wording` with its places filled, each as short as lets the rest match; a
// place that starts with a quote ends with one, so that a quoted name holding ": " stays whole.
bool Match(std::string_view text, std::string_view wording, Places& places) {
  const std::size_t at = FindPlace(wording);
  const std::string_view literal = wording.substr(0, at);
  if (!text.starts_with(literal)) return false;
  text.remove_prefix(literal.size());
  if (at == std::string_view::npos) return text.empty();
  const std::size_t n = static_cast<std::size_t>(wording[at + 1] - '1');
  const std::string_view rest = wording.substr(at + 2);
  // The place ends where the wording's next words begin: only there is a match worth trying.
  const std::string_view next = rest.substr(0, FindPlace(rest));
  for (std::size_t length = next.empty() ? 1 : text.find(next, 1);
       length != std::string_view::npos && length <= text.size();
       length = next.empty() ? length + 1 : text.find(next, length + 1)) {
    const std::string_view place = text.substr(0, length);
    if (place.front() == '\'' && !IsQuoted(place)) continue;
    places[n] = place;
    if (Match(text.substr(length), rest, places)) return true;
  }
  return false;
}

// "12.5" or "-0.25": digits on both sides of one point.
bool IsDecimal(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  const std::size_t point = text.find('.');
  if (point == 0 || point == std::string_view::npos || point + 1 == text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != point && (text[i] < '0' || text[i] > '9')) return false;
  }
  return true;
}

// A place that may be a reason of its own: neither a quoted name nor a number.
bool MayBeReason(std::string_view place) {
  return !IsQuoted(place) && !IsDecimal(place);
}

// How the catalogue reads one text: the wording it was made from and what fills its places.
struct Reading {
  const char* wording = nullptr;
  Places places;
  std::size_t explained = 0;  // the characters its wordings make, through every reason under it
};

// The reading that makes the most of `text` from the catalogue's words, through the reasons in
// its places: "--draws: draw 2 'x' is not a number" is "%1: %2" around "draw %1 %2 is not a
// number", not "%1 %2 is not a number" with "--draws:" and "draw 2 'x'" in its places.
Reading Read(std::string_view text) {
  Reading best;
  Places places;
  for (const char* wording : kWordings) {
    if (!Match(text, wording, places)) continue;
    std::size_t explained = 0;
    const std::string_view words = wording;
    for (std::size_t i = 0; i < words.size(); ++i) {
      if (words[i] != '%' || i + 1 == words.size() || words[i + 1] < '1' || words[i + 1] > '9') {
        ++explained;
        continue;
      }
      const std::string_view place = places[static_cast<std::size_t>(words[++i] - '1')];
      if (MayBeReason(place)) explained += Read(place).explained;
    }
    if (explained > best.explained) best = {wording, places, explained};
  }
  return best;
}

std::string Retold(std::string_view reason, const Translate& translate,
                   std::string_view decimalPoint) {
  const Reading reading = Read(reason);
  if (reading.wording == nullptr) return std::string(reason);
  // The places go in as they came, but a reason under a reason is translated in turn, and a
  // decimal number takes the locale's point.
  const std::string translated = translate(kReasonsContext, reading.wording);
  std::string text;
  for (std::size_t i = 0; i < translated.size(); ++i) {
    if (translated[i] != '%' || i + 1 == translated.size() || translated[i + 1] < '1' ||
        translated[i + 1] > '9') {
      text += translated[i];
      continue;
    }
    const std::string_view place = reading.places[static_cast<std::size_t>(translated[++i] - '1')];
    if (IsDecimal(place)) {
      const std::size_t point = place.find('.');
      ((text += place.substr(0, point)) += decimalPoint) += place.substr(point + 1);
    } else if (MayBeReason(place)) {
      text += Retold(place, translate, decimalPoint);
    } else {
      text += place;
    }
  }
  return text;
}

}  // namespace

std::string InLanguage(const std::string& reason, const Translate& translate,
                       std::string_view decimalPoint) {
  if (!translate || reason.empty()) return reason;
  return Retold(reason, translate, decimalPoint);
}

}  // namespace stringart
