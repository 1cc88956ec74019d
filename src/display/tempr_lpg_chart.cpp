// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/tempr_lpg_chart.h"

CTemprLPGChart::CTemprLPGChart(QWidget* owner)
    : CSeriesChart(owner, QStringLiteral("T. LPG [C]"), 0.0, 100.0, 10.0) {}

QString CTemprLPGChart::formatY(double value) const {
    return QString::asprintf("%.0f", value);
}

std::vector<chart_legend_entry_t> CTemprLPGChart::legend() const {
    return {{QStringLiteral("T. LPG"), chart_colour::kRed}};
}

void CTemprLPGChart::setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) {
    chart_series_t temperature;
    for (const app_msg_t& s : samples) {
        if (s.gasTimeMs(clock) >= kMinGasTimeMs) {
            temperature.points.push_back(samplePoint(s, s.gasTemp(), chart_colour::kRed));
        }
    }
    setSeries({std::move(temperature)});
    finishData(samples);
}
