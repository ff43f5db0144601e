#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/FigureFiles.h"
#include "figure/FigureRecord.h"
#include "formats/ExportProgress.h"

namespace stringart {

// How this desktop has its wallpaper set: by its own settings (GNOME and those built on it, KDE
// Plasma, Xfce) or, on a plain X11 session, by xwallpaper or feh.
enum class WallpaperWay { Gnome, Plasma, Xfce, Xwallpaper, Feh, None };

// What the session says of itself.
struct DesktopFacts {
  std::string currentDesktop;  // XDG_CURRENT_DESKTOP: names separated by ':'
  bool x11 = false;            // a DISPLAY to set the root window's picture on
  std::function<bool(std::string_view program)> installed;
};

// The facts of this process's session: its environment and the PATH.
DesktopFacts SessionFacts();

// The way for `facts`: the desktop's own first, its setting program installed; xwallpaper or
// feh under X11 otherwise.
WallpaperWay ChooseWallpaperWay(const DesktopFacts& facts);

// "GNOME", "KDE Plasma", "Xfce", "xwallpaper", "feh"; empty for None.
std::string WallpaperWayName(WallpaperWay way);

// The commands that set `files[i]` (absolute paths) on `screens[i]` (in X's order), run one
// after the other. Desktops that take one picture for all screens get the largest screen's.
std::vector<std::vector<std::string>> WallpaperCommands(WallpaperWay way,
                                                        const std::vector<WallpaperScreen>& screens,
                                                        const std::vector<std::string>& files);

// The wallpaper's file for a screen of `width` × `height` in `folder`:
// "<folder>/figure-<name>-<W>x<H>.png".
std::string WallpaperFile(const std::string& folder, const FigureRecord& figure, int width,
                          int height);

// Draws `figure` anti-aliased at the size of each screen (in X's order) into
// `folder`, made when missing, and sets them by `way`: with None they are only drawn. Earlier
// wallpapers of ours in `folder` are removed once the new ones are set. `written` gets the
// first file. A failure sets `error` to one line, and leaves the wallpaper as it was.
ExportResult SetWallpaper(const FigureRecord& figure, WallpaperWay way,
                          const std::vector<WallpaperScreen>& screens, const std::string& folder,
                          const ExportProgress& progress, std::string& written, std::string& error);

}  // namespace stringart
