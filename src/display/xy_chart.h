// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QRect>
#include <QSize>
#include <QString>

#include "diag/app_msg.h"
#include "display/chart_axes.h"
#include "display/chart_point.h"
#include "display/plot_mapping.h"

class QPainter;
class QWidget;

// A chart of free points with its own x and y ranges. Pixel positions are truncated;
// the grid is dotted grey with the zero lines dotted black; points outside the ranges are
// not drawn. The owning window sizes it, fills it (addPoint or setData) and draws it from
// its paint handler.
class CXYChart {
  public:
    CXYChart(const CXYChart&) = delete;
    CXYChart& operator=(const CXYChart&) = delete;
    virtual ~CXYChart();

    virtual const char* getName() const = 0;
    // Every point inside both ranges as a dot in its own colour.
    virtual void drawPoints(QPainter& painter) const;
    // Creates the fonts on the first call and fits the plot area into the client size.
    virtual void setSize(const QSize& client);
    // Charts built from diagnostic samples make their points here; others ignore it.
    virtual void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock);
    virtual QString formatX(double value) const;
    virtual QString formatY(double value) const;
    // What the y label at `value` stands for.
    virtual double labelValueY(double value) const { return value; }

    // Frame, grid, labels and caption, then the points.
    void draw(QPainter& painter) const;

    void clearPoints() { points_.clear(); }
    void addPoint(const chart_point_t& point) { points_.push_back(point); }
    const std::vector<chart_point_t>& points() const { return points_; }

    axis_range_t xAxis() const { return x_; }
    axis_range_t yAxis() const { return y_; }
    void setXRange(double min, double max);
    void setYRange(double min, double max);
    void setXGrid(double step) { x_.step = step; }
    void setYGrid(double step) { y_.step = step; }
    // Both ranges and grids back to the chart's defaults.
    void restoreScale();

    QWidget* owner() const { return owner_; }
    QRect plotRect() const { return axes_.plotRect(); }
    QRect updateRect() const { return axes_.updateRect(); }
    const QString& caption() const { return axes_.caption(); }
    CPlotMapping mapping() const { return axes_.mapping(x_, y_); }

  protected:
    // Margins around the plot area; the plot takes what the client size leaves.
    struct margins_t {
        int left;
        int top;
        int right;
        int bottom;
    };

    CXYChart(QWidget* owner, const QString& caption, const axis_range_t& x, const axis_range_t& y,
             const margins_t& margins);

    const CChartAxes& axes() const { return axes_; }
    CChartAxes& axes() { return axes_; }

  private:
    QWidget* owner_;
    margins_t margins_;
    CChartAxes axes_;
    axis_range_t x_;
    axis_range_t y_;
    axis_range_t defaultX_;
    axis_range_t defaultY_;
    std::vector<chart_point_t> points_;
};
