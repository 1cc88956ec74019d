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
    : m_owner(owner),
      m_margins(margins),
      m_axes(CChartAxes::Style::XY, margins.left, margins.top, caption),
      m_x(x),
      m_y(y),
      m_defaultX(x),
      m_defaultY(y) {}

CXYChart::~CXYChart() = default;

void CXYChart::setSize(const QSize& client) {
    m_axes.createFonts();
    m_axes.setPlotSize(client.width() - m_margins.left - m_margins.right,
                       client.height() - m_margins.top - m_margins.bottom);
}

void CXYChart::setData(const std::vector<app_msg_t>&) {}

QString CXYChart::formatX(double value) const {
    return QString::asprintf("%.2f", value);
}

QString CXYChart::formatY(double value) const {
    return QString::asprintf("%.2f", value);
}

void CXYChart::draw(QPainter& painter) const {
    if (!m_axes.isDrawable()) {
        return;
    }
    painter.save();
    m_axes.drawBackground(
        painter, mapping(), [this](double v) { return formatX(v); },
        [this](double v) { return formatY(v); });
    drawPoints(painter);
    painter.restore();
}

void CXYChart::drawPoints(QPainter& painter) const {
    const CPlotMapping map = mapping();
    std::uint32_t current = chart_colour::kRed;
    painter.setPen(dotPen(current));
    for (const chart_point_t& p : m_points) {
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
    m_x.min = min;
    m_x.max = max;
}

void CXYChart::setYRange(double min, double max) {
    m_y.min = min;
    m_y.max = max;
}

void CXYChart::restoreScale() {
    m_x = m_defaultX;
    m_y = m_defaultY;
}
