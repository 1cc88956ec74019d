// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/running_extremes.h"
#include "display/series_chart.h"

// Lambda probe voltage, one red series. Autoscaling only raises the top of the range
// (to a tenth above the largest recent voltage); its maximum is never reset.
class CLambdaChart : public CSeriesChart {
  public:
    explicit CLambdaChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CLambdaChart"; }
    void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) override;
    QString formatY(double value) const override;
    int yDecimals() const override { return 1; }
    std::vector<chart_legend_entry_t> legend() const override;

    static const CRunningExtremes& extremes();
    static void resetExtremes();
};
