// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/time_table.h"

#include <algorithm>
#include <cmath>

#include "link/dev_setup.h"

namespace {

// The first manual column after `from`, or the last column.
int nextManual(const CTimeTable::manual_t& manual, int from) {
    for (int i = from + 1; i < CTimeTable::kColumns; ++i) {
        if (manual[static_cast<std::size_t>(i)] != 0) {
            return i;
        }
    }
    return CTimeTable::kColumns - 1;
}

}  // namespace

void CTimeTable::interpolate(values_t& table, const manual_t& manual) {
    int previous = 0;
    int next = nextManual(manual, 0);
    for (int i = 0; i < kColumns; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (manual[at] != 0) {
            previous = i;
            next = nextManual(manual, i);
        } else if (i > 0 && i < kColumns - 1) {
            const double from = table[static_cast<std::size_t>(previous)];
            const double to = table[static_cast<std::size_t>(next)];
            // std::round takes halves away from zero.
            table[at] = std::round(from + (i - previous) * (to - from) / (next - previous));
        }
    }
}

bool CTimeTable::spin(values_t& table, int index, int delta) {
    if (index < 0 || index >= kColumns) {
        return false;
    }
    double& value = table[static_cast<std::size_t>(index)];
    if ((value == kLimit && delta < 0) || (value == -kLimit && delta >= 1)) {
        return false;
    }
    value = std::clamp(value - delta, -kLimit, kLimit);
    return true;
}

bool CTimeTable::anyCorrection(const values_t& table) {
    return std::any_of(table.begin(), table.end(), [](double v) { return v != 0.0; });
}

int CTimeTable::markerOf(double gasTimeMs) {
    if (!(gasTimeMs >= 1.0)) {
        return 0;
    }
    // A gasoline time of a few seconds is nonsense from the line; it marks nothing
    // visible rather than overflowing.
    return static_cast<int>(std::floor(std::min(gasTimeMs, 1000.0)));
}
