#include "text/WindowKeys.h"

#include <algorithm>

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
    {WindowKey::SavePaper, "Ctrl+P",
     QT_TRANSLATE_NOOP("WindowKeys", "save for paper: a plotter's or a printer's file")},
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
  // std::find_if rather than std::ranges::find, which emscripten's libc++ lacks: the page's
  // build compiles this library too.
  const auto row = std::find_if(std::begin(kRows), std::end(kRows),
                                [key](const WindowKeyRow& r) { return r.key == key; });
  return row != std::end(kRows) ? row->keys : std::string_view();
}

std::string ReadableKeys(std::string_view keys) {
  std::string readable;
  for (std::size_t start = 0;;) {
    const std::size_t end = keys.find("; ", start);
    if (!readable.empty()) readable += ", ";
    readable += keys.substr(start, end - start);
    if (end == std::string_view::npos) return readable;
    start = end + 2;
  }
}

std::string WindowKeysHelp(const Translate& translate) {
  std::size_t column = 0;  // where what the keys do starts: two spaces after the longest keys
  for (const WindowKeyRow& row : kRows) column = std::max(column, ReadableKeys(row.keys).size());
  std::string help = Translated(translate, kWindowKeysContext,
                                QT_TRANSLATE_NOOP("WindowKeys", "Keys in the window:")) +
                     '\n';
  for (const WindowKeyRow& row : kRows) {
    std::string keys = ReadableKeys(row.keys);
    keys.resize(column + 2, ' ');
    help += "  " + keys + Translated(translate, kWindowKeysContext, row.does) + '\n';
  }
  return help;
}

}  // namespace stringart
