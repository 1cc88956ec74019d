// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_sequence.h"

#include <cmath>

std::vector<seq_point_t> CInjSequence::traces(const std::vector<sequence_entry_t>& entries,
                                              double xMax) {
    std::vector<seq_point_t> points;
    if (!(xMax > 0.0)) {
        return points;
    }
    const double step = xMax / kSteps;
    // x is worked out from the step number, not summed, so there are exactly 500 steps.
    for (int k = 0; k < kSteps; ++k) {
        const double x = k * step;
        for (const sequence_entry_t& entry : entries) {
            if (!entry.present) {
                continue;
            }
            double y = baseline(entry.injector);
            if (entry.timeMs < x && x < entry.timeMs + kPulseMs) {
                y += 1.0;
            }
            points.push_back({x, y, static_cast<std::int32_t>(std::trunc(x))});
        }
    }
    return points;
}
