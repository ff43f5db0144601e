#include "options/GalleryKeys.h"

#include "text/Translatable.h"

namespace stringart {
namespace {

constexpr GalleryKeyRow kRows[] = {
    {GalleryKey::Move, "Left; Right; Up; Down; Home; End",
     QT_TRANSLATE_NOOP("GalleryKeys",
                       "move; with Ctrl or Shift, or a click with them, select more")},
    {GalleryKey::Show, "Return; Enter",
     QT_TRANSLATE_NOOP("GalleryKeys", "show the figure in the main window (a double click too)")},
    {GalleryKey::Favourite, "Ctrl+D",
     QT_TRANSLATE_NOOP("GalleryKeys",
                       "mark or unmark the selected figures (a click on the star too)")},
    {GalleryKey::Note, "F2",
     QT_TRANSLATE_NOOP("GalleryKeys", "write the figure's note; Enter keeps it, Esc leaves it")},
    {GalleryKey::Search, "Ctrl+F",
     QT_TRANSLATE_NOOP("GalleryKeys", "search the notes; Esc clears the search")},
    {GalleryKey::Remove, "Del",
     QT_TRANSLATE_NOOP("GalleryKeys", "take the selected figures out of the gallery")},
    {GalleryKey::Undo, "Ctrl+Z",
     QT_TRANSLATE_NOOP("GalleryKeys", "undo the last removal, marking or note")},
    {GalleryKey::Redo, "Ctrl+Shift+Z; Ctrl+Y",
     QT_TRANSLATE_NOOP("GalleryKeys", "redo what was undone")},
    {GalleryKey::SavePicture, "Ctrl+S", QT_TRANSLATE_NOOP("GalleryKeys", "save the picture")},
    {GalleryKey::SaveFigures, "Ctrl+Shift+S",
     QT_TRANSLATE_NOOP("GalleryKeys",
                       "save the selected figures, or all favourites, as a figures file")},
    {GalleryKey::OpenFigures, "Ctrl+O",
     QT_TRANSLATE_NOOP("GalleryKeys", "open a figures file: its figures join the journal")},
    {GalleryKey::Morph, "Ctrl+M",
     QT_TRANSLATE_NOOP("GalleryKeys", "save the morph between the two selected figures")},
    {GalleryKey::Menu, "Shift+F10; Menu", QT_TRANSLATE_NOOP("GalleryKeys", "the menu")},
    {GalleryKey::Close, "Esc; Ctrl+W", QT_TRANSLATE_NOOP("GalleryKeys", "close the gallery")},
};

}  // namespace

std::span<const GalleryKeyRow> GalleryKeyTable() {
  return kRows;
}

std::string_view KeysOf(GalleryKey key) {
  return KeysIn(GalleryKeyTable(), key);
}

}  // namespace stringart
