// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

#include "writes/write_outcome.h"

class QWidget;

// How every window tells what a write's procedure found: a refusal, a file that could not
// be written, a transfer that ended part-way. The write said it in its outcome; the window
// only shows it, with the outcome's severity.
class CWriteOutcomeBox {
  public:
    using Write = std::function<write_outcome_t()>;

    // Shows the outcome's problem, if it has one worth a box (a write not filed because no
    // car was named is not); returns whether a box was shown.
    static bool show(QWidget* owner, const write_outcome_t& outcome);

    // A transfer and what may follow it, for runTransfer.
    struct transfer_t {
        Write write;
        // Writes the settings that switch the data on, after a NotSwitchedOn outcome.
        Write switchOn;
        // The port is still open: trying again makes sense without a reconnect.
        std::function<bool()> portOpen;
        QString againQuestion = "Wpisać jeszcze raz?";
        QString switchOnQuestion = "Włączyć ją teraz?";
    };
    // Runs the write and tells its outcome. A transfer not answered or left part-way is
    // offered again, and data left switched off is offered its switch-on, as long as the
    // port is open; otherwise the box says to reconnect first. Returns the last outcome.
    static write_outcome_t runTransfer(QWidget* owner, const transfer_t& transfer);
};
