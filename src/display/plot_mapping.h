// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

// One axis of a chart: the visible range and the distance between grid lines.
struct axis_range_t {
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
    // Grid lines at whole multiples of the step, not from `min` on: for a step the chart
    // picked itself, so the labels read 2.6, 2.7 … whatever the range's ends.
    bool onMultiples = false;
};

// Maps values to pixels of a plot area and back. Time-series charts round pixel positions
// to the nearest pixel, X-Y charts truncate them; both families keep their own rule so
// that charts drawn before and after the port land on the same pixels.
class CPlotMapping {
  public:
    enum class Rounding { Nearest, Truncate };

    CPlotMapping(const QRect& plot, const axis_range_t& x, const axis_range_t& y,
                 Rounding rounding);

    int toX(double x) const;
    int toY(double y) const;
    QPoint toPixel(double x, double y) const { return {toX(x), toY(y)}; }

    // The value under a pixel (no rounding); the views use it for the pointer and zoom.
    double xAt(int px) const;
    double yAt(int py) const;

    // Inside both ranges, edges included.
    bool contains(double x, double y) const;

    const QRect& plot() const { return plot_; }
    const axis_range_t& xAxis() const { return x_; }
    const axis_range_t& yAxis() const { return y_; }

    // Nearest value with `decimals` decimals, halves away from zero.
    static double roundToDecimals(double value, int decimals);
    // The grid step of 1, 2 or 5 × 10ⁿ nearest above `rough`, never below `smallest`;
    // grid labels at its multiples read as round numbers.
    static double niceStep(double rough, double smallest);
    // [min, max] widened outwards to whole multiples of `step` (rounded to its decimals).
    static axis_range_t snapToStep(double min, double max, double step);

  private:
    int toPixel(double position) const;

    QRect plot_;
    axis_range_t x_;
    axis_range_t y_;
    Rounding rounding_;
};
