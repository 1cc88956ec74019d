// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

// Which of the five step corrections of an auto-calibration run are trusted.
//
// The first step is measured before the main correction is updated, so its entry is
// normally far from the other four. The reference is therefore the median of the
// sorted entries, which that one outlier cannot move, and an entry is kept when its
// deviation from the reference, in percent of the reference, stays below the
// tolerance. A zero reference keeps entries equal to it and drops every other one.
struct correction_acceptance_t {
    std::vector<double> sorted;    // the entries in ascending order
    std::vector<double> accepted;  // kept entries, in sorted order
    double reference = 0.0;        // the median of the sorted entries
};

correction_acceptance_t acceptCorrections(std::vector<double> corrections, double tolerancePercent);

// The arithmetic mean of the kept entries; none when every entry was dropped.
std::optional<double> meanOfAccepted(const correction_acceptance_t& acceptance);
