#pragma once

#include <span>
#include <string_view>

namespace stringart {

// A row of a table of keys, which a window's actions take their keys from and the help lists.
template <typename Key>
struct KeyRow {
  Key key;
  // The keys as Qt writes them portably, several parted by "; ": "Ctrl+N; F5".
  std::string_view keys;
  // What they do, in English; translated in the table's context.
  const char* does;
};

// The keys of `key` in `table`'s spelling; empty where it has none.
template <typename Key>
std::string_view KeysIn(std::span<const KeyRow<Key>> table, Key key) {
  for (const KeyRow<Key>& row : table) {
    if (row.key == key) return row.keys;
  }
  return {};
}

}  // namespace stringart
