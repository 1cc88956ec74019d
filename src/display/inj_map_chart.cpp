#include "display/inj_map_chart.h"

CInjMapChart::CInjMapChart(QWidget* owner)
    : CXYChart(owner, QStringLiteral("<-------- Benzyna ------->|<-------- LPG ---------------->"),
               {0.0, 140.0, 10.0}, {0.0, 50.0, 1.0}, {60, 5, 15, 55}) {}

QString CInjMapChart::formatX(double value) const {
    return QString::asprintf("%.0f", value);
}

QString CInjMapChart::formatY(double value) const {
    return QString::asprintf("%.0f", value > kLpgOffsetMs ? value - kLpgOffsetMs : value);
}

void CInjMapChart::setData(const std::vector<app_msg_t>& samples) {
    clearPoints();
    for (const app_msg_t& s : samples) {
        const double speed = s.rpm();
        const double time = s.gasTimeMs();
        if (speed < kMinSpeed || speed > kMaxSpeed || time < kMinGasTimeMs) {
            continue;
        }
        const bool lpg = s.onLpg();
        addPoint({s.vacuumKpa(), lpg ? time + kLpgOffsetMs : time,
                  static_cast<std::int32_t>(s.index),
                  lpg ? chart_colour::kBlue : chart_colour::kRed});
    }
}
