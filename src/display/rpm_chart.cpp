// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/rpm_chart.h"

#include <cmath>

namespace {

constexpr double kStartMaximum = 0.0;
constexpr double kStartMinimum = 100000.0;

CRunningExtremes& running() {
    static CRunningExtremes instance(kStartMaximum, kStartMinimum);
    return instance;
}

}  // namespace

CRPMChart::CRPMChart(QWidget* owner)
    : CSeriesChart(owner, QStringLiteral("Obroty/min"), 0.0, 8000.0, 2000.0) {}

QString CRPMChart::formatY(double value) const {
    return QString::asprintf("%.0f", value);
}

std::vector<chart_legend_entry_t> CRPMChart::legend() const {
    return {{QStringLiteral("Obroty"), chart_colour::kBlue},
            {QStringLiteral("Obroty wtrysk."), chart_colour::kGreen},
            {QStringLiteral("Obroty wtrysk. na LPG"), chart_colour::kRed}};
}

const CRunningExtremes& CRPMChart::extremes() {
    return running();
}

void CRPMChart::resetExtremes() {
    running().reset();
}

void CRPMChart::setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) {
    CRunningExtremes& extremes = running();
    const bool scaling = autoscaleApplies();
    chart_series_t onLpg{{}, false, true};
    chart_series_t onGasoline{{}, false, true};
    chart_series_t engine;
    bool changed = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const app_msg_t& s = samples[i];
        const double engineSpeed = s.rpm(clock);
        const double injectorSpeed = s.injRpm(clock);
        if (injectorSpeed < kMinSpeed || injectorSpeed > kMaxInjectorSpeed ||
            engineSpeed < kMinSpeed) {
            continue;
        }
        if (scaling && isRecent(i, samples.size())) {
            changed |= extremes.include(engineSpeed);
            changed |= extremes.include(injectorSpeed);
        }
        (s.onLpg() ? onLpg : onGasoline)
            .points.push_back(samplePoint(s, injectorSpeed, stateColour(s)));
        engine.points.push_back(samplePoint(s, engineSpeed, chart_colour::kBlue));
    }
    setSeries({std::move(onLpg), std::move(onGasoline), std::move(engine)});
    if (changed && extremes.maximum() > extremes.minimum()) {
        rescale(std::round(extremes.minimum() * 0.9), std::round(extremes.maximum() * 1.1));
    }
    finishData(samples);
}
