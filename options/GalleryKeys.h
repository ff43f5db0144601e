#pragma once

#include <span>
#include <string_view>

#include "options/KeyTable.h"

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

using GalleryKeyRow = KeyRow<GalleryKey>;

inline constexpr const char* kGalleryKeysContext = "GalleryKeys";

// The rows in the order they are listed.
std::span<const GalleryKeyRow> GalleryKeyTable();
// The keys of `key` in the table's spelling.
std::string_view KeysOf(GalleryKey key);

}  // namespace stringart
