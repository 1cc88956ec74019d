// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/chart_geometry.h"

#include <cmath>

namespace {

// Allows for the rounding of min + k × step so that a line meant to sit on the maximum
// is not lost to the last bit.
constexpr double kGridTolerance = 1.0e-9;

}  // namespace

std::vector<double> CChartGeometry::gridValues(const axis_range_t& axis) {
    std::vector<double> values;
    const double span = axis.max - axis.min;
    if (!(axis.step > 0.0) || !std::isfinite(span) || span < 0.0 ||
        span / axis.step > kMaxGridLines) {
        return values;
    }
    const double limit = axis.max + axis.step * kGridTolerance;
    const double first =
        axis.onMultiples ? std::ceil(axis.min / axis.step - kGridTolerance) * axis.step : axis.min;
    for (int k = 0;; ++k) {
        const double value = first + k * axis.step;
        if (value > limit) {
            break;
        }
        values.push_back(value);
    }
    return values;
}

std::vector<QPolygon> CChartGeometry::lineRuns(const std::vector<chart_point_t>& points,
                                               const CPlotMapping& map, double maxJoinedGap) {
    std::vector<QPolygon> runs;
    QPolygon current;
    double lastJoinedX = 0.0;
    bool starting = true;
    auto finish = [&] {
        if (current.size() > 1) {
            runs.push_back(current);
        }
        current.clear();
    };
    for (const chart_point_t& p : points) {
        if (!map.contains(p.x, p.y)) {
            continue;
        }
        if (!starting && p.x - lastJoinedX > maxJoinedGap) {
            finish();
            starting = true;
            continue;
        }
        current.append(map.toPixel(p.x, p.y));
        lastJoinedX = p.x;
        starting = false;
    }
    finish();
    return runs;
}

std::vector<QLine> CChartGeometry::dotStrokes(const std::vector<chart_point_t>& points,
                                              const CPlotMapping& map) {
    std::vector<QLine> strokes;
    strokes.reserve(points.size());
    for (const chart_point_t& p : points) {
        if (map.contains(p.x, p.y)) {
            const QPoint at = map.toPixel(p.x, p.y);
            strokes.emplace_back(at, at + QPoint(1, 1));
        }
    }
    return strokes;
}
