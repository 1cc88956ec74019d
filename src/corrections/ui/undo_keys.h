// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include <QShortcut>
#include <QUndoStack>

// Ctrl+Z undoes and Ctrl+Y (or Ctrl+Shift+Z) redoes `stack`'s changes while the focus is
// inside `pane`. One shortcut a key: two for the same key would cancel each other.
inline void addUndoKeys(QWidget* pane, QUndoStack* stack) {
    const std::pair<const char*, void (QUndoStack::*)()> keys[] = {
        {"Ctrl+Z", &QUndoStack::undo},
        {"Ctrl+Y", &QUndoStack::redo},
        {"Ctrl+Shift+Z", &QUndoStack::redo},
    };
    for (const auto& [sequence, action] : keys) {
        auto* key = new QShortcut(QKeySequence(sequence), pane, nullptr, nullptr,
                                  Qt::WidgetWithChildrenShortcut);
        QObject::connect(key, &QShortcut::activated, stack, action);
    }
}
