#pragma once

#include <optional>
#include <string>
#include <vector>

namespace stringart {

// Where stringart-saver draws.
enum class SaverTarget {
  OwnWindow,  // a window of its own (xscreensaver's -window), unless XSCREENSAVER_WINDOW names one
  Root,       // -root: the window XSCREENSAVER_WINDOW names, else the root window
  WindowId,   // -window-id ID
};

// The command line of stringart-saver, checked.
struct SaverOptions {
  SaverTarget target = SaverTarget::OwnWindow;
  unsigned long windowId = 0;  // for WindowId
  int delay = 10;              // seconds a finished figure stays before the next one starts
  bool help = false;
  bool version = false;
};

inline constexpr int kMaxSaverDelay = 3600;  // seconds

// Parses the arguments after the program name, in xscreensaver's spelling (-root, -window-id ID,
// -delay N) or with two dashes. A window id wins over -root, and -root over -window. Returns
// nullopt with `error` set to one line naming the problem.
std::optional<SaverOptions> ParseSaverOptions(const std::vector<std::string>& args,
                                              std::string& error);

// The text of --help.
std::string SaverUsage();

}  // namespace stringart
