// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

#include "corrections/ui/map_list.h"

// One change of the map list's content, undone and redone as a whole.
class CMapListCommand : public QUndoCommand {
  public:
    CMapListCommand(CMapList& list, CMapList::state_t before, CMapList::state_t after,
                    const QString& what)
        : QUndoCommand(what), list_(list), before_(std::move(before)), after_(std::move(after)) {}

    void undo() override { list_.showState(before_); }
    void redo() override { list_.showState(after_); }

  private:
    CMapList& list_;
    CMapList::state_t before_;
    CMapList::state_t after_;
};
