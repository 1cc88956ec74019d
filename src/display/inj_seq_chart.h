// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QPolygon>

#include "display/xy_chart.h"

// The injector firing sequence: one row per injector over 0 to 150 ms, the baseline of
// injector n at y = 2n - 2 and its pulse at 2n - 1. The y grid lines (0, 2, ... 14) carry
// the injector names instead of numbers. The points come from the sequence window and
// are drawn as square pulses; the last x label carries the unit.
class CInjSeqChart : public CXYChart {
  public:
    explicit CInjSeqChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CInjSeqChart"; }
    QString formatX(double value) const override;
    QString formatY(double value) const override;
    void drawPoints(QPainter& painter) const override;

    // One line per injector row, with a vertical edge wherever the level changes.
    static std::vector<QPolygon> traces(const std::vector<chart_point_t>& points,
                                        const CPlotMapping& map);
};
