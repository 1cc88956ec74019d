// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/xy_chart.h"

// Gasoline injection time against intake vacuum, from a recording. Samples on LPG are
// lifted by 25 ms and drawn blue, the others red, so one 0-25 ms scale shows a gasoline
// band below and an LPG band above; the y labels of the upper band read from 0 again.
class CInjMapChart : public CXYChart {
  public:
    static constexpr double kMinSpeed = 500.0;
    static constexpr double kMaxSpeed = 8000.0;
    static constexpr double kMinGasTimeMs = 2.0;
    static constexpr double kLpgOffsetMs = 25.0;
    static constexpr const char* kXCaption = "Podciśnienie w kolektorze [kPa]; czas wtrysku [ms]";

    explicit CInjMapChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CInjMapChart"; }
    void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) override;
    // The points, then the x caption under the labels.
    void drawPoints(QPainter& painter) const override;
    QString formatX(double value) const override;
    QString formatY(double value) const override;
    double labelValueY(double value) const override;
};
