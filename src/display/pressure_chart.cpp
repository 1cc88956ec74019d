// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/pressure_chart.h"

namespace {

constexpr double kResetMaximum = 0.0;
constexpr double kResetMinimum = 100.0;

CRunningExtremes& running() {
    static CRunningExtremes instance(kResetMaximum, kResetMinimum);
    return instance;
}

}  // namespace

CPressureChart::CPressureChart(QWidget* owner)
    : CSeriesChart(owner, QStringLiteral("P [kPa]"), 0.0, 250.0, 50.0) {}

QString CPressureChart::formatY(double value) const {
    return QString::asprintf("%.0f", value);
}

std::vector<chart_legend_entry_t> CPressureChart::legend() const {
    return {{QStringLiteral("Ciśn. różnicowe"), chart_colour::kRed},
            {QStringLiteral("Ciśn. 2"), chart_colour::kGrey}};
}

const CRunningExtremes& CPressureChart::extremes() {
    return running();
}

void CPressureChart::resetExtremes() {
    running().reset();
}

void CPressureChart::setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) {
    CRunningExtremes& extremes = running();
    beginScaledData(extremes, samples);
    const bool scaling = autoscaleApplies();
    chart_series_t second;
    chart_series_t differential;
    bool changed = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const app_msg_t& s = samples[i];
        if (s.gasTimeMs(clock) < kMinGasTimeMs || !s.onLpg()) {
            continue;
        }
        const double pressure = s.pressureKpa();
        if (scaling && isRecent(i, samples.size()) && pressure != 0.0) {
            changed |= extremes.include(pressure);
        }
        second.points.push_back(samplePoint(s, s.pressure2Kpa(), chart_colour::kGrey));
        differential.points.push_back(samplePoint(s, pressure, chart_colour::kRed));
    }
    finishScaledData({std::move(second), std::move(differential)}, extremes, changed, 0, samples);
}
