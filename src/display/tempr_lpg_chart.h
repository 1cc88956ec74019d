// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/series_chart.h"

// Gas temperature in degrees Celsius, one red series; never autoscaled.
class CTemprLPGChart : public CSeriesChart {
  public:
    explicit CTemprLPGChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CTemprLPGChart"; }
    void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) override;
    QString formatY(double value) const override;
    int yDecimals() const override { return 0; }
    std::vector<chart_legend_entry_t> legend() const override;
};
