// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/lambda_chart.h"

namespace {

constexpr double kStartMaximum = 0.0;

CRunningExtremes& running() {
    static CRunningExtremes instance(kStartMaximum, 0.0);
    return instance;
}

}  // namespace

CLambdaChart::CLambdaChart(QWidget* owner)
    : CSeriesChart(owner, QStringLiteral("[V]"), 0.0, 5.0, 1.0) {}

QString CLambdaChart::formatY(double value) const {
    return QString::asprintf("%.1f", value);
}

std::vector<chart_legend_entry_t> CLambdaChart::legend() const {
    return {{QStringLiteral("Lambda"), chart_colour::kRed}};
}

const CRunningExtremes& CLambdaChart::extremes() {
    return running();
}

void CLambdaChart::resetExtremes() {
    running().reset();
}

void CLambdaChart::setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) {
    CRunningExtremes& extremes = running();
    const bool scaling = autoscaleApplies();
    chart_series_t voltage;
    bool raised = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const app_msg_t& s = samples[i];
        if (s.gasTimeMs(clock) < kMinGasTimeMs) {
            continue;
        }
        const double volts = s.lambdaVolts();
        if (scaling && isRecent(i, samples.size())) {
            raised |= extremes.raise(volts);
        }
        voltage.points.push_back(samplePoint(s, volts, chart_colour::kRed));
    }
    setSeries({std::move(voltage)});
    const double top = CPlotMapping::roundToDecimals(extremes.maximum() * 1.1, 1);
    if (raised && top > yAxis().min) {
        rescale(yAxis().min, top);
    }
    finishData(samples);
}
