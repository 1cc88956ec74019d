// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/inj_seq_chart.h"

#include <cmath>
#include <map>

#include <QPainter>

namespace {

constexpr int kTraceWidth = 2;

}  // namespace

CInjSeqChart::CInjSeqChart(QWidget* owner)
    : CXYChart(owner, QString(), {0.0, 150.0, 15.0}, {0.0, 15.5, 2.0}, {60, 5, 15, 55}) {}

// The last label carries the unit of the time axis.
QString CInjSeqChart::formatX(double value) const {
    const bool last = value > xAxis().max - xAxis().step / 2;
    return QString::asprintf(last ? "%.0f ms" : "%.0f", value);
}

QString CInjSeqChart::formatY(double value) const {
    return QString::asprintf("INJ_%.0f->", value * 0.5 + 1.0);
}

std::vector<QPolygon> CInjSeqChart::traces(const std::vector<chart_point_t>& points,
                                           const CPlotMapping& map) {
    std::map<int, QPolygon> rows;  // by row, in x order as the points come
    for (const chart_point_t& p : points) {
        if (!map.contains(p.x, p.y)) {
            continue;
        }
        QPolygon& row = rows[static_cast<int>(std::floor(p.y / 2.0))];
        const QPoint at = map.toPixel(p.x, p.y);
        // A change of level is a vertical edge at the new point's time.
        if (!row.isEmpty() && row.last().y() != at.y()) {
            row << QPoint(at.x(), row.last().y());
        }
        row << at;
    }
    std::vector<QPolygon> lines;
    for (auto& [index, row] : rows) {
        lines.push_back(std::move(row));
    }
    return lines;
}

void CInjSeqChart::drawPoints(QPainter& painter) const {
    const CPlotMapping map = mapping();
    QPen pen(colorFromRef(points().empty() ? chart_colour::kBlue : points().front().colour),
             kTraceWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    for (const QPolygon& line : traces(points(), map)) {
        painter.drawPolyline(line);
    }
}
