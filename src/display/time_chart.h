// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/running_extremes.h"
#include "display/series_chart.h"

// Injection times in ms: on LPG the further gasoline-side time (grey) and the gasoline
// time, otherwise the gasoline time, each in the sample's state colour; always the LPG
// time (blue). Autoscaling follows the gasoline and LPG times and forgets its extremes
// every tenth update, so the scale can shrink again.
class CTimeChart : public CSeriesChart {
  public:
    explicit CTimeChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CTimeChart"; }
    void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) override;
    QString formatY(double value) const override;
    int yDecimals() const override { return 1; }
    std::vector<chart_legend_entry_t> legend() const override;
    // Idle injection times of a few milliseconds would lie flat on the 0 to 40 ms scale.
    bool autoscaleByDefault() const override { return true; }

    static const CRunningExtremes& extremes();
    static void resetExtremes();
};
