// A figure set as the wallpaper: the way chosen for each desktop, the commands each runs, and a
// real GNOME setting written through gsettings' file back end.
#include "export/Wallpaper.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "options/FigureCommand.h"
#include "runtime/RunProgram.h"
#include "tests/support/PngImage.h"
#include "tests/support/RenderRun.h"

namespace stringart {
namespace {

TEST(Wallpaper, EachDesktopGetsItsOwnWayAndAPlainX11SessionAProgram) {
  struct Case {
    const char* desktop;
    bool x11;
    std::set<std::string> installed;
    WallpaperWay way;
  };
  const std::set<std::string> all = {"gsettings", "plasma-apply-wallpaperimage", "xfconf-query",
                                     "xwallpaper", "feh"};
  const Case cases[] = {
      {"GNOME", false, all, WallpaperWay::Gnome},
      {"ubuntu:GNOME", true, all, WallpaperWay::Gnome},
      {"Budgie:GNOME", true, all, WallpaperWay::Gnome},
      {"KDE", true, all, WallpaperWay::Plasma},
      {"XFCE", true, all, WallpaperWay::Xfce},
      {"GNOME", true, {"feh"}, WallpaperWay::Feh},  // the desktop's program missing
      {"KDE", false, {"gsettings", "feh"}, WallpaperWay::None},
      {"i3", true, all, WallpaperWay::Xwallpaper},
      {"", true, {"feh"}, WallpaperWay::Feh},
      {"sway", false, all, WallpaperWay::None},  // Wayland with no desktop of ours
      {"GNOMEISH", true, {"gsettings"}, WallpaperWay::None},
  };
  for (const Case& c : cases) {
    const DesktopFacts facts{c.desktop, c.x11, [&c](std::string_view program) {
                               return c.installed.count(std::string(program)) > 0;
                             }};
    EXPECT_EQ(ChooseWallpaperWay(facts), c.way) << c.desktop << " x11 " << c.x11;
  }
}

TEST(Wallpaper, OnePictureDesktopsTakeTheLargestScreensAndTheOthersOneEach) {
  const std::vector<WallpaperScreen> screens = {{"HDMI-1", 1920, 1080}, {"DP-2", 3840, 2160}};
  const std::vector<std::string> files = {"/w/a b.png", "/w/c.png"};
  using Commands = std::vector<std::vector<std::string>>;
  const std::string background = "org.gnome.desktop.background";
  EXPECT_EQ(WallpaperCommands(WallpaperWay::Gnome, screens, files),
            (Commands{{"gsettings", "set", background, "picture-options", "zoom"},
                      {"gsettings", "set", background, "picture-uri", "file:///w/c.png"},
                      {"gsettings", "set", background, "picture-uri-dark", "file:///w/c.png"}}));
  EXPECT_EQ(WallpaperCommands(WallpaperWay::Plasma, screens, files),
            (Commands{{"plasma-apply-wallpaperimage", "/w/c.png"}}));
  EXPECT_EQ(WallpaperCommands(WallpaperWay::Xfce, screens, files)[1],
            (std::vector<std::string>{"xfconf-query", "-c", "xfce4-desktop", "-p",
                                      "/backdrop/screen0/monitorDP-2/workspace0/last-image", "-n",
                                      "-t", "string", "-s", "/w/c.png"}));
  EXPECT_EQ(WallpaperCommands(WallpaperWay::Xwallpaper, screens, files),
            (Commands{{"xwallpaper", "--output", "HDMI-1", "--zoom", "/w/a b.png", "--output",
                       "DP-2", "--zoom", "/w/c.png"}}));
  EXPECT_EQ(WallpaperCommands(WallpaperWay::Feh, screens, files),
            (Commands{{"feh", "--bg-fill", "/w/a b.png", "/w/c.png"}}));
  EXPECT_EQ(WallpaperCommands(WallpaperWay::Gnome, screens, {"/w/é.png"})[1][4],
            "file:///w/%C3%A9.png");
}

// GNOME's settings written to a key file in a folder of the test's own.
class GnomeWallpaper : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramInstalled("gsettings")) GTEST_SKIP() << "gsettings is not installed";
    char name[] = "/tmp/stringart-wallpaper-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    home_ = name;
    setenv("GSETTINGS_BACKEND", "keyfile", 1);
    setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
  }
  void TearDown() override {
    if (!home_.empty()) std::filesystem::remove_all(home_);
  }
  static FigureRecord Figure(const std::string& draws) {
    std::string unused;
    return {*ParseDraws(draws, unused), {1, 1, 1}, {}};
  }
  std::string home_;
};

TEST_F(GnomeWallpaper, IsSetAtEveryScreensSizeAndTheEarlierPicturesGo) {
  const std::string folder = home_ + "/wallpapers";
  const std::vector<WallpaperScreen> screens = {{"eDP-1", 800, 480}, {"HDMI-1", 1280, 720}};
  std::string written, error;
  const FigureRecord first = Figure(testing::kExample);
  ASSERT_EQ(SetWallpaper(first, WallpaperWay::Gnome, screens, folder, {}, written, error),
            ExportResult::Written)
      << error;
  // The small screen's picture is drawn no smaller than a large picture can be.
  EXPECT_EQ(written, WallpaperFile(folder, first, 833, 500));
  EXPECT_EQ(testing::ReadPng(written).width, 833);
  const std::string largest = WallpaperFile(folder, first, 1280, 720);
  EXPECT_EQ(testing::ReadPng(largest).height, 720);
  std::string error2;
  ASSERT_TRUE(RunProgram({"sh", "-c",
                          "test \"$(gsettings get org.gnome.desktop.background picture-uri)\" = "
                          "\"'file://" +
                              largest + "'\""},
                         error2))
      << error2;

  // A user's pictures in the folder, some named much like ours, are never ours to remove.
  const std::vector<std::string> users = {
      "figure-mine-1920x1080.png",         "figure-holiday x.png",
      "figure-0123456789ab-1920x1080.jpg", "figure-0123456789AB-1920x1080.png",
      "figure-0123456789a-1920x1080.png",  "figure-0123456789ab-1920x1080.png.png",
      "figure-0123456789ab-x1080.png",     "figure-0123456789ab-1920x1080 (copy).png"};
  for (const std::string& name : users) testing::WriteText(folder + "/" + name, "a user's");
  std::filesystem::create_directory(folder + "/figure-0123456789ab-1x1.png");
  const FigureRecord second = Figure("0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.5,0.25,0.5,0.75,0.125");
  ASSERT_EQ(SetWallpaper(second, WallpaperWay::Gnome, screens, folder, {}, written, error),
            ExportResult::Written)
      << error;
  EXPECT_FALSE(std::filesystem::exists(largest)) << "the first figure's pictures stay";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}),
            static_cast<std::ptrdiff_t>(users.size()) + 3);

  // A desktop whose program fails keeps what it showed, and says which program failed.
  const std::string path = getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  EXPECT_EQ(SetWallpaper(first, WallpaperWay::Plasma, screens, folder, {}, written, error),
            ExportResult::Failed);
  setenv("PATH", path.c_str(), 1);
  EXPECT_NE(error.find("plasma-apply-wallpaperimage"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::exists(WallpaperFile(folder, second, 1280, 720)));
}

}  // namespace
}  // namespace stringart
