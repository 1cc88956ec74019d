// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QColor>

#include "display/xy_chart.h"

// The 25 time corrections as bars over a fixed 750 × 280 plot: value i sits at x = i + 1.
// Columns 0 and 24 and the columns set by hand are blue, the interpolated ones grey; a
// value beyond the ±25 % scale is drawn to the edge and ends in an arrow. The live
// marker (the whole gasoline-time column the engine is in now) is drawn light red behind
// the bars.
class CTimeCorrChart : public CXYChart {
  public:
    static constexpr int kColumns = 25;
    using Table = std::array<double, kColumns>;
    using ManualFlags = std::array<int, kColumns>;

    static constexpr int kPlotWidth = 750;
    static constexpr int kPlotHeight = 280;
    static constexpr std::uint32_t kManualColour = 0xFF0000;
    static constexpr std::uint32_t kInterpolatedColour = 0x6F6F6F;
    static constexpr std::uint32_t kMarkerColour = 0x0000FF;
    static constexpr QRgb kMarkerFill = 0xFFFFB4B4;

    explicit CTimeCorrChart(QWidget* owner = nullptr);

    const char* getName() const override { return "CTimeCorrChart"; }
    void drawPoints(QPainter& painter) const override;
    // The plot keeps its fixed size whatever the window.
    void setSize(const QSize& client) override;
    // A plot of the given size instead, for a pane that scales the chart with its width.
    void setPlotSize(int width, int height);
    QString formatX(double value) const override;
    QString formatY(double value) const override;

    using CXYChart::setData;
    // Fills the columns not set by hand between their set neighbours (when interpolation
    // is on), writing them back into the table, then shows the table.
    void setData(Table& table);
    // One blue point per value at x = i + 1.
    void showTable(const Table& table);

    // Columns between two set ones (or the ends 0 and 24, which anchor whether set or
    // not) take the straight line between them, rounded to whole percent (CTimeTable).
    static void interpolate(Table& table, const ManualFlags& manual);

    ManualFlags& manual() { return manual_; }
    const ManualFlags& manual() const { return manual_; }
    bool interpolation() const { return interpolate_; }
    void setInterpolation(bool on) { interpolate_ = on; }

    // The live marker is the x of a column (the whole milliseconds of the gasoline time),
    // 0 for none. Moving it repaints the old and the new column of the owner.
    int marker() const { return marker_; }
    void setMarker(int x);
    // The marker's column at x, in pixels.
    QRect columnRect(int x) const;
    // The bar of a column as drawn, and whether its value lies beyond the scale (the bar
    // then ends at the edge in an arrow).
    QRect barOf(std::size_t column) const { return barRect(mapping(), points().at(column)); }
    bool cut(std::size_t column) const { return beyondScale(mapping(), points().at(column).y); }

  private:
    QRect barRect(const CPlotMapping& map, const chart_point_t& point) const;
    std::uint32_t barColour(std::size_t column) const;
    static bool beyondScale(const CPlotMapping& map, double value);
    static void drawCutMark(QPainter& painter, const QRect& bar, bool up);

    ManualFlags manual_{};
    bool interpolate_ = true;
    int marker_ = 0;
};
