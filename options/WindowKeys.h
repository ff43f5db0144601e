#pragma once

#include <span>
#include <string>
#include <string_view>

#include "options/KeyTable.h"
#include "text/Translatable.h"

namespace stringart {

// Every key of the window, in one table: the window's actions take their keys from it, and
// stringart --help and the help window list it, so that what is told is what works.
enum class WindowKey {
  New,
  Back,
  Forward,
  Favourite,
  Gallery,
  Variations,
  Adjust,
  Save,
  Open,
  SaveLarge,
  SaveAnimation,
  SavePaper,
  Print,
  CopyPicture,
  CopyCommand,
  Wallpaper,
  FullScreen,
  Slideshow,
  Menu,
  Help,
  Quit,
};

using WindowKeyRow = KeyRow<WindowKey>;

inline constexpr const char* kWindowKeysContext = "WindowKeys";

// The rows in the order they are listed.
std::span<const WindowKeyRow> WindowKeyTable();
// The keys of `key` in the table's spelling.
std::string_view KeysOf(WindowKey key);
// The keys of a row as a person reads them: "Ctrl+N, F5", or with the names `translate` gives
// them in Qt's context "QShortcut", as the menus name them ("Strg+N, F5").
std::string ReadableKeys(std::string_view keys, const Translate& translate = {});
// "Keys in the window:" and a line for each row, the keys in a column of their own.
std::string WindowKeysHelp(const Translate& translate = {});

}  // namespace stringart
