// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/write_outcome_box.h"

#include "widgets/message_box.h"

bool CWriteOutcomeBox::show(QWidget* owner, const write_outcome_t& outcome) {
    if (!outcome.tells()) {
        return false;
    }
    CMessageBox::show(owner, QString::fromStdString(outcome.problem), outcome.icon());
    return true;
}
