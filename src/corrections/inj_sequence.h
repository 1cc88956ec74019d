// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "link/lpg_device.h"

// One point of an injector's trace.
struct seq_point_t {
    double x = 0.0;  // ms from the earliest injector
    double y = 0.0;
    std::int32_t label = 0;  // whole milliseconds of x
};

// The injector firing sequence as square pulses, one row per injector: injector n rests
// at y = 2n - 2 and is at 2n - 1 for 5 ms after its offset. The window is sampled in
// 500 steps, so a pulse reads the same whatever the width of the window on screen.
class CInjSequence {
  public:
    static constexpr int kSteps = 500;
    static constexpr double kPulseMs = 5.0;
    static constexpr double kWindowMs = 150.0;

    // For x = 0, xMax / 500, ... below xMax, one point per present entry (in list order):
    // its row's high level while offset < x < offset + 5, its baseline otherwise.
    // Absent injectors give no points.
    static std::vector<seq_point_t> traces(const std::vector<sequence_entry_t>& entries,
                                           double xMax = kWindowMs);

    // Baseline of injector n (1 to 8).
    static double baseline(int injector) { return 2.0 * injector - 2.0; }
};
