// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/series_reduction.h"

#include <algorithm>
#include <array>

void CSeriesReduction::appendColumn(const std::vector<chart_series_t>& column,
                                    std::vector<chart_series_t>& into) {
    if (into.empty()) {
        for (const chart_series_t& series : column) {
            chart_series_t look = series;
            look.points.clear();
            into.push_back(std::move(look));
        }
    }
    for (std::size_t s = 0; s < column.size() && s < into.size(); ++s) {
        const std::vector<chart_point_t>& points = column[s].points;
        if (points.empty()) {
            continue;
        }
        const auto [low, high] = std::minmax_element(
            points.begin(), points.end(),
            [](const chart_point_t& a, const chart_point_t& b) { return a.y < b.y; });
        std::array<std::size_t, 4> kept{0, static_cast<std::size_t>(low - points.begin()),
                                        static_cast<std::size_t>(high - points.begin()),
                                        points.size() - 1};
        std::sort(kept.begin(), kept.end());
        const auto end = std::unique(kept.begin(), kept.end());
        for (auto at = kept.begin(); at != end; ++at) {
            into[s].points.push_back(points[*at]);
        }
    }
}
