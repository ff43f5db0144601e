#include "options/WindowKeys.h"

#include <algorithm>
#include <utility>

namespace stringart {
namespace {

constexpr WindowKeyRow kRows[] = {
    {WindowKey::New, "Ctrl+N; F5", QT_TRANSLATE_NOOP("WindowKeys", "trace a new figure")},
    {WindowKey::Back, "Alt+Left; Back", QT_TRANSLATE_NOOP("WindowKeys", "the figure before")},
    {WindowKey::Forward, "Alt+Right; Forward", QT_TRANSLATE_NOOP("WindowKeys", "the figure after")},
    {WindowKey::Favourite, "Ctrl+D",
     QT_TRANSLATE_NOOP("WindowKeys", "mark the figure as a favourite, or no longer")},
    {WindowKey::Gallery, "Ctrl+H",
     QT_TRANSLATE_NOOP("WindowKeys", "the gallery of the figures shown and the favourites")},
    {WindowKey::Variations, "Ctrl+E", QT_TRANSLATE_NOOP("WindowKeys", "variations of the figure")},
    {WindowKey::Adjust, "Ctrl+J", QT_TRANSLATE_NOOP("WindowKeys", "adjust the figure's draws")},
    {WindowKey::Save, "Ctrl+S", QT_TRANSLATE_NOOP("WindowKeys", "save the picture (PNG or SVG)")},
    {WindowKey::Open, "Ctrl+O", QT_TRANSLATE_NOOP("WindowKeys", "open the figure a file carries")},
    {WindowKey::SaveLarge, "Ctrl+Shift+S", QT_TRANSLATE_NOOP("WindowKeys", "save a large picture")},
    {WindowKey::SaveAnimation, "Ctrl+Shift+A",
     QT_TRANSLATE_NOOP("WindowKeys", "save an animation of the figure being traced")},
    {WindowKey::SavePaper, "Ctrl+Shift+P",
     QT_TRANSLATE_NOOP("WindowKeys", "save for paper: a plotter's or a printer's file")},
    {WindowKey::Print, "Ctrl+P", QT_TRANSLATE_NOOP("WindowKeys", "print the figure")},
    {WindowKey::CopyPicture, "Ctrl+C; Ctrl+Ins",
     QT_TRANSLATE_NOOP("WindowKeys", "copy the picture")},
    {WindowKey::CopyCommand, "Ctrl+Shift+C",
     QT_TRANSLATE_NOOP("WindowKeys", "copy the stringart-render command that makes the figure")},
    {WindowKey::Wallpaper, "Ctrl+Shift+W",
     QT_TRANSLATE_NOOP("WindowKeys", "set the figure as the desktop's wallpaper")},
    {WindowKey::FullScreen, "F11",
     QT_TRANSLATE_NOOP("WindowKeys", "the figure on the full screen")},
    {WindowKey::Slideshow, "Shift+F11",
     QT_TRANSLATE_NOOP("WindowKeys", "a slideshow of new figures on the full screen")},
    {WindowKey::Menu, "Shift+F10; Menu", QT_TRANSLATE_NOOP("WindowKeys", "the menu")},
    {WindowKey::Help, "F1", QT_TRANSLATE_NOOP("WindowKeys", "these keys and the options")},
    {WindowKey::Quit, "Ctrl+Q; Ctrl+W", QT_TRANSLATE_NOOP("WindowKeys", "quit")},
};

}  // namespace

std::span<const WindowKeyRow> WindowKeyTable() {
  return kRows;
}

std::string_view KeysOf(WindowKey key) {
  return KeysIn(WindowKeyTable(), key);
}

namespace {

// The parts of `text` between `separator`s, each handed to `take`.
template <typename Take>
void Split(std::string_view text, std::string_view separator, Take take) {
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    take(text.substr(start, end - start));
    if (end == std::string_view::npos) return;
    start = end + separator.size();
  }
}

// How many characters the UTF-8 `text` shows: its bytes but those that go on a character.
std::size_t Shown(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string ReadableKeys(std::string_view keys, const Translate& translate) {
  std::string readable;
  Split(keys, "; ", [&](std::string_view sequence) {
    if (!readable.empty()) readable += ", ";
    bool first = true;
    Split(sequence, "+", [&](std::string_view part) {
      if (!std::exchange(first, false)) readable += '+';
      // Qt's own names of keys, which the menus show: "Strg", "Links".
      readable += Translated(translate, "QShortcut", std::string(part).c_str());
    });
  });
  return readable;
}

std::string WindowKeysHelp(const Translate& translate) {
  std::size_t column = 0;  // where what the keys do starts: two spaces after the longest keys
  for (const WindowKeyRow& row : kRows) {
    column = std::max(column, Shown(ReadableKeys(row.keys, translate)));
  }
  std::string help = Translated(translate, kWindowKeysContext,
                                QT_TRANSLATE_NOOP("WindowKeys", "Keys in the window:")) +
                     '\n';
  for (const WindowKeyRow& row : kRows) {
    std::string keys = ReadableKeys(row.keys, translate);
    keys.append(column + 2 - Shown(keys), ' ');
    help += "  " + keys + Translated(translate, kWindowKeysContext, row.does) + '\n';
  }
  return help;
}

}  // namespace stringart
