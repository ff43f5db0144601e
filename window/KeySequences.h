#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include "options/GalleryKeys.h"
#include "options/WindowKeys.h"

namespace stringart {

// The keys of `keys` (the table's spelling), as Qt's actions take them.
inline QList<QKeySequence> KeySequences(std::string_view keys) {
  return QKeySequence::listFromString(
      QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size())),
      QKeySequence::PortableText);
}

// The keys the window's table gives `key`.
inline QList<QKeySequence> KeySequences(WindowKey key) {
  return KeySequences(KeysOf(key));
}

// The keys the gallery's table gives `key`, with the desktop's own for the same command (Undo's
// Alt+Backspace, say): the gallery's actions take them, and the help lists them.
inline QList<QKeySequence> KeySequences(GalleryKey key) {
  QList<QKeySequence> keys = KeySequences(KeysOf(key));
  QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
  switch (key) {
    case GalleryKey::Remove: standard = QKeySequence::Delete; break;
    case GalleryKey::Undo: standard = QKeySequence::Undo; break;
    case GalleryKey::Redo: standard = QKeySequence::Redo; break;
    case GalleryKey::Search: standard = QKeySequence::Find; break;
    case GalleryKey::OpenFigures: standard = QKeySequence::Open; break;
    case GalleryKey::Close: standard = QKeySequence::Close; break;
    default: break;
  }
  for (const QKeySequence& own : QKeySequence::keyBindings(standard)) {
    if (!keys.contains(own)) keys << own;
  }
  return keys;
}

// `keys` as this desktop writes them, in the person's language: "Strg+N, F5".
inline QString NativeKeys(const QList<QKeySequence>& keys) {
  QStringList native;
  for (const QKeySequence& sequence : keys) native << sequence.toString(QKeySequence::NativeText);
  return native.join(QStringLiteral(", "));
}

// The keys of `keys` (the table's spelling) as this desktop writes them, in the person's
// language: "Strg+N, F5".
inline QString NativeKeys(std::string_view keys) {
  return NativeKeys(KeySequences(keys));
}

}  // namespace stringart
