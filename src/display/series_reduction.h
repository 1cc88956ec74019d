// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "display/chart_point.h"

// A chart wider in samples than in pixels shows, for every pixel column, the first,
// lowest, highest and last point of each series: the same picture as all of them, at a
// size that does not grow with the recording.
class CSeriesReduction {
  public:
    // Appends the extremes of one column's series to `into`, series by series (`into`
    // takes the columns' series' looks from the first one).
    static void appendColumn(const std::vector<chart_series_t>& column,
                             std::vector<chart_series_t>& into);
};
