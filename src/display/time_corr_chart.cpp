// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/time_corr_chart.h"

#include <algorithm>

#include <QPainter>
#include <QWidget>

#include "corrections/time_table.h"

namespace {

constexpr int kOutlineWidth = 3;
constexpr int kBarInset = 3;  // a bar starts this far right of its x position
constexpr int kBarGap = 1;    // and ends this far before the next

void drawBox(QPainter& painter, const QRect& rect, std::uint32_t fill) {
    painter.setPen(QPen(Qt::black, kOutlineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(colorFromRef(fill));
    painter.drawRect(rect);
}

}  // namespace

// A y label every 5 %, so that 0 has one.
CTimeCorrChart::CTimeCorrChart(QWidget* owner)
    : CXYChart(owner, QStringLiteral("Poprawka [%]"), {1.0, 25.9, 1.0}, {-25.0, 25.0, 5.0},
               {45, 10, 0, 0}) {}

void CTimeCorrChart::setSize(const QSize&) {
    setPlotSize(kPlotWidth, kPlotHeight);
}

void CTimeCorrChart::setPlotSize(int width, int height) {
    axes().createFonts();
    axes().setPlotSize(width, height);
}

QString CTimeCorrChart::formatX(double value) const {
    return QString::asprintf("%.0f", value);
}

QString CTimeCorrChart::formatY(double value) const {
    return QString::asprintf("%.0f", value);
}

void CTimeCorrChart::interpolate(Table& table, const ManualFlags& manual) {
    CTimeTable::interpolate(table, manual);
}

void CTimeCorrChart::setData(Table& table) {
    if (interpolate_) {
        interpolate(table, manual_);
    }
    showTable(table);
}

void CTimeCorrChart::showTable(const Table& table) {
    clearPoints();
    for (int i = 0; i < kColumns; ++i) {
        addPoint({i + 1.0, table[static_cast<std::size_t>(i)], i, kManualColour});
    }
}

std::uint32_t CTimeCorrChart::barColour(std::size_t column) const {
    const bool anchor = column == 0 || column == kColumns - 1;
    const bool byHand = column < manual_.size() && manual_[column] != 0;
    return anchor || byHand ? kManualColour : kInterpolatedColour;
}

QRect CTimeCorrChart::barRect(const CPlotMapping& map, const chart_point_t& point) const {
    const int left = map.toX(point.x) + kBarInset;
    const int right = map.toX(point.x + 1.0) - kBarGap;
    const double y = std::clamp(point.y, map.yAxis().min, map.yAxis().max);
    return QRect(QPoint(left, map.toY(0.0)), QPoint(right, map.toY(y))).normalized();
}

bool CTimeCorrChart::beyondScale(const CPlotMapping& map, double value) {
    return value > map.yAxis().max || value < map.yAxis().min;
}

// A bar cut at the edge of the scale ends in a white arrow pointing on.
void CTimeCorrChart::drawCutMark(QPainter& painter, const QRect& bar, bool up) {
    const int mid = bar.center().x();
    const int half = std::max(2, bar.width() / 2 - 2);
    const int tip = up ? bar.top() + 1 : bar.bottom() - 1;
    const int base = up ? tip + half : tip - half;
    const QPoint arrow[] = {{mid, tip}, {mid - half, base}, {mid + half, base}};
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow, 3);
}

QRect CTimeCorrChart::columnRect(int x) const {
    const CPlotMapping map = mapping();
    const QRect plot = plotRect();
    return QRect(QPoint(map.toX(x) + 1, plot.top()),
                 QPoint(map.toX(x + 1.0) + 1, plot.top() + plot.height()));
}

void CTimeCorrChart::drawPoints(QPainter& painter) const {
    const CPlotMapping map = mapping();
    if (marker_ != 0 && map.contains(marker_, map.yAxis().min)) {
        // Light and without an outline, so that the bar in front of it stays readable.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kMarkerFill));
        painter.drawRect(columnRect(marker_));
    }
    for (std::size_t column = 0; column < points().size(); ++column) {
        const chart_point_t& p = points()[column];
        if (!map.contains(p.x, map.yAxis().min)) {
            continue;
        }
        const QRect bar = barRect(map, p);
        drawBox(painter, bar, barColour(column));
        if (beyondScale(map, p.y)) {
            drawCutMark(painter, bar, p.y > 0);
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void CTimeCorrChart::setMarker(int x) {
    if (x == marker_) {
        return;
    }
    const QRect old = columnRect(marker_);
    marker_ = x;
    if (owner() != nullptr) {
        const int pad = kOutlineWidth;
        owner()->update(old.adjusted(-pad, -pad, pad, pad));
        owner()->update(columnRect(x).adjusted(-pad, -pad, pad, pad));
    }
}
