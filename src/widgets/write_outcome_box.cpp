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

write_outcome_t CWriteOutcomeBox::runTransfer(QWidget* owner, const transfer_t& transfer) {
    write_outcome_t outcome = transfer.write();
    while (!outcome && !outcome.refused()) {
        const bool switchOff =
            outcome.status == write_outcome_t::Status::NotSwitchedOn && transfer.switchOn;
        if (outcome.portLost || !transfer.portOpen || !transfer.portOpen()) {
            show(owner, outcome);
            return outcome;
        }
        const QString question = switchOff ? transfer.switchOnQuestion : transfer.againQuestion;
        if (CMessageBox::show(owner, QString::fromStdString(outcome.problem) + "\n\n" + question,
                              CMessageBox::Icon::Error,
                              CMessageBox::Buttons::YesNo) != CMessageBox::Answer::Yes) {
            return outcome;
        }
        outcome = switchOff ? transfer.switchOn() : transfer.write();
    }
    show(owner, outcome);
    return outcome;
}
