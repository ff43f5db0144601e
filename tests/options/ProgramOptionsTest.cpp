// The screensaver's command line in xscreensaver's spellings, and the window's --slideshow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/SaverOptions.h"
#include "options/WindowOptions.h"

namespace stringart {
namespace {

std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& a : args) text += " " + a;
  return text;
}

TEST(SaverOptions, TakeXscreensaverSpellingsAndRefuseBadValues) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    SaverTarget target;
    unsigned long windowId;
    int delay;
  };
  const Case cases[] = {
      {{}, true, SaverTarget::OwnWindow, 0, 10},
      {{"-root"}, true, SaverTarget::Root, 0, 10},
      {{"--root", "--delay", "0"}, true, SaverTarget::Root, 0, 0},
      {{"-window-id", "0x2a00007", "-delay", "3600"}, true, SaverTarget::WindowId, 0x2a00007, 3600},
      {{"--window-id", "44040199"}, true, SaverTarget::WindowId, 44040199, 10},
      {{"-window-id", "0"}, false, {}, 0, 0},
      {{"-window-id", "0x"}, false, {}, 0, 0},
      {{"-window-id", "12ab"}, false, {}, 0, 0},
      {{"-window-id"}, false, {}, 0, 0},
      {{"--delay", "-1"}, false, {}, 0, 0},
      {{"--delay", "3601"}, false, {}, 0, 0},
      {{"--delay", "5s"}, false, {}, 0, 0},
      {{"---root"}, false, {}, 0, 0},
      {{"-fps"}, false, {}, 0, 0},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto options = ParseSaverOptions(c.args, error);
    ASSERT_EQ(options.has_value(), c.ok) << "stringart-saver" << Joined(c.args) << ": " << error;
    if (!c.ok) {
      EXPECT_FALSE(error.empty()) << Joined(c.args);
      continue;
    }
    EXPECT_EQ(options->target, c.target) << Joined(c.args);
    EXPECT_EQ(options->windowId, c.windowId) << Joined(c.args);
    EXPECT_EQ(options->delay, c.delay) << Joined(c.args);
  }
}

TEST(SlideshowOption, TakesTheWordAfterItAsItsSecondsUnlessAnOptionFollows) {
  struct Case {
    std::vector<std::string> args;
    int seconds;                     // -1: refused
    std::vector<std::string> files;  // what is opened
  };
  const Case cases[] = {
      {{}, 0, {}},
      {{"figure.png"}, 0, {"figure.png"}},
      {{"--slideshow"}, 10, {}},
      {{"--slideshow", "3"}, 3, {}},
      {{"figure.png", "--slideshow"}, 10, {"figure.png"}},
      {{"--slideshow", "--draws=0,0,0,0,0,0,0,0,0,0,0,0"}, 10, {}},
      {{"--slideshow", "abc"}, -1, {}},
      {{"--slideshow", "figure.png"}, -1, {}},
      {{"-platform", "xcb", "--slideshow=86400", "a.svg"}, 86400, {"a.svg"}},
      {{"--slideshow", "0"}, -1, {}},
      {{"--slideshow", "2.5"}, -1, {}},
      {{"--slideshow=86401"}, -1, {}},
      {{"--slideshow="}, -1, {}},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto options = ParseWindowOptions(c.args, error);
    ASSERT_EQ(options ? options->slideshowSeconds : -1, c.seconds)
        << "stringart" << Joined(c.args) << ": " << error;
    if (!options) {
      EXPECT_FALSE(error.empty()) << Joined(c.args);
      continue;
    }
    EXPECT_EQ(options->files, c.files) << "stringart" << Joined(c.args);
  }
}

}  // namespace
}  // namespace stringart
