#pragma once

#include <optional>
#include <string>
#include <vector>

#include "figure/FigureRecord.h"
#include "text/Translatable.h"

namespace stringart {

// The command line of the window program stringart, checked before any display is needed.
struct WindowOptions {
  std::vector<std::string> files;      // figure files to open, in order; the first is shown
  std::optional<FigureRecord> figure;  // the figure of --draws and --directions
  int slideshowSeconds = 0;            // --slideshow: a new figure that often; 0 without it
  std::string import;                  // --import: a figures file to add to the journal
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. --import stands alone, as --help does. The toolkit's
// own options (-platform NAME, -display NAME, -style NAME and the like) are passed over: the
// toolkit reads them itself. Returns nullopt with `error` set to one line naming the problem.
std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args,
                                                std::string& error);

// Where the texts of --help are marked for translation.
inline constexpr const char* kWindowOptionsContext = "WindowOptions";
// How to start the program and its options, as --help and the help window tell them.
std::string WindowOptionsHelp(const Translate& translate = {});
// The text of --help: the options, then the window's keys.
std::string WindowUsage(const Translate& translate = {});

}  // namespace stringart
