// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/inj_map_chart.h"

#include <QPainter>

namespace {

// Below the plot: the x labels, then the x caption.
constexpr int kLabelBand = 20;
constexpr int kCaptionBand = 20;

}  // namespace

// A y label every 5 ms: a label a millisecond overlapped its neighbours at any usual
// window height.
CInjMapChart::CInjMapChart(QWidget* owner)
    : CXYChart(owner, QStringLiteral("<-------- Benzyna ------->|<-------- LPG ---------------->"),
               {0.0, 140.0, 10.0}, {0.0, 50.0, 5.0}, {60, 5, 15, 55}) {}

void CInjMapChart::drawPoints(QPainter& painter) const {
    CXYChart::drawPoints(painter);
    const QRect plot = plotRect();
    painter.setPen(Qt::black);
    painter.drawText(QRect(plot.left(), plot.bottom() + kLabelBand, plot.width(), kCaptionBand),
                     Qt::AlignCenter, kXCaption);
}

QString CInjMapChart::formatX(double value) const {
    return QString::asprintf("%.0f", value);
}

QString CInjMapChart::formatY(double value) const {
    return QString::asprintf("%.0f", labelValueY(value));
}

double CInjMapChart::labelValueY(double value) const {
    return value > kLpgOffsetMs ? value - kLpgOffsetMs : value;
}

void CInjMapChart::setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) {
    clearPoints();
    for (const app_msg_t& s : samples) {
        const double speed = s.rpm(clock);
        const double time = s.gasTimeMs(clock);
        if (speed < kMinSpeed || speed > kMaxSpeed || time < kMinGasTimeMs) {
            continue;
        }
        const bool lpg = s.onLpg();
        addPoint({s.vacuumKpa(), lpg ? time + kLpgOffsetMs : time,
                  static_cast<std::int32_t>(s.index),
                  lpg ? chart_colour::kBlue : chart_colour::kRed});
    }
}
