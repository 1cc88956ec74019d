// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QLine>
#include <QPolygon>

#include "display/chart_point.h"
#include "display/plot_mapping.h"

// The pixel geometry of a chart, worked out apart from any painter.
class CChartGeometry {
  public:
    // A line is broken where consecutive samples lie more than this many x units apart.
    static constexpr double kMaxJoinedGap = 2.0;
    // A grid step that is tiny against its range would hide the chart under grid lines.
    static constexpr int kMaxGridLines = 1000;

    // min, min + step, ... while not beyond max; nothing when the step is not positive or
    // would give more than kMaxGridLines lines.
    static std::vector<double> gridValues(const axis_range_t& axis);

    // The line of a series: the points inside both ranges joined in order. A point more
    // than kMaxJoinedGap after the last joined one ends the line and is left unjoined (its
    // dot still shows it); the next point starts a new line. Runs of one point are dropped.
    static std::vector<QPolygon> lineRuns(const std::vector<chart_point_t>& points,
                                          const CPlotMapping& map,
                                          double maxJoinedGap = kMaxJoinedGap);

    // One short stroke per point inside both ranges, from (X, Y) to (X + 1, Y + 1); drawn
    // with a wide pen it shows as a dot.
    static std::vector<QLine> dotStrokes(const std::vector<chart_point_t>& points,
                                         const CPlotMapping& map);
};
