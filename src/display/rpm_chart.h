// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/running_extremes.h"
#include "display/series_chart.h"

// Engine speed from the engine period (blue line with dots) and the speed measured with
// the injection event (dots, green on gasoline and red otherwise, split into an LPG and a
// gasoline series). The autoscale extremes start at 0 and 100000 and are never reset, so
// the scale only widens while the program runs.
class CRPMChart : public CSeriesChart {
  public:
    static constexpr double kMinSpeed = 100.0;
    static constexpr double kMaxInjectorSpeed = 10000.0;

    explicit CRPMChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CRPMChart"; }
    void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) override;
    QString formatY(double value) const override;
    int yDecimals() const override { return 0; }
    std::vector<chart_legend_entry_t> legend() const override;

    static const CRunningExtremes& extremes();
    // Back to the values the program starts with.
    static void resetExtremes();
};
