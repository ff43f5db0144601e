#include "export/Wallpaper.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "figure/FigureHistory.h"
#include "formats/LargePng.h"
#include "options/ExportRequest.h"
#include "runtime/RunProgram.h"

namespace stringart {
namespace {

// Whether XDG_CURRENT_DESKTOP's list names one of `names`.
bool Names(std::string_view list, std::initializer_list<std::string_view> names) {
  while (!list.empty()) {
    const std::size_t colon = list.find(':');
    const std::string_view one = list.substr(0, colon);
    if (std::find(names.begin(), names.end(), one) != names.end()) return true;
    if (colon == std::string_view::npos) break;
    list.remove_prefix(colon + 1);
  }
  return false;
}

std::string FileUri(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

// A size the large picture can be drawn at that fills the screen: a small screen's enlarged
// until its shorter side is the smallest picture's, a huge one's reduced to the largest.
FrameSize DrawnSize(const WallpaperScreen& screen) {
  double w = std::max(screen.width, 1), h = std::max(screen.height, 1);
  const double grow = std::max(1.0, kMinSide / std::min(w, h));
  const double shrink = std::min(1.0, kMaxSide / (std::max(w, h) * grow));
  const auto side = [&](double s) {
    return std::clamp(static_cast<int>(s * grow * shrink + 0.5), kMinSide, kMaxSide);
  };
  return {side(w), side(h)};
}

void RemoveFiles(const std::vector<std::string>& files) {
  std::error_code ignored;
  for (const std::string& file : files) std::filesystem::remove(file, ignored);
}

// Whether `name` is one WallpaperFile gives: "figure-", the figure's twelve lowercase hex digits,
// "-", W "x" H in plain decimal, ".png". A user may keep pictures of their own in the folder,
// named much like ours ("figure-mine-1920x1080.png"); only this exact form is ours to remove.
bool IsWallpaperName(std::string_view name) {
  constexpr std::string_view kStart = "figure-", kEnd = ".png";
  constexpr std::size_t kDigits = 12;
  if (!name.starts_with(kStart) || !name.ends_with(kEnd)) return false;
  name.remove_prefix(kStart.size());
  name.remove_suffix(kEnd.size());
  const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  if (name.size() <= kDigits || !std::all_of(name.begin(), name.begin() + kDigits, hex) ||
      name[kDigits] != '-') {
    return false;
  }
  name.remove_prefix(kDigits + 1);
  // A side is what std::to_string writes: digits, no leading zero, at most five of them.
  const auto side = [](std::string_view digits) {
    return !digits.empty() && digits.size() <= 5 && digits[0] != '0' &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  const std::size_t x = name.find('x');
  return x != std::string_view::npos && side(name.substr(0, x)) && side(name.substr(x + 1));
}

// Our earlier wallpapers in `folder`, all but `keep`: the desktop shows only the new ones now.
void RemoveEarlier(const std::string& folder, const std::vector<std::string>& keep) {
  std::error_code error;
  std::vector<std::string> earlier;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::error_code kind;
    // Only regular files: a folder or a link of that name is not a picture we drew.
    const bool ours = IsWallpaperName(entry.path().filename().string()) &&
                      entry.symlink_status(kind).type() == std::filesystem::file_type::regular;
    const std::string path = entry.path().string();
    if (ours && std::find(keep.begin(), keep.end(), path) == keep.end()) earlier.push_back(path);
  }
  RemoveFiles(earlier);
}

}  // namespace

DesktopFacts SessionFacts() {
  DesktopFacts facts;
  if (const char* desktop = std::getenv("XDG_CURRENT_DESKTOP")) facts.currentDesktop = desktop;
  const char* display = std::getenv("DISPLAY");
  facts.x11 = display != nullptr && *display != '\0';
  facts.installed = ProgramInstalled;
  return facts;
}

WallpaperWay ChooseWallpaperWay(const DesktopFacts& facts) {
  const auto has = [&facts](std::string_view program) {
    return facts.installed && facts.installed(program);
  };
  const std::string_view desktop = facts.currentDesktop;
  if (Names(desktop,
            {"GNOME", "Unity", "Budgie", "Pantheon", "GNOME-Flashback", "GNOME-Classic"}) &&
      has("gsettings")) {
    return WallpaperWay::Gnome;
  }
  if (Names(desktop, {"KDE"}) && has("plasma-apply-wallpaperimage")) return WallpaperWay::Plasma;
  if (Names(desktop, {"XFCE"}) && has("xfconf-query")) return WallpaperWay::Xfce;
  if (facts.x11 && has("xwallpaper")) return WallpaperWay::Xwallpaper;
  if (facts.x11 && has("feh")) return WallpaperWay::Feh;
  return WallpaperWay::None;
}

std::string WallpaperWayName(WallpaperWay way) {
  switch (way) {
    case WallpaperWay::Gnome: return "GNOME";
    case WallpaperWay::Plasma: return "KDE Plasma";
    case WallpaperWay::Xfce: return "Xfce";
    case WallpaperWay::Xwallpaper: return "xwallpaper";
    case WallpaperWay::Feh: return "feh";
    case WallpaperWay::None: break;
  }
  return {};
}

std::vector<std::vector<std::string>> WallpaperCommands(WallpaperWay way,
                                                        const std::vector<WallpaperScreen>& screens,
                                                        const std::vector<std::string>& files) {
  if (files.empty() || screens.size() < files.size()) return {};
  std::size_t largest = 0;
  for (std::size_t i = 1; i < files.size(); ++i) {
    const auto area = [&](std::size_t k) {
      return static_cast<long long>(screens[k].width) * screens[k].height;
    };
    if (area(i) > area(largest)) largest = i;
  }
  const std::string& one = files[largest];
  const std::string schema = "org.gnome.desktop.background";
  switch (way) {
    case WallpaperWay::Gnome:
      // The dark style has a picture of its own since GNOME 42; both show the figure.
      return {{"gsettings", "set", schema, "picture-options", "zoom"},
              {"gsettings", "set", schema, "picture-uri", FileUri(one)},
              {"gsettings", "set", schema, "picture-uri-dark", FileUri(one)}};
    case WallpaperWay::Plasma: return {{"plasma-apply-wallpaperimage", one}};
    case WallpaperWay::Xfce: {
      std::vector<std::vector<std::string>> commands;
      for (std::size_t i = 0; i < files.size(); ++i) {
        commands.push_back(
            {"xfconf-query", "-c", "xfce4-desktop", "-p",
             "/backdrop/screen0/monitor" + screens[i].name + "/workspace0/last-image", "-n", "-t",
             "string", "-s", files[i]});
      }
      return commands;
    }
    case WallpaperWay::Xwallpaper: {
      std::vector<std::string> command{"xwallpaper"};
      for (std::size_t i = 0; i < files.size(); ++i) {
        command.insert(command.end(), {"--output", screens[i].name, "--zoom", files[i]});
      }
      return {command};
    }
    case WallpaperWay::Feh: {
      // feh gives the pictures to the screens in X's order, which is the order given here.
      std::vector<std::string> command{"feh", "--bg-fill"};
      command.insert(command.end(), files.begin(), files.end());
      return {command};
    }
    case WallpaperWay::None: break;
  }
  return {};
}

std::string WallpaperFile(const std::string& folder, const FigureRecord& figure, int width,
                          int height) {
  return folder + "/figure-" + FigureName(figure) + "-" + std::to_string(width) + "x" +
         std::to_string(height) + ".png";
}

ExportResult SetWallpaper(const FigureRecord& figure, WallpaperWay way,
                          const std::vector<WallpaperScreen>& screens, const std::string& folder,
                          const ExportProgress& progress, std::string& written,
                          std::string& error) {
  if (screens.empty()) {
    error = "there is no screen to set a wallpaper on";
    return ExportResult::Failed;
  }
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made) {
    error = "cannot make the folder " + folder + ": " + made.message();
    return ExportResult::Failed;
  }
  std::vector<std::string> files, drawn;
  for (const WallpaperScreen& screen : screens) {
    const FrameSize size = DrawnSize(screen);
    files.push_back(WallpaperFile(folder, figure, size.width, size.height));
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    // A file of the same name holds the same figure at the same size: two screens alike, or
    // the wallpaper set again.
    if (std::filesystem::exists(files[i], made) ||
        std::find(drawn.begin(), drawn.end(), files[i]) != drawn.end()) {
      continue;
    }
    const FrameSize size = DrawnSize(screens[i]);
    auto request = ExportRequest::Make(files[i], size, 0, 0, std::nullopt, error);
    const double from = static_cast<double>(i) / files.size(), share = 1.0 / files.size();
    const ExportResult result =
        request
            ? SaveLargePicture(
                  figure, *request,
                  [&](double done) { return !progress || progress(from + share * done * 0.95); },
                  error)
            : ExportResult::Failed;
    if (result != ExportResult::Written) {
      RemoveFiles(drawn);
      return result;
    }
    drawn.push_back(files[i]);
  }
  for (const std::vector<std::string>& command : WallpaperCommands(way, screens, files)) {
    if (RunProgram(command, error)) continue;
    // GNOME before 42 has no picture for the dark style; the others have been set.
    if (way == WallpaperWay::Gnome && command[3] == "picture-uri-dark") continue;
    // What was set before the failure may show the new files: they stay until the next.
    return ExportResult::Failed;
  }
  error.clear();
  if (way != WallpaperWay::None) RemoveEarlier(folder, files);
  written = files.front();
  return ExportResult::Written;
}

}  // namespace stringart
