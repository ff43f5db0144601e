#pragma once

#include <span>
#include <string_view>

namespace stringart {

// Every key of the gallery ("Figures"), in one table: its actions take their keys from it and
// the help window lists it beside the main window's.
enum class GalleryKey {
  Move,
  Show,
  Favourite,
  Note,
  Search,
  Remove,
  Undo,
  Redo,
  SavePicture,
  SaveFigures,
  OpenFigures,
  Morph,
  Menu,
  Close,
};

struct GalleryKeyRow {
  GalleryKey key;
  // The keys as Qt writes them portably, several parted by "; ": "Shift+F10; Menu".
  std::string_view keys;
  // What they do, in English; translated in the context kGalleryKeysContext.
  const char* does;
};

inline constexpr const char* kGalleryKeysContext = "GalleryKeys";

// The rows in the order they are listed.
std::span<const GalleryKeyRow> GalleryKeyTable();
// The keys of `key` in the table's spelling.
std::string_view KeysOf(GalleryKey key);

}  // namespace stringart
