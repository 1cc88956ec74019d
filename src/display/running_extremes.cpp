// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/running_extremes.h"

void CRunningExtremes::reset() {
    maximum_ = startMaximum_;
    minimum_ = startMinimum_;
    updates_ = 0;
}

void CRunningExtremes::restartAfter(int updates) {
    if (updates_ == updates) {
        reset();
    }
}

bool CRunningExtremes::raise(double value) {
    if (value <= maximum_) {
        return false;
    }
    maximum_ = value;
    return true;
}

bool CRunningExtremes::lower(double value) {
    if (value >= minimum_) {
        return false;
    }
    minimum_ = value;
    return true;
}

bool CRunningExtremes::include(double value) {
    const bool raised = raise(value);
    const bool lowered = lower(value);
    return raised || lowered;
}
