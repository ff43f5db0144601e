#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>
#include <type_traits>

namespace stringart {

// An action added to `on`, so that its `keys` work where `context` says (by default anywhere in
// `on`'s window), not only from a menu that shows it.
inline QAction* AddAction(QWidget* on, const QString& text, const QList<QKeySequence>& keys,
                          Qt::ShortcutContext context = Qt::WindowShortcut) {
  auto* action = new QAction(text, on);
  action->setShortcuts(keys);
  action->setShortcutContext(context);
  on->addAction(action);
  return action;
}

// The same, doing `slot` on `on` when triggered.
template <class On, class Slot>
requires(!std::is_same_v<Slot, Qt::ShortcutContext>) QAction* AddAction(
    On* on, const QString& text, const QList<QKeySequence>& keys, Slot slot) {
  QAction* action = AddAction(static_cast<QWidget*>(on), text, keys);
  QObject::connect(action, &QAction::triggered, on, slot);
  return action;
}

}  // namespace stringart
