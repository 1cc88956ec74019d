// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/time_chart.h"

namespace {

constexpr double kResetMaximum = 0.0;
constexpr double kResetMinimum = 100.0;
constexpr int kLpgLineWidth = 5;

CRunningExtremes& running() {
    static CRunningExtremes instance(kResetMaximum, kResetMinimum);
    return instance;
}

}  // namespace

CTimeChart::CTimeChart(QWidget* owner)
    : CSeriesChart(owner, QStringLiteral("[ms]"), 0.0, 40.0, 5.0) {}

QString CTimeChart::formatY(double value) const {
    return QString::asprintf("%.1f", value);
}

std::vector<chart_legend_entry_t> CTimeChart::legend() const {
    return {{QStringLiteral("Czas benz."), chart_colour::kGreen},
            {QStringLiteral("Czas benz. na LPG"), chart_colour::kRed},
            {QStringLiteral("Czas LPG"), chart_colour::kBlue},
            {QStringLiteral("Czas benz. 2"), chart_colour::kGrey}};
}

const CRunningExtremes& CTimeChart::extremes() {
    return running();
}

void CTimeChart::resetExtremes() {
    running().reset();
}

void CTimeChart::setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) {
    CRunningExtremes& extremes = running();
    beginScaledData(extremes, samples);
    const bool scaling = autoscaleApplies();
    chart_series_t aux;
    chart_series_t gasolineOnLpg;
    chart_series_t gasoline;
    chart_series_t lpg;
    // On gasoline the LPG time equals the gasoline time: the LPG line goes first and
    // wider, so the gasoline line drawn over it stays visible with blue on both sides.
    lpg.lineWidth = kLpgLineWidth;
    bool changed = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const app_msg_t& s = samples[i];
        const double gasTime = s.gasTimeMs(clock);
        if (gasTime < kMinGasTimeMs) {
            continue;
        }
        const double lpgTime = s.lpgTimeMs(clock);
        if (scaling && isRecent(i, samples.size())) {
            changed |= extremes.include(gasTime);
            changed |= extremes.include(lpgTime);
        }
        if (s.onLpg()) {
            aux.points.push_back(samplePoint(s, s.auxTimeMs(clock), chart_colour::kGrey));
            gasolineOnLpg.points.push_back(samplePoint(s, gasTime, stateColour(s)));
        } else {
            gasoline.points.push_back(samplePoint(s, gasTime, stateColour(s)));
        }
        lpg.points.push_back(samplePoint(s, lpgTime, chart_colour::kBlue));
    }
    finishScaledData(
        {std::move(aux), std::move(lpg), std::move(gasolineOnLpg), std::move(gasoline)}, extremes,
        changed, 1, samples);
}
