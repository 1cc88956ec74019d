// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_fill.h"

bool CMapFill::between(const percent_t& percent, const cells_t& valued, int first, int count,
                       int step, int at, double& estimate) {
    int before = at - 1;
    while (before >= 0 && !valued[first + before * step]) {
        --before;
    }
    int after = at + 1;
    while (after < count && !valued[first + after * step]) {
        ++after;
    }
    if (before < 0 || after >= count) {
        return false;
    }
    const double from = percent[first + before * step];
    const double to = percent[first + after * step];
    estimate = from + (to - from) * (at - before) / (after - before);
    return true;
}

CMapFill::result_t CMapFill::fill(const percent_t& percent, const cells_t& valued) {
    result_t result;
    result.percent = percent;
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c) {
            const int cell = injmap::cellIndex(r, c);
            if (valued[cell]) {
                continue;
            }
            double alongRow = 0;
            double alongColumn = 0;
            const bool inRow =
                between(percent, valued, injmap::cellIndex(r, 0), injmap::kColumns, 1, c, alongRow);
            const bool inColumn =
                between(percent, valued, c, injmap::kRows, injmap::kColumns, r, alongColumn);
            if (!inRow && !inColumn) {
                continue;
            }
            const double estimate = inRow && inColumn ? (alongRow + alongColumn) / 2
                                    : inRow           ? alongRow
                                                      : alongColumn;
            result.percent[cell] = injmap::proposalPercent(estimate);
            result.filled[cell] = true;
            ++result.count;
        }
    }
    return result;
}
