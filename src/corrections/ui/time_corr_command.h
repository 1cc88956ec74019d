// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>

#include "corrections/ui/time_corr_view.h"

// One change of the time-correction table on screen, undone and redone as a whole.
// Steps of the same column's spin in a row make one change.
class CTimeCorrCommand : public QUndoCommand {
  public:
    CTimeCorrCommand(CTimeCorrView& view, const CTimeCorrView::state_t& before,
                     const CTimeCorrView::state_t& after, const QString& what, int mergeId)
        : QUndoCommand(what), view_(view), before_(before), after_(after), mergeId_(mergeId) {}

    void undo() override { view_.showState(before_); }
    void redo() override { view_.showState(after_); }
    int id() const override { return mergeId_; }
    bool mergeWith(const QUndoCommand* other) override {
        after_ = static_cast<const CTimeCorrCommand*>(other)->after_;
        return true;
    }

  private:
    CTimeCorrView& view_;
    CTimeCorrView::state_t before_;
    CTimeCorrView::state_t after_;
    int mergeId_;
};
