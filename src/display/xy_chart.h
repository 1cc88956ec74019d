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
    virtual void setData(const std::vector<app_msg_t>& samples);
    virtual QString formatX(double value) const;
    virtual QString formatY(double value) const;

    // Frame, grid, labels and caption, then the points.
    void draw(QPainter& painter) const;

    void clearPoints() { m_points.clear(); }
    void addPoint(const chart_point_t& point) { m_points.push_back(point); }
    const std::vector<chart_point_t>& points() const { return m_points; }

    axis_range_t xAxis() const { return m_x; }
    axis_range_t yAxis() const { return m_y; }
    void setXRange(double min, double max);
    void setYRange(double min, double max);
    void setXGrid(double step) { m_x.step = step; }
    void setYGrid(double step) { m_y.step = step; }
    // Both ranges and grids back to the chart's defaults.
    void restoreScale();

    QWidget* owner() const { return m_owner; }
    QRect plotRect() const { return m_axes.plotRect(); }
    QRect updateRect() const { return m_axes.updateRect(); }
    const QString& caption() const { return m_axes.caption(); }
    CPlotMapping mapping() const { return m_axes.mapping(m_x, m_y); }

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

    const CChartAxes& axes() const { return m_axes; }
    CChartAxes& axes() { return m_axes; }

  private:
    QWidget* m_owner;
    margins_t m_margins;
    CChartAxes m_axes;
    axis_range_t m_x;
    axis_range_t m_y;
    axis_range_t m_defaultX;
    axis_range_t m_defaultY;
    std::vector<chart_point_t> m_points;
};
