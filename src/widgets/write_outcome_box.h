// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "writes/write_outcome.h"

class QWidget;

// How every window tells what a write's procedure found: a refusal, a file that could not
// be written, a transfer that ended part-way. The write said it in its outcome; the window
// only shows it, with the outcome's severity.
class CWriteOutcomeBox {
  public:
    // Shows the outcome's problem, if it has one worth a box (a write not filed because no
    // car was named is not); returns whether a box was shown.
    static bool show(QWidget* owner, const write_outcome_t& outcome);
};
