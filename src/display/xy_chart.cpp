// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/xy_chart.h"

#include <QPainter>

namespace {

constexpr int kDotWidth = 3;

QPen dotPen(std::uint32_t colour) {
    QPen pen(colorFromRef(colour), kDotWidth);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

}  // namespace

CXYChart::CXYChart(QWidget* owner, const QString& caption, const axis_range_t& x,
                   const axis_range_t& y, const margins_t& margins)
    : owner_(owner),
      margins_(margins),
      axes_(CChartAxes::Style::XY, margins.left, margins.top, caption),
      x_(x),
      y_(y),
      defaultX_(x),
      defaultY_(y) {}

CXYChart::~CXYChart() = default;

void CXYChart::setSize(const QSize& client) {
    axes_.createFonts();
    axes_.setPlotSize(client.width() - margins_.left - margins_.right,
                      client.height() - margins_.top - margins_.bottom);
}

void CXYChart::setData(const std::vector<app_msg_t>&, const CControllerClock&) {}

QString CXYChart::formatX(double value) const {
    return QString::asprintf("%.2f", value);
}

QString CXYChart::formatY(double value) const {
    return QString::asprintf("%.2f", value);
}

void CXYChart::draw(QPainter& painter) const {
    if (!axes_.isDrawable()) {
        return;
    }
    painter.save();
    axes_.drawBackground(
        painter, mapping(), [this](double v) { return formatX(v); },
        [this](double v) { return formatY(v); }, [this](double v) { return labelValueY(v); });
    drawPoints(painter);
    painter.restore();
}

void CXYChart::drawPoints(QPainter& painter) const {
    const CPlotMapping map = mapping();
    std::uint32_t current = chart_colour::kRed;
    painter.setPen(dotPen(current));
    for (const chart_point_t& p : points_) {
        if (!map.contains(p.x, p.y)) {
            continue;
        }
        if (p.colour != current) {
            current = p.colour;
            painter.setPen(dotPen(current));
        }
        const QPoint at = map.toPixel(p.x, p.y);
        painter.drawLine(at, at + QPoint(1, 1));
    }
}

void CXYChart::setXRange(double min, double max) {
    x_.min = min;
    x_.max = max;
}

void CXYChart::setYRange(double min, double max) {
    y_.min = min;
    y_.max = max;
}

void CXYChart::restoreScale() {
    x_ = defaultX_;
    y_ = defaultY_;
}
