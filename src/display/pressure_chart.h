// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/running_extremes.h"
#include "display/series_chart.h"

// Pressures in kPa while on LPG: the second reading (grey) and the reducer's
// differential pressure (red). Autoscaling follows the non-zero differential pressures and
// forgets its extremes every tenth update.
class CPressureChart : public CSeriesChart {
  public:
    explicit CPressureChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CPressureChart"; }
    void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) override;
    QString formatY(double value) const override;
    int yDecimals() const override { return 0; }
    std::vector<chart_legend_entry_t> legend() const override;

    static const CRunningExtremes& extremes();
    static void resetExtremes();
};
