#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include "text/WindowKeys.h"

namespace stringart {

// The keys the window's table gives `key`, as Qt's actions take them.
inline QList<QKeySequence> KeySequences(WindowKey key) {
  const std::string_view keys = KeysOf(key);
  return QKeySequence::listFromString(
      QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size())),
      QKeySequence::PortableText);
}

// The keys of `keys` (the table's spelling) as this desktop writes them, in the person's
// language: "Strg+N, F5".
inline QString NativeKeys(std::string_view keys) {
  QStringList native;
  for (const QKeySequence& sequence : QKeySequence::listFromString(
           QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size())),
           QKeySequence::PortableText)) {
    native << sequence.toString(QKeySequence::NativeText);
  }
  return native.join(QStringLiteral(", "));
}

}  // namespace stringart
